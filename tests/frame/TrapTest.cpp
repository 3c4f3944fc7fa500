#include <Kor2_Sys/CString.h>
#include <Kor2_Sys/Diagnostics.h>
#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Kor2_Sys.h>

#include "Guards.h"
#include "SwallowedLog.h"
#include "frame/Trap.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

using namespace Kor2_Sys;

namespace {

// A common report shows two lines in an OK box with the application's title, and the operation
// returns its result as it stood.
TEST(CommonReport, ShowsTwoLinesInAnOkBoxWithTheApplicationTitle)
{
    const std::tuple<Error, std::u16string_view, std::u16string_view> cases[] = {
        {errors::overflow(), u".T_ini", u"ERROR en Kor_Sys.DLL Nº6\r\n Desbordamiento.T_ini"},
        {errors::typeMismatch(), u"", u"ERROR en Kor_Sys.DLL Nº13\r\n No coinciden los tipos"},
        {Error(10003, u"Error on CreateFile"), u" .Sol", u"ERROR en Kor_Sys.DLL Nº10003\r\n Error on CreateFile .Sol"},
        {Error(-5, u"x"), u"M_mueve1", u"ERROR en Kor_Sys.DLL Nº-5\r\n xM_mueve1"}};
    for (const auto& [error, tag, text] : cases) {
        kor2test::ScopedHeadless ui;
        Long result = 41;
        trap::report(tag, [&] { result = 42; throw error; });
        EXPECT_EQ(result, 42);
        ASSERT_EQ(ui->messages().size(), 1u);
        const auto& box = ui->messages()[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.title, u"Kor2_Sys");
        EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
        EXPECT_EQ(box.icon, platform::MessageIcon::None);
    }
}

TEST(SwallowedErrorHook, ReturnsThePreviousHandlerSurvivesAThrowingOneAndReachesC)
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
    // A C handler hears with its user pointer until removed.
    kor2test::CSwallowedLog heard;
    trap::silent("Prueba.Silencio", [] { throw errors::permissionDenied(); });
    trap::silent("Prueba.Silencio", [] {});
    ASSERT_EQ(kor2_on_swallowed_error(nullptr, nullptr), 0);
    trap::silent("Prueba.Silencio", [] { throw errors::permissionDenied(); });
    EXPECT_EQ(heard.lines, std::vector<std::string>{"70 Permiso denegado Prueba.Silencio"});
}

// The operations whose traps recover or stay silent name themselves to the host; only the path
// operation shows a box of its own.
TEST(AbsorbedByPublicOperations, ReachTheHandlerWithNumberAndOperation)
{
    const std::tuple<std::function<void(CString&)>, Long, std::string, size_t> cases[] = {
        {[](CString& s) { s.S_Sp(Variant::null(), 3); }, 94, "CString.S_Sp", 0},
        {[](CString& s) { s.S_FM(Variant::null(), 2, 0); }, 94, "CString.S_FM", 0},
        {[](CString& s) { s.S_redondea(1e308, 10); }, 6, "CString.S_redondea", 0},
        {[](CString& s) { s.S_Extrae_Nombre_de_Ruta(Text(40000, u'a') + u"\\b.txt"); }, 6, "CString.S_Extrae_Nombre_de_Ruta", 1}};
    for (const auto& [call, number, operation, boxes] : cases) {
        kor2test::ScopedHeadless ui;
        kor2test::SwallowedLog log;
        CString s;
        call(s);
        ASSERT_EQ(log.seen().size(), 1u) << operation;
        EXPECT_EQ(log.seen()[0].number, number);
        EXPECT_EQ(log.seen()[0].operation, operation);
        EXPECT_EQ(ui->messages().size(), boxes) << operation;
    }
}

// Windows belong to the thread that installed the window system: another thread gets error 5
// instead, and a common report from it goes to standard error and returns normally (the same
// fallback as on a machine whose window system cannot show a box).
TEST(WindowSystemThread, OnlyTheInstallingThreadUsesTheWindows)
{
    kor2test::ScopedHeadless ui;
    std::optional<Error> inThread;
    std::thread([&] { inThread = kor2test::failureOf([] { platform::windowSystem().beep(); }); }).join();
    EXPECT_EQ(inThread ? inThread->number() : 0, 5);
    ::testing::internal::CaptureStderr();
    std::thread([] { trap::report(u".T_ini", [] { throw errors::overflow(); }); }).join();
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("ERROR en Kor_Sys.DLL Nº6"), std::string::npos);
    EXPECT_NE(printed.find(".T_ini"), std::string::npos);
    EXPECT_TRUE(ui->messages().empty());
    platform::windowSystem().beep();
    EXPECT_EQ(ui->beeps(), 1) << "the owning thread keeps its windows";
}

} // namespace
