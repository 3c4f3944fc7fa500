#include <Kor2_Sys/cImagen.h>

#include "Guards.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace Kor2_Sys;
using platform::HostKind;
using platform::PixelPoint;

namespace {

// Every case goes through the late-bound free call, with old text on the clipboard.
class PictureCopy : public ::testing::Test {
public:
    kor2test::ScopedHeadless ui;
    std::shared_ptr<platform::RecordedHost> picture = ui->hosts().add(HostKind::Picture, "Picture1");

    Variant copy(Variant objFrom)
    {
        ui->clipboardSetText(u"texto viejo");
        Variant args[] = {std::move(objFrom)};
        return sharedObject("Kor2_Sys.cImagen")->invoke("I__CopyPictureToClipboard", InvokeKind::Method, args);
    }
    Variant copyPicture() { return copy(std::shared_ptr<Object>(picture)); }
};

struct SizeCase {
    const char* label;
    Single scaleWidth, scaleHeight;
    double twipsX, twipsY;
    std::optional<PixelPoint> bitmap;
};

class Sizes : public PictureCopy, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(Sizes, ClipboardHoldsOnlyTheBitmapInWholePixels)
{
    const SizeCase& c = GetParam();
    picture->setProperty("ScaleWidth", c.scaleWidth);
    picture->setProperty("ScaleHeight", c.scaleHeight);
    ui->setTwipsPerPixel(c.twipsX, c.twipsY);
    EXPECT_EQ(copyPicture(), Variant(true)) << "true also when no bitmap could be made";
    EXPECT_EQ(ui->clipboardBitmap(), c.bitmap);
    EXPECT_FALSE(ui->clipboardText().has_value()) << "the old text was cleared";
    std::vector<std::string> read;
    for (const auto& call : picture->log())
        read.push_back(call.member);
    EXPECT_EQ(read, (std::vector<std::string>{"hdc", "ScaleWidth", "ScaleHeight"}));
    EXPECT_TRUE(ui->messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Areas, Sizes, ::testing::Values(
    SizeCase{"FormAtFifteen", 4500, 3000, 15, 15, PixelPoint{300, 200}},
    SizeCase{"PartPixelCutOff", 4507, 3014, 15, 15, PixelPoint{300, 200}},
    // 44.5 goes to 44 (even), 29.5 to 30: each is rounded before the division, not after.
    SizeCase{"TwipsTieToEvenBeforeDividing", 44.5f, 29.5f, 15, 15, PixelPoint{2, 2}},
    SizeCase{"FactorTakenWhole", 4500, 3000, 7.5, 12.5, PixelPoint{562, 250}},
    SizeCase{"ZeroSizeLeavesClipboardEmpty", 0, 3000, 15, 15, std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

// A source the copy cannot start from: no drawing context gives false quietly, any run-time
// error is the common report with the operation's tag; the clipboard is cleared either way.
struct FailureCase {
    const char* label;
    std::function<Variant(PictureCopy&)> source;
    std::u16string_view report;  // empty: no report
};

class Failures : public PictureCopy, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, FalseWithClipboardCleared)
{
    EXPECT_EQ(copy(GetParam().source(*this)), Variant(false));
    EXPECT_FALSE(ui->clipboardText().has_value());
    EXPECT_FALSE(ui->clipboardBitmap().has_value());
    if (GetParam().report.empty()) {
        EXPECT_TRUE(ui->messages().empty());
    } else {
        ASSERT_EQ(ui->messages().size(), 1u);
        EXPECT_EQ(ui->messages()[0].text, GetParam().report);
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, Failures, ::testing::Values(
    FailureCase{"NoDrawingContext", [](PictureCopy& t) -> Variant {
        auto label = t.ui->hosts().add(HostKind::Control, "Label1");
        label->setProperty("hdc", Long{label->handle()});
        return std::shared_ptr<Object>(label);
    }, u""},
    FailureCase{"NoHdcMember", [](PictureCopy& t) -> Variant {
        return std::shared_ptr<Object>(t.ui->hosts().add(HostKind::ProgressBar, "ProgressBar1"));
    }, u"ERROR en Kor_Sys.DLL Nº438\r\n El objeto no admite esta propiedad o método.C_clipb"},
    FailureCase{"NotAnObject", [](PictureCopy&) -> Variant { return Integer{3}; },
                u"ERROR en Kor_Sys.DLL Nº424\r\n Se requiere un objeto.C_clipb"},
    FailureCase{"FactorBelowHalfAPixel", [](PictureCopy& t) -> Variant {
        t.ui->setTwipsPerPixel(0.4, 15);
        t.picture->setProperty("ScaleWidth", Single{4500});
        return std::shared_ptr<Object>(t.picture);
    }, u"ERROR en Kor_Sys.DLL Nº11\r\n División por cero.C_clipb"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
