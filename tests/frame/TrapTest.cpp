#include <Kor2_Sys/CString.h>
#include <Kor2_Sys/Diagnostics.h>
#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Kor2_Sys.h>

#include "Guards.h"
#include "SwallowedLog.h"
#include "frame/Trap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

using namespace Kor2_Sys;

namespace {

struct ReportCase {
    Error error;
    std::u16string_view tag;
    std::u16string_view text;
};

class CommonReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(CommonReport, ShowsTwoLinesInAnOkBoxWithTheApplicationTitle)
{
    kor2test::ScopedHeadless ui;
    Long result = 41;
    trap::report(GetParam().tag, [&] {
        result = 42;
        throw GetParam().error;
    });
    EXPECT_EQ(result, 42) << "the operation returns its result as it stood";
    ASSERT_EQ(ui->messages().size(), 1u);
    const auto& box = ui->messages()[0];
    EXPECT_EQ(box.text, GetParam().text);
    EXPECT_EQ(box.title, u"Kor2_Sys");
    EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(box.icon, platform::MessageIcon::None);
}

INSTANTIATE_TEST_SUITE_P(Tags, CommonReport, ::testing::Values(
    ReportCase{errors::overflow(), u".T_ini", u"ERROR en Kor_Sys.DLL Nº6\r\n Desbordamiento.T_ini"},
    ReportCase{errors::typeMismatch(), u"", u"ERROR en Kor_Sys.DLL Nº13\r\n No coinciden los tipos"},
    ReportCase{Error(10003, u"Error on CreateFile"), u" .Sol", u"ERROR en Kor_Sys.DLL Nº10003\r\n Error on CreateFile .Sol"},
    ReportCase{Error(-5, u"x"), u"M_mueve1", u"ERROR en Kor_Sys.DLL Nº-5\r\n xM_mueve1"}));

TEST(SilentTrap, SaysNothingToTheUserButTellsTheHostsHandler)
{
    kor2test::ScopedHeadless ui;
    kor2test::SwallowedLog log;
    Text built;
    int runs = 0;
    trap::silent("Prueba.Silencio", [&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(log.seen().empty()) << "success goes through without a word";
    trap::silent("Prueba.Silencio", [&] {
        built = u"ab";
        throw errors::overflow();
    });
    EXPECT_EQ(built, u"ab");
    EXPECT_TRUE(ui->messages().empty());
    ASSERT_EQ(log.seen().size(), 1u);
    EXPECT_EQ(log.seen()[0].number, 6);
    EXPECT_EQ(log.seen()[0].description, u"Desbordamiento");
    EXPECT_EQ(log.seen()[0].operation, "Prueba.Silencio");
}

TEST(SwallowedErrorHook, ReturnsThePreviousHandlerAndSurvivesAThrowingOne)
{
    int first = 0;
    const auto outer = onSwallowedError([&](const SwallowedError&) { ++first; });
    const auto previous = onSwallowedError([](const SwallowedError&) { throw errors::diskFull(); });
    ASSERT_TRUE(previous);
    bool finished = false;
    EXPECT_NO_THROW(trap::silent("Prueba.Silencio", [&] { throw errors::overflow(); }));
    trap::silent("Prueba.Silencio", [&] { finished = true; });
    EXPECT_TRUE(finished);
    onSwallowedError(previous);
    trap::silent("Prueba.Silencio", [] { throw errors::overflow(); });
    EXPECT_EQ(first, 1) << "the handler given back is the one that was installed";
    onSwallowedError(outer);
}

TEST(SwallowedErrorHook, ReachesACHandlerWithItsUserPointerUntilRemoved)
{
    kor2test::CSwallowedLog heard;
    trap::silent("Prueba.Silencio", [] { throw errors::permissionDenied(); });
    trap::silent("Prueba.Silencio", [] {});
    ASSERT_EQ(kor2_on_swallowed_error(nullptr, nullptr), 0);
    trap::silent("Prueba.Silencio", [] { throw errors::permissionDenied(); });
    EXPECT_EQ(heard.lines, std::vector<std::string>{"70 Permiso denegado Prueba.Silencio"});
}

TEST(SwallowedErrorHook, InstallingWhileOtherThreadsReportIsSafe)
{
    const auto outer = onSwallowedError({});
    std::atomic<int> heard{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                if (t % 2 == 0)
                    onSwallowedError([&](const SwallowedError&) { ++heard; });
                else
                    trap::silent("Prueba.Hilos", [] { throw errors::overflow(); });
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_GT(heard.load(), 0);
    onSwallowedError(outer);
}

// The operations whose traps recover or stay silent name themselves to the host.
struct AbsorbedCase {
    const char* label;
    std::function<void(CString&)> call;
    Long number;
    std::string operation;
    size_t boxes;  ///< message boxes the operation itself shows
};

class AbsorbedByPublicOperations : public ::testing::TestWithParam<AbsorbedCase> {};

TEST_P(AbsorbedByPublicOperations, ReachTheHandlerWithNumberAndOperation)
{
    kor2test::ScopedHeadless ui;
    kor2test::SwallowedLog log;
    CString s;
    GetParam().call(s);
    ASSERT_EQ(log.seen().size(), 1u);
    EXPECT_EQ(log.seen()[0].number, GetParam().number);
    EXPECT_EQ(log.seen()[0].operation, GetParam().operation);
    EXPECT_EQ(ui->messages().size(), GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(CString, AbsorbedByPublicOperations, ::testing::Values(
    AbsorbedCase{"S_Sp", [](CString& s) { s.S_Sp(Variant::null(), 3); }, 94, "CString.S_Sp", 0},
    AbsorbedCase{"S_Val", [](CString& s) { s.S_Val(u"1e999"); }, 6, "CString.S_Val", 0},
    AbsorbedCase{"S_FM", [](CString& s) { s.S_FM(Variant::null(), 2, 0); }, 94, "CString.S_FM", 0},
    AbsorbedCase{"S_redondea", [](CString& s) { s.S_redondea(1e308, 10); }, 6, "CString.S_redondea", 0},
    AbsorbedCase{"path", [](CString& s) { s.S_Extrae_Nombre_de_Ruta(Text(40000, u'a') + u"\\b.txt"); }, 6,
                 "CString.S_Extrae_Nombre_de_Ruta", 1}),
    [](const auto& info) { return std::string(info.param.label); });

// What a common report printed to standard error while `run` ran.
std::string reportedOnStderr(const std::function<void()>& run)
{
    ::testing::internal::CaptureStderr();
    run();
    return ::testing::internal::GetCapturedStderr();
}

// A window system that cannot show anything, like a machine without a display.
class NoDisplay final : public platform::WindowSystem {
public:
    void showModal(platform::Form&) override { throw errors::deviceUnavailable(u"sin pantalla"); }
    void showModeless(platform::Form&) override { throw errors::deviceUnavailable(u"sin pantalla"); }
    platform::MessageAnswer messageBox(const platform::MessageBoxRequest&) override
    {
        throw errors::deviceUnavailable(u"sin pantalla");
    }
    void beep() override {}
    void doEvents() override {}
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }
    Long screenWidth() const override { return 0; }
    Long screenHeight() const override { return 0; }
    void clipboardClear() override {}
    void clipboardSetText(const Text&) override {}
    Text fileDialog(const platform::FileDialogRequest&) override { throw errors::deviceUnavailable(); }
};

TEST(CommonReportWithoutDisplay, FallsBackToStandardErrorAndReturnsNormally)
{
    platform::ScopedWindowSystem ws(std::make_shared<NoDisplay>());
    const std::string printed =
        reportedOnStderr([] { EXPECT_NO_THROW(trap::report(u".S_color", [] { throw errors::invalidCall(); })); });
    EXPECT_NE(printed.find("ERROR en Kor_Sys.DLL Nº5"), std::string::npos);
    EXPECT_NE(printed.find(".S_color"), std::string::npos);
}

// --- one user-interface thread ------------------------------------------------------------

TEST(WindowSystemThread, AnotherThreadGetsErrorFiveInsteadOfTheWindows)
{
    kor2test::ScopedHeadless ui;
    std::optional<Error> caught;
    std::thread([&] {
        try {
            platform::windowSystem().beep();
        } catch (const Error& e) {
            caught = e;
        }
    }).join();
    ASSERT_TRUE(caught.has_value());
    EXPECT_EQ(caught->number(), 5);
    EXPECT_EQ(caught->description(), u"Llamada a procedimiento o argumento no válidos: las ventanas sólo se pueden "
                                     u"usar desde el hilo que creó el sistema de ventanas");
    EXPECT_EQ(ui->beeps(), 0);
    platform::windowSystem().beep();
    EXPECT_EQ(ui->beeps(), 1) << "the owning thread keeps its windows";
}

TEST(WindowSystemThread, TheThreadThatInstallsOwnsTheWindows)
{
    int beepsSeen = -1;
    std::thread([&] {
        kor2test::ScopedHeadless ui;
        platform::windowSystem().beep();
        beepsSeen = ui->beeps();
    }).join();
    EXPECT_EQ(beepsSeen, 1);
}

TEST(WindowSystemThread, CommonReportFromAnotherThreadGoesToStandardError)
{
    kor2test::ScopedHeadless ui;
    const std::string printed = reportedOnStderr(
        [] { std::thread([] { trap::report(u".T_ini", [] { throw errors::overflow(); }); }).join(); });
    EXPECT_NE(printed.find("ERROR en Kor_Sys.DLL Nº6"), std::string::npos);
    EXPECT_NE(printed.find(".T_ini"), std::string::npos);
    EXPECT_TRUE(ui->messages().empty());
}

} // namespace
