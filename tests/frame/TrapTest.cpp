#include <Kor2_Sys/Error.h>

#include "Guards.h"
#include "frame/Trap.h"

#include <gtest/gtest.h>

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

TEST(SilentTrap, SaysNothingAndKeepsThePartialResult)
{
    kor2test::ScopedHeadless ui;
    Text built;
    trap::silent([&] {
        built = u"ab";
        throw errors::overflow();
    });
    EXPECT_EQ(built, u"ab");
    EXPECT_TRUE(ui->messages().empty());
}

TEST(SilentTrap, LetsSuccessThrough)
{
    int runs = 0;
    trap::silent([&] { ++runs; });
    EXPECT_EQ(runs, 1);
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
    ::testing::internal::CaptureStderr();
    EXPECT_NO_THROW(trap::report(u".S_color", [] { throw errors::invalidCall(); }));
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("ERROR en Kor_Sys.DLL Nº5"), std::string::npos);
    EXPECT_NE(printed.find(".S_color"), std::string::npos);
}

} // namespace
