// A picture box copied to the clipboard, on every backend: the bitmap's size in whole pixels, the
// old contents cleared, and the sources the copy cannot start from.
#include <Kor2_Sys/cImagen.h>

#include "Hosts.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Kor2_Sys;
using namespace kor2test;

namespace {

// Every case goes through the late-bound free call, with old text on the clipboard.
template <class Base> class CopyOf : public Base {
public:
    std::unique_ptr<Hosts> hosts = makeHosts(*this->ui);
    Variant form = hosts->form();

    Variant copy(Variant objFrom)
    {
        this->ui->windowSystem()->clipboardSetText(u"texto viejo");
        Variant args[] = {std::move(objFrom)};
        return sharedObject("Kor2_Sys.cImagen")->invoke("I__CopyPictureToClipboard", InvokeKind::Method, args);
    }
};

struct SizeRow {
    const char* label;
    Single width, height;                ///< the picture's inner size, twips
    std::optional<PixelPoint> bitmap;
    std::pair<double, double> screen{};  ///< twips per pixel of a headless screen of other density
    Only only = Only::Any;
};
using Sizes = CopyOf<OnEveryBackend<SizeRow>>;

TEST_P(Sizes, ClipboardHoldsOnlyTheBitmapInWholePixels)
{
    if (row().screen.first != 0)
        ui->headless()->setTwipsPerPixel(row().screen.first, row().screen.second);
    EXPECT_EQ(copy(hosts->picture(form, row().width, row().height)), Variant(true)) << "true also when no bitmap could be made";
    EXPECT_EQ(hosts->clipboardBitmap(), row().bitmap);
    EXPECT_EQ(std::tuple(ui->clipboardText().has_value(), ui->messages().size()), std::tuple(false, 0u)) << "the old text was cleared";
}

const SizeRow kSizes[] = {
    {"wide", 1800, 1200, PixelPoint{120, 80}}, {"tall", 450, 3000, PixelPoint{30, 200}},
    {"zeroWidthLeavesClipboardEmpty", 0, 750, std::nullopt},
    // Part of a pixel is a headless picture's only: Qt pictures are whole pixels.
    {.label = "partPixelCutOff", .width = 4507, .height = 3014, .bitmap = PixelPoint{300, 200}, .only = Only::Headless},
    // 44.5 goes to 44 (even), 29.5 to 30: each is rounded before the division, not after.
    {.label = "twipsTieToEvenBeforeDividing", .width = 44.5f, .height = 29.5f, .bitmap = PixelPoint{2, 2}, .only = Only::Headless},
    {.label = "factorTakenWhole", .width = 4500, .height = 3000, .bitmap = PixelPoint{562, 250}, .screen = {7.5, 12.5},
     .only = Only::Headless},
    // 8192 × 8192 pixels is the most a bitmap may hold.
    {.label = "atThePixelLimit", .width = 122880, .height = 122880, .bitmap = PixelPoint{8192, 8192}, .only = Only::Headless},
    {.label = "pastThePixelLimit", .width = 122895, .height = 122880, .bitmap = std::nullopt, .only = Only::Headless},
};
KOR2_TABLE(Areas, Sizes, kSizes);

// A source the copy cannot start from: no drawing context gives false quietly, any run-time
// error is the common report with the operation's tag; the clipboard is cleared either way.
struct FailureRow {
    const char* label;
    Variant (*source)(Hosts& hosts, const Variant& form);
    std::u16string_view report;  ///< empty: no report
    std::pair<double, double> screen{};
    Only only = Only::Any;
};
using Failures = CopyOf<OnEveryBackend<FailureRow>>;

TEST_P(Failures, FalseWithClipboardCleared)
{
    if (row().screen.first != 0)
        ui->headless()->setTwipsPerPixel(row().screen.first, row().screen.second);
    EXPECT_EQ(copy(row().source(*hosts, form)), Variant(false));
    EXPECT_EQ(std::tuple(ui->clipboardText().has_value(), hosts->clipboardBitmap().has_value()), std::tuple(false, false));
    EXPECT_EQ(ui->messages().empty() ? Text() : ui->messages().at(0).text, row().report);
    EXPECT_LE(ui->messages().size(), 1u);
}

const FailureRow kFailures[] = {
    {"destroyedPicture", [](Hosts& h, const Variant& f) { const Variant p = h.picture(f, 450, 450); return h.destroy(p), p; },
     u"ERROR en Kor_Sys.DLL Nº91\r\n Variable de objeto o bloque With no establecido.C_clipb"},
    {"noHdcMember", [](Hosts& h, const Variant& f) { return h.progressBar(f); },
     u"ERROR en Kor_Sys.DLL Nº438\r\n El objeto no admite esta propiedad o método.C_clipb"},
    {"notAnObject", [](Hosts&, const Variant&) { return Variant(Integer{3}); },
     u"ERROR en Kor_Sys.DLL Nº424\r\n Se requiere un objeto.C_clipb"},
    {.label = "factorBelowHalfAPixel", .source = [](Hosts& h, const Variant& f) { return h.picture(f, 4500, 450); },
     .report = u"ERROR en Kor_Sys.DLL Nº11\r\n División por cero.C_clipb", .screen = {0.4, 15}, .only = Only::Headless},
};
KOR2_TABLE(Sources, Failures, kFailures);

} // namespace
