// The rules every renderer shares, without a toolkit: which keys and characters are the model's,
// where a palette's ring is (painted, picked and read alike), the picture scale, label fitting,
// what pictures paint, mouse codes, window states and the adopted frame.
#include "platform/FormView.h"

#include "ProbeWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace Kor2_Sys;
using namespace Kor2_Sys::platform;
using kor2test::ProbeWindow;
using view::NativeKey;

namespace {

// The probe window (a box, a box of several lines, buttons, a picture) with a palette of three
// named cells in a grid of two by two, 200 × 100 scale units.
struct Palette {
    explicit Palette(int current = 0, int selected = -1)
    {
        Control& palette = probe.add("PC_paleta", ControlKind::Picture, u"", 100, 2500, 3000, 1500, 5);
        palette.scaleWidth = 200;
        palette.scaleHeight = 100;
        palette.swatches = Swatches{2, 2, {u"rojo", u"verde", u"azul"}, current, selected};
        palette.accessibleName = u"Paleta";
    }
    const Control& palette() const { return form.control("PC_paleta"); }

    ProbeWindow probe;
    Form& form = probe.form;
};

// --- keys and characters -----------------------------------------------------------------------

// Enter, Tab, Escape and Space where the window's logic answers them, and Enter in a box of several
// lines with and without a default button, are the playback table's rows on the screens; these are
// the keys the native control keeps, and the palette's.
struct KeyRow {
    const char* control;
    NativeKey key;
    int expected;  ///< the model's key; 0: the native control keeps it
};

class KeyFilter : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeyFilter, GivesTheModelOnlyItsKeys)
{
    Palette window;
    const auto key = view::modelKey(window.form, window.form.control(GetParam().control), GetParam().key, false, false);
    EXPECT_EQ(key ? key->key : 0, GetParam().expected);
    EXPECT_FALSE(view::modelKey(window.form, window.form.control(GetParam().control), GetParam().key, false, true))
        << "with Control or Alt held every key is the toolkit's";
}

const KeyRow kKeys[] = {{"TX_valor", NativeKey::Space, 0},    {"PC_paleta", NativeKey::Space, keys::Space},
                        {"PC_paleta", NativeKey::End, keys::End}, {"TX_valor", NativeKey::Left, 0},
                        {"BT_aceptar", NativeKey::Down, 0},       {"TX_valor", NativeKey::Other, 0}};
INSTANTIATE_TEST_SUITE_P(Rows, KeyFilter, ::testing::ValuesIn(kKeys));

// A character the model answered as a key on its way down never reaches the native control too:
// each key's character, by the same rule as the keys.
struct CharRow {
    const char* control;
    char32_t character;
    bool answered;
};

class CharFilter : public ::testing::TestWithParam<CharRow> {};

TEST_P(CharFilter, DropsTheTraceOfAnAnsweredKey)
{
    Palette window;
    EXPECT_EQ(view::answeredOnItsWayDown(window.form, window.form.control(GetParam().control), GetParam().character),
              GetParam().answered);
}

const CharRow kChars[] = {{"TX_valor", U'\r', true},   {"TX_valor", U'\t', true}, {"TX_valor", 27, true},
                          {"BT_aceptar", U' ', true}, {"PC_paleta", U' ', true}, {"TX_valor", U' ', false}};
INSTANTIATE_TEST_SUITE_P(Rows, CharFilter, ::testing::ValuesIn(kChars));

// --- the palette's ring ------------------------------------------------------------------------

struct RingRow {
    int current;
    int selected;
    const char16_t* reading;  ///< what a reader hears of a palette without cells of its own
};

class Ring : public ::testing::TestWithParam<RingRow> {};

// Wherever the window's logic left `current`, one cell has the ring: the one painted, the one a
// reader hears as focused and named, and the one Enter presses in the middle of.
TEST_P(Ring, PaintedPickedAndReadOnTheSameCell)
{
    Palette window(GetParam().current, GetParam().selected);
    const Control& palette = window.palette();
    const int ringed = palette.swatches->ringed();
    ASSERT_GE(ringed, 0);
    const auto painted = view::ringCell(palette, 200, 100);
    ASSERT_TRUE(painted);
    EXPECT_EQ(painted->left, view::swatchCell(*palette.swatches, ringed, 200, 100).left);
    EXPECT_EQ(painted->top, view::swatchCell(*palette.swatches, ringed, 200, 100).top);
    for (int cell = -1; cell <= 3; ++cell)
        EXPECT_EQ(view::readSwatch(*palette.swatches, cell, true).focused, cell == ringed) << cell;
    EXPECT_FALSE(view::readSwatch(*palette.swatches, ringed, false).focused) << "no ring while the picture has no focus";
    EXPECT_EQ(view::paletteReading(window.form, palette), GetParam().reading);

    window.form.setFocus("PC_paleta");
    window.form.userKey("PC_paleta", keys::Enter);
    const int x = static_cast<int>(window.probe.lastDown.x), y = static_cast<int>(window.probe.lastDown.y);
    EXPECT_TRUE(x >= painted->left && x < painted->left + painted->width && y >= painted->top &&
                y < painted->top + painted->height)
        << "pressed at " << x << "," << y;
}

const RingRow kRings[] = {
    {0, -1, u"Paleta: rojo"},
    {1, 1, u"Paleta: verde (elegido)"},
    {3, 2, u"Paleta: azul (elegido)"},  // the grid's fourth place has no cell: the last one is ringed
    {9, -1, u"Paleta: azul"},
    {-4, 0, u"Paleta: rojo (elegido)"},
};
INSTANTIATE_TEST_SUITE_P(Rows, Ring, ::testing::ValuesIn(kRings));

TEST(Ring, APictureWithoutCellsHasNone)
{
    Palette window;
    window.form.update("PC_paleta", [](Control& c) { c.swatches->names.clear(); });
    EXPECT_EQ(window.palette().swatches->ringed(), -1);
    EXPECT_FALSE(view::ringCell(window.palette(), 200, 100));
    EXPECT_EQ(view::paletteReading(window.form, window.palette()), u"Paleta");
    EXPECT_EQ(view::readSwatch(*window.palette().swatches, 0, true).name, u"");
}

// --- scale, painting, labels -------------------------------------------------------------------

struct ScaleRow {
    double scale, size;
    double units;
};

class ScaleUnits : public ::testing::TestWithParam<ScaleRow> {};

TEST_P(ScaleUnits, ZeroMeansTheSizeInTwips)
{
    Control picture = makeControl("PC", ControlKind::Picture, u"", 0, 0, GetParam().size, GetParam().size);
    picture.scaleWidth = picture.scaleHeight = GetParam().scale;
    EXPECT_DOUBLE_EQ(view::scaleUnits(picture).width, GetParam().units);
    EXPECT_DOUBLE_EQ(view::pictureUnits(picture, 100, 100, 50, 0).first, GetParam().units / 2);
}

const ScaleRow kScales[] = {{200, 3000, 200}, {0, 3000, 3000}, {-5, 3000, 3000}, {0, 0, 1}};
INSTANTIATE_TEST_SUITE_P(Rows, ScaleUnits, ::testing::ValuesIn(kScales));

// Writes down each call, in pixels.
class RecordingPainter final : public view::Painter {
public:
    std::vector<std::string> calls;
    void rectangle(double x1, double y1, double x2, double y2, Long colour) override
    {
        record("rect", x1, y1, x2, y2, colour);
    }
    void line(double x1, double y1, double x2, double y2, Long colour) override { record("line", x1, y1, x2, y2, colour); }
    void text(double x, double y, const Text& text, Long colour) override
    {
        record("text", x, y, static_cast<double>(text.size()), 0, colour);
    }

private:
    void record(const char* what, double a, double b, double c, double d, Long colour)
    {
        char line[96];
        std::snprintf(line, sizeof line, "%s %g %g %g %g %lX", what, a, b, c, d, static_cast<unsigned long>(colour));
        calls.emplace_back(line);
    }
};

struct PaintRow {
    const char* label;
    std::function<void(Control&)> setup;
    bool focused;
    std::vector<std::string> calls;
};

class Painting : public ::testing::TestWithParam<PaintRow> {};

// A control shown 100 × 50 pixels.
TEST_P(Painting, DrawsWhatTheModelShows)
{
    Control c = makeControl("PC", ControlKind::Picture, u"", 0, 0, 1500, 750);
    GetParam().setup(c);
    RecordingPainter painter;
    view::paintControl(painter, c, 100, 50, GetParam().focused);
    EXPECT_EQ(painter.calls, GetParam().calls) << GetParam().label;
}

const PaintRow kPaints[] = {
    {"displayListInItsScale",
     [](Control& c) {
         c.scaleWidth = 200, c.scaleHeight = 25;
         c.picture = {{DisplayItem::Kind::FilledRect, 0, 0, 200, 25, 0xFFFFFF},
                      {DisplayItem::Kind::Line, 10, 5, 20, 10, 0xFF},
                      {DisplayItem::Kind::Text, 40, 12.5, 0, 0, 0xFF00, u"abc"}};
     },
     false, {"rect 0 0 100 50 FFFFFF", "line 5 10 10 20 FF", "text 20 25 3 0 FF00"}},
    {"displayListInTwipsWithoutAScale",
     [](Control& c) { c.picture = {{DisplayItem::Kind::Line, 0, 0, 1500, 750, 0}}; }, true, {"line 0 0 100 50 0"}},
    {"filledRectDefaultFillAndOutline",
     [](Control& c) { c.kind = ControlKind::FilledRect; },
     false,
     {"rect 0 0 100 50 C0C0C0", "rect 0 0 100 1 0", "rect 0 49 100 50 0", "rect 0 1 1 49 0", "rect 99 1 100 49 0"}},
    {"ringWhiteOutsideBlackOnTheRingedCell",
     [](Control& c) { c.swatches = Swatches{2, 1, {u"rojo", u"azul"}, 7}; },
     true,
     {"rect 51 1 99 2 FFFFFF", "rect 51 48 99 49 FFFFFF", "rect 51 2 52 48 FFFFFF", "rect 98 2 99 48 FFFFFF",
      "rect 52 2 98 3 0", "rect 52 47 98 48 0", "rect 52 3 53 47 0", "rect 97 3 98 47 0"}},
    {"noRingWithoutTheFocus", [](Control& c) { c.swatches = Swatches{2, 1, {u"rojo", u"azul"}, 1}; }, false, {}},
};
INSTANTIATE_TEST_SUITE_P(Rows, Painting, ::testing::ValuesIn(kPaints),
                         [](const auto& info) { return std::string(info.param.label); });

// Six pixels a character (seven bold), lines ten high, wrapped anywhere.
class FixedMeasure final : public view::TextMeasure {
public:
    int advance(std::u16string_view text, bool bold) const override { return static_cast<int>(text.size()) * (bold ? 7 : 6); }
    int wrappedHeight(std::u16string_view text, int width, bool bold) const override
    {
        const int lines = (advance(text, bold) + width - 1) / std::max(width, 1);
        return 10 * std::max(lines, 1);
    }
    int lineSpacing() const override { return 10; }
};

struct LabelRow {
    const char16_t* caption;
    int width, height;
    int fitted;
};

class LabelFitting : public ::testing::TestWithParam<LabelRow> {};

TEST_P(LabelFitting, GrowsToTheRightJustEnough)
{
    const Control label = makeControl("LB", ControlKind::Label, GetParam().caption, 0, 0, 0, 0);
    EXPECT_EQ(view::fittedLabelWidth(label, FixedMeasure(), GetParam().width, GetParam().height), GetParam().fitted);
}

const std::u16string kLongCaption(100, u'x');  // 600 pixels: three lines even at the widest
const LabelRow kLabels[] = {
    {u"abc", 30, 10, 30},                                     // fits
    {u"abcdefghij", 30, 19, 62},                              // one line: its advance and a margin
    {u"abcdefghij", 20, 20, 32},                              // two lines: the first width that holds them
    {kLongCaption.c_str(), 10, 20, 242},  // never fits: stops past four times its width and 200
};
INSTANTIATE_TEST_SUITE_P(Rows, LabelFitting, ::testing::ValuesIn(kLabels));

// --- mouse, window state, frame ----------------------------------------------------------------

TEST(MouseCodes, AsTheWindowsLogicNumbersThem)
{
    EXPECT_EQ((std::vector{view::buttonCode(view::MouseButton::Left), view::buttonCode(view::MouseButton::Right),
                           view::buttonCode(view::MouseButton::Middle)}),
              (std::vector{1, 2, 4}));
    EXPECT_EQ((std::vector{view::shiftCode(true, false, false), view::shiftCode(false, true, false),
                           view::shiftCode(false, false, true), view::shiftCode(true, true, true)}),
              (std::vector{1, 2, 4, 7}));
}

TEST(WindowStates, NumbersBothWays)
{
    EXPECT_EQ((std::vector{view::windowStateNumber(false, false), view::windowStateNumber(true, false),
                           view::windowStateNumber(false, true), view::windowStateNumber(true, true)}),
              (std::vector{0, 1, 2, 1}))
        << "a minimised window is minimised whatever size it comes back to";
    EXPECT_EQ((std::vector{view::windowStateOf(0), view::windowStateOf(1), view::windowStateOf(2), view::windowStateOf(3),
                           view::windowStateOf(-1)}),
              (std::vector{WindowState::Normal, WindowState::Minimised, WindowState::Maximised, WindowState::Normal,
                           WindowState::Normal}));
}

// A sizeable window keeps its outer size and lays out the inner size the real frame leaves; a fixed
// one keeps its design frame.
TEST(AdoptedFrame, OnlyASizeableWindowTakesTheRealOne)
{
    struct Layouts : FormEvents {
        int runs = 0;
        void onResize() override { ++runs; }
    };
    for (const bool resizable : {true, false}) {
        Layouts layouts;
        Form form("F_prueba", layouts);
        form.setResizable(resizable);
        form.resize(4000, 3000);
        view::adoptFrame(form, 300, 200, 280, 170, 15, 15);
        view::adoptFrame(form, 300, 200, 280, 170, 15, 15);
        if (resizable)
            EXPECT_EQ(std::tuple(form.frameWidth(), form.frameHeight(), form.width(), layouts.runs),
                      std::tuple(300.0, 450.0, 4000.0, 2));
        else
            EXPECT_EQ(std::tuple(form.frameWidth(), form.frameHeight(), layouts.runs), std::tuple(0.0, 0.0, 1));
    }
}

} // namespace
