#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/cRegistro.h>

#include "FakeWindow.h"
#include "FaultyStore.h"
#include "Guards.h"
#include "SettingsGuards.h"
#include "SwallowedLog.h"
#include "frame/Errors.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace Kor2_Sys;
using kor2test::FakeWindow;

namespace {

class Values : public ::testing::Test {
protected:
    settings::ScopedStore store{":memory:"};
    cRegistro r;
    Text stored(const Text& section, const Text& key) { return settings::store().read(u"Vesolar", section, key, u"<absent>"); }
};

struct SectionCase {
    Text app, section, composed;
};

TEST_F(Values, SectionIsApplicationBlankSectionUnderVesolar)
{
    for (const auto& c : {SectionCase{u"App", u"Sec", u"App Sec"}, SectionCase{u"", u"Sec", u" Sec"},
                          SectionCase{u"App", u"", u"App "}, SectionCase{u"", u"", u" "}}) {
        r.R_Grabar_un_dato_en_Win(c.app, c.section, u"k", Text(u"v"));
        EXPECT_EQ(stored(c.composed, u"k"), u"v");
    }
    for (const auto& e : settings::store().entries())
        EXPECT_EQ(e.app, u"Vesolar");
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"Sec", u"App", u"k", Text(u"d")), Variant(Text(u"d"))) << "swapped names differ";
}

TEST_F(Values, ReadingAlwaysGivesTextOrTheDefaultItself)
{
    r.R_Grabar_un_dato_en_Win(u"A", u"S", u"k", Text(u"guardado"));
    r.R_Grabar_un_dato_en_Win(u"A", u"S", u"vacío", Text());
    r.R_Grabar_un_dato_en_Win(u"A", u"S", u"k", Variant::null());  // null is not written
    kor2test::SwallowedLog log;
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"falta", Long{7}), Variant(Text(u"7")));
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"falta", Variant{}), Variant(Text()));
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"vacío", Long{7}), Variant(Text())) << "an existing empty key";
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"k", Variant::null()), Variant(Text(u"guardado")));
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"vacío", Variant::null()), Variant(Text()));
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"falta", Variant::null()), Variant::null());
    EXPECT_TRUE(log.seen().empty()) << "a missing key with a null default is an answer, not a failure";
}

TEST_F(Values, NumbersReadBackToTheSameNumberUnderBothSeparators)
{
    for (const char16_t separator : {u'.', u','}) {
        kor2test::ScopedDecimal dec{separator};
        r.R_Grabar_un_dato_en_Win(u"A", u"S", u"x", 1234.5);
        EXPECT_EQ(stored(u"A S", u"x"), separator == u',' ? u"1234,5" : u"1234.5");
        EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"x", Long{0}).toDouble(), 1234.5);
    }
}

TEST(ValuesWithoutStore, FailSilentlyWithTheDefault)
{
    kor2test::TempDir dir;
    std::ofstream(dir.file("bad.db")) << std::string(4096, 'x');
    kor2test::ScopedEnv chosen("KOR2_SETTINGS", dir.file("bad.db"));
    kor2test::InstalledStore none(nullptr);
    EXPECT_EQ(cRegistro().R_Lee_un_dato_en_Win(u"A", u"S", u"k", Long{7}), Variant(Long{7})) << "the store failed to open";
}

// A store file without write permission: reads answer, every change is refused.
class RefusedWrites : public ::testing::Test {
protected:
    std::shared_ptr<kor2test::FaultyStore> m_store = std::make_shared<kor2test::FaultyStore>(errors::permissionDenied());
    kor2test::InstalledStore m_installed{m_store};
    cRegistro r;
};

TEST_F(RefusedWrites, ReachTheHostsHandlerWhileTheCallReturnsNormally)
{
    kor2test::SwallowedLog log;
    EXPECT_NO_THROW(r.R_Grabar_un_dato_en_Win(u"A", u"S", u"k", Text(u"v")));
    ASSERT_EQ(log.seen().size(), 1u);
    EXPECT_EQ(std::tuple(log.seen()[0].number, log.seen()[0].description, log.seen()[0].operation),
              std::tuple(Long{70}, Text(u"Permiso denegado"), std::string("cRegistro.R_Grabar_un_dato_en_Win")));
    m_store->inner().write(u"Vesolar", u"A S", u"k", u"leído");
    EXPECT_EQ(r.R_Lee_un_dato_en_Win(u"A", u"S", u"k", Long{1}), Variant(Text(u"leído")));
    settings::ScopedStore writable{":memory:"};
    r.R_Grabar_un_dato_en_Win(u"A", u"S", u"k", Text(u"v"));
    EXPECT_EQ(log.seen().size(), 1u) << "a successful read or write reports nothing";
}

TEST_F(RefusedWrites, GeometrySaveReportsWhatItRecoveredFrom)
{
    kor2test::ScopedHeadless ui;
    kor2test::SwallowedLog log;
    auto window = std::make_shared<FakeWindow>(500, 600, 7000, 5000);
    r.R_Graba_Pos_Form(window, u"App", u"Win");
    EXPECT_EQ(window->value("Top"), 100) << "the recovery still moves the window";
    EXPECT_EQ(log.summary(), std::vector<std::string>{"70 cRegistro.R_Graba_Pos_Form"});
}

// --- geometry ------------------------------------------------------------------------------

class Geometry : public ::testing::Test {
protected:
    settings::ScopedStore store{":memory:"};
    kor2test::ScopedHeadless ui;
    cRegistro r;
    std::shared_ptr<FakeWindow> window = std::make_shared<FakeWindow>(500, 600, 7000, 5000);
    void put(std::u16string_view key, std::u16string_view value)
    {
        settings::store().write(u"Vesolar", u"App Win", Text(key), Text(value));
    }
    Text stored(std::u16string_view key) { return settings::store().read(u"Vesolar", u"App Win", Text(key), u"<absent>"); }
    void expectAt(double top, double left, double width, double height)
    {
        EXPECT_EQ((std::vector{window->value("Top"), window->value("Left"), window->value("Width"), window->value("Height")}),
                  (std::vector{top, left, width, height}));
    }
};

TEST_F(Geometry, NothingStoredUsesEachOperationsDefaults)
{
    r.R_Lee_tamaño_y_pos_Obj_en_Win(window, u"App", u"Win", 10, 20, 3000, 2000);
    expectAt(10, 20, 3000, 2000);
    r.R_Lee_tamaño_y_pos_Obj_en_Win1(window, u"App", u"Win", 11, 21, 3100, 2100);
    expectAt(11, 21, 3100, 2100);
    r.R_Lee_tamaño_y_pos_Obj_en_Win_O(window, u"App", u"Win");
    expectAt(100, 100, 3100, 2100);
    window->props["Top"] = 5.0;
    r.R_Lee_Pos_Form(window, u"App", u"Win");
    expectAt(100, 100, 3100, 2100);
    EXPECT_EQ(settings::store().entries().size(), 0u) << "restoring writes nothing";
}

TEST_F(Geometry, NoticeComesOnEveryCallOfTheFirstOperationOnly)
{
    put(u"Estado", u"2");
    r.R_Lee_tamaño_y_pos_Obj_en_Win(window, u"App", u"Win", 0, 0, 0, 0);
    r.R_Lee_tamaño_y_pos_Obj_en_Win1(window, u"App", u"Win", 0, 0, 0, 0);
    r.R_Lee_tamaño_y_pos_Obj_en_Win(window, u"App", u"Win", 0, 0, 0, 0);
    ASSERT_EQ(ui->messages().size(), 2u);
    EXPECT_EQ(ui->messages()[0].text, u"registro sin actualizar");
    EXPECT_EQ(ui->messages()[0].title, u"Kor2_Sys");
}

// The state the host window reports when it is saved decides what is stored, and what each of the
// four restoring operations does then to a normal window.
TEST_F(Geometry, HostStateDecidesWhatIsSavedAndRestored)
{
    const struct {
        Integer state;
        const char16_t *estado, *top;  ///< stored
        std::vector<double> tops;       ///< the window's top after each restoring operation
        std::size_t sets;               ///< properties the four operations set
        double stateAfter;
    } rows[] = {{0, u"0", u"1234.5", {1234.5, 1234, 1234, 1234}, 14, 0},
                {1, u"1", u"600", {0, 0, 0, 0}, 0, 0},  // minimised: the last normal record, nothing restored
                {2, u"2", u"600", {0, 0, 0, 0}, 4, 2},  // maximised: only maximises
                {3, u"0", u"1234.5", {1234.5, 1234, 1234, 1234}, 14, 0}};  // no such state: normal
    for (const auto& c : rows) {
        SCOPED_TRACE(c.state);
        window = std::make_shared<FakeWindow>(500, 600, 7000, 5000);
        r.R_Graba_tamaño_y_pos_Obj_en_Win(window, u"App", u"Win");  // a normal record first
        window->props["WindowState"] = c.state;
        window->props["Top"] = 1234.5;
        r.R_Graba_tamaño_y_pos_Obj_en_Win(window, u"App", u"Win");
        EXPECT_EQ(std::tuple(stored(u"Estado"), stored(u"Top"), stored(u"Width")),
                  std::tuple(Text(c.estado), Text(c.top), Text(u"7000")));
        window = std::make_shared<FakeWindow>(0, 0, 0, 0);
        std::vector<double> tops;
        r.R_Lee_tamaño_y_pos_Obj_en_Win(window, u"App", u"Win", 1, 1, 1, 1);
        if (c.sets == 14)
            expectAt(1234.5, 500, 7000, 5000);
        tops.push_back(window->value("Top"));
        r.R_Lee_tamaño_y_pos_Obj_en_Win1(window, u"App", u"Win", 1, 1, 1, 1);  // whole numbers, halves to even
        tops.push_back(window->value("Top"));
        r.R_Lee_tamaño_y_pos_Obj_en_Win_O(window, u"App", u"Win");
        tops.push_back(window->value("Top"));
        r.R_Lee_Pos_Form(window, u"App", u"Win");
        tops.push_back(window->value("Top"));
        EXPECT_EQ(std::tuple(tops, window->log.size(), window->value("WindowState")), std::tuple(c.tops, c.sets, c.stateAfter));
    }
}

TEST_F(Geometry, PositionOnlySaveLeavesStoredSizeAlone)
{
    put(u"Width", u"4444");
    r.R_Graba_Pos_Form(window, u"App", u"Win");
    EXPECT_EQ(std::vector({stored(u"Width"), stored(u"Height"), stored(u"Left")}), std::vector<Text>({u"4444", u"<absent>", u"500"}));
    window->props["WindowState"] = Integer{2};
    settings::store().removeSection(u"Vesolar", u"App Win");
    r.R_Graba_Pos_Form(window, u"App", u"Win");
    EXPECT_EQ(std::pair(stored(u"Estado"), stored(u"Top")), std::pair(Text(u"2"), Text(u"<absent>"))) << "maximised: the state alone";
}

TEST_F(Geometry, OnlyTheLastTwoOperationsBringAWindowBack)
{
    for (const auto& [top, restored] : {std::pair<const char16_t*, double>{u"25001", 100}, {u"-101", 100}, {u"25000", 25000},
                                        {u"-100", -100}, {u"30000", 100}, {u"0", 0}}) {
        put(u"Top", top);
        r.R_Lee_Pos_Form(window, u"App", u"Win");
        EXPECT_EQ(window->value("Top"), restored) << Variant(Text(top)).toDouble();
        r.R_Lee_tamaño_y_pos_Obj_en_Win_O(window, u"App", u"Win");
        EXPECT_EQ(window->value("Top"), restored) << Variant(Text(top)).toDouble();
        r.R_Lee_tamaño_y_pos_Obj_en_Win1(window, u"App", u"Win", 0, 0, 0, 0);
        EXPECT_EQ(window->value("Top"), Variant(Text(top)).toDouble()) << "never pulled back";
    }
}

TEST_F(Geometry, BadStoredTextMovesTheWindowTo100)
{
    kor2test::SwallowedLog log;
    put(u"Width", u"40000");
    r.R_Lee_tamaño_y_pos_Obj_en_Win_O(window, u"App", u"Win");
    expectAt(100, 100, 7000, 5000);
    EXPECT_EQ(log.summary(), std::vector<std::string>{"6 cRegistro.R_Lee_tamaño_y_pos_Obj_en_Win_O"});
    window = std::make_shared<FakeWindow>(1, 2, 3, 4);
    put(u"Top", u"abc");
    r.R_Lee_tamaño_y_pos_Obj_en_Win(window, u"App", u"Win", 0, 0, 0, 0);
    expectAt(100, 100, 3, 4);
    EXPECT_EQ(window->log, (std::vector<std::string>{"set Top", "set Left"}));
}

using kor2test::errorOf;

TEST_F(Geometry, AFailingWindowReachesTheHost)
{
    window->failing = {"Top"};
    put(u"Top", u"300");
    EXPECT_EQ(errorOf([&] { r.R_Lee_Pos_Form(window, u"App", u"Win"); }), 5) << "the trap's own failure reaches the host";
    EXPECT_EQ(errorOf([&] { r.R_Graba_Pos_Form(nullptr, u"App", u"Win"); }), 91) << "no window to move";
}

} // namespace
