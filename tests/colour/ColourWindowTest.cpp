#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/cfrm_Color.h>

#include "Guards.h"
#include "colour/ColourWindow.h"
#include "frame/Utf.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

using namespace Kor2_Sys;
using platform::Action;
using colour::ColourWindow;

namespace {

Action click(std::string c) { return {.kind = Action::Kind::Click, .control = std::move(c)}; }
Action type(Text text) { return {.kind = Action::Kind::Type, .control = "TX_color", .text = std::move(text)}; }
Action set(Text text) { return {.kind = Action::Kind::Set, .control = "TX_color", .text = std::move(text)}; }
Action down(std::string c, double x, double y) { return {.kind = Action::Kind::MouseDown, .control = std::move(c), .x = x, .y = y}; }
Action dblclick(std::string c) { return {.kind = Action::Kind::DoubleClick, .control = std::move(c)}; }
Action closeBox() { return {.kind = Action::Kind::Close, .fromUser = true}; }

// Every window test has its own store and its own scripted screen.
class ColourWindowTest : public ::testing::Test {
protected:
    void play(ColourWindow& window, std::vector<Action> actions)
    {
        ui->queue({{"F_color", std::move(actions)}});
        window.C_ejecuta();
    }
    bool shows(ColourWindow& window, const char* control) { return window.form().control(control).visible; }

    settings::ScopedStore store{":memory:"};
    kor2test::ScopedHeadless ui;
};

struct TypedCase {
    const char* label;
    Text typed;
    Long chosen;   // the colour the box chooses (the proposal 0x00FF00 stays on an invalid text)
    bool error;
};

// The whole text arrives as one change, as when it is pasted; typing runs the same rule for every
// prefix (see TypingRunsTheBoxOnEveryKey).

class Typing : public ColourWindowTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(Typing, TheBoxChoosesTheForwardColourOfWhatItReads)
{
    for (char16_t separator : {u'.', u','}) {
        kor2test::ScopedDecimal dec{separator};
        ui->clearRecords();
        ColourWindow window;
        window.setC_color_elegido_Vb(0x00FF00);
        play(window, {set(GetParam().typed), click("BT_cancelar")});
        EXPECT_EQ(window.C_color_elegido_Vb(), GetParam().chosen) << GetParam().label;
        EXPECT_EQ(shows(window, "LB_error"), GetParam().error) << GetParam().label;
        EXPECT_EQ(ui->beeps() > 0, GetParam().error) << GetParam().label;
        EXPECT_EQ(window.form().control("SH_color").fillColour, GetParam().chosen);
        EXPECT_EQ(window.C_NomColorAutocaD(), GetParam().typed) << "the box keeps the text as typed";
    }
}

INSTANTIATE_TEST_SUITE_P(Words, Typing, ::testing::Values(
    TypedCase{"capital and blank", u"Rojo ", 0x0000FF, false}, TypedCase{"upper case", u"ROJO", 0x0000FF, false},
    TypedCase{"initials are numbers", u"r", 0x807C80, false}, TypedCase{"digit", u"4", 0xFFFF00, false},
    TypedCase{"not a word", u"abc", 0x807C80, false}, TypedCase{"por capa", u"por capa", 0x807C80, false}));

INSTANTIATE_TEST_SUITE_P(Numbers, Typing, ::testing::Values(
    TypedCase{"12,6 rounds up", u"12,6", 0x6064C8, false}, TypedCase{"12,5 to even", u"12,5", 0x0000D0, false},
    TypedCase{"2,5 to even", u"2,5", 0x00FFFF, false}, TypedCase{"point too", u"12.6", 0x6064C8, false},
    TypedCase{"above 254", u"300", 0xFFFFFF, false}, TypedCase{"negative", u"-1", 0x00FF00, true},
    TypedCase{"beyond 16 bits", u"99999", 0x00FF00, true}, TypedCase{"far negative", u"-40000", 0x00FF00, true},
    TypedCase{"hex", u"&HA", 0x0000FF, false}));

struct CellCase {
    const char* picture;
    double x, y;
    Text box;
    Long chosen;
    Long index = 0;  ///< with an index the colour is accepted, else the window cancelled
};

class Palettes : public ColourWindowTest, public ::testing::WithParamInterface<CellCase> {};

TEST_P(Palettes, MouseDownPutsTheCellIntoTheBox)
{
    ColourWindow window;
    window.C_expandir_colores();
    const bool accept = GetParam().index != 0;
    play(window, {down(GetParam().picture, GetParam().x, GetParam().y), click(accept ? "BT_aceptar" : "BT_cancelar")});
    EXPECT_EQ(window.C_NomColorAutocaD(), GetParam().box);
    EXPECT_EQ(window.C_color_elegido_Vb(), GetParam().chosen);
    EXPECT_EQ(window.C_aceptado(), accept);
    EXPECT_EQ(accept ? window.C_NumColorAutocaD() : 0, GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Cells, Palettes, ::testing::Values(
    CellCase{"Pc_color_especial", 0.01, 0.45, u"10", 0x0000FF},
    // Column 1, row 7 of the special palette is index 10 + 3 = 13; row 2 is 16, row 4 is 12.
    CellCase{"Pc_color_especial", 0.02, 0.35, u"12", 0x0000D0, 7},
    CellCase{"Pc_color_especial", 0.99, 0.01, u"248", 0x180050},
    CellCase{"Pc_color_especial", 0.10, 0.95, u"39", 0x283448},
    CellCase{"Pc_color_especial", 0.10, 1.0, u"3", 0x00FF00},
    CellCase{"Pc_color_grises", 0.99, 0.5, u"255", 0xFFFFFF},
    CellCase{"Pc_color_grises", 0.0, 0.5, u"250", 0x303430},
    CellCase{"Pc_color_normal", 0.15, 0.5, u"amarillo", 0x00FFFF},
    CellCase{"Pc_color_normal", 0.95, 0.5, u"9", 0xC0BCC0}));

struct ProposalCase {
    Long proposed;
    Text box;
    Long chosen;
    Long index;
};

class Proposals : public ColourWindowTest, public ::testing::WithParamInterface<ProposalCase> {};

TEST_P(Proposals, SnapToThePalette)
{
    ColourWindow window;
    window.setC_color_elegido_Vb(GetParam().proposed);
    EXPECT_EQ(window.C_NomColorAutocaD(), GetParam().box);
    EXPECT_EQ(window.C_color_elegido_Vb(), GetParam().chosen);
    EXPECT_EQ(window.C_NumColorAutocaD(), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Colours, Proposals, ::testing::Values(
    ProposalCase{0x0000C8, u"12", 0x0000D0, 7}, ProposalCase{0x000000, u"blanco", 0xFFFFFF, 7},
    ProposalCase{0x0000FF, u"rojo", 0x0000FF, 1}, ProposalCase{-255, u"rojo", 0x0000FF, 1},
    ProposalCase{0x807C80, u"8", 0x807C80, 8}));

TEST_F(ColourWindowTest, TypingRunsTheBoxOnEveryKey)
{
    ColourWindow window;
    window.setC_color_elegido_Vb(0x00FF00);
    play(window, {type(u"-1"), click("BT_cancelar")});
    EXPECT_EQ(window.C_color_elegido_Vb(), 0x807C80) << "\"-\" alone reads as 0; \"-1\" then keeps it";
    EXPECT_EQ(ui->beeps(), 1);
    EXPECT_TRUE(shows(window, "LB_error"));
    play(window, {type(u"7"), click("BT_cancelar")});
    EXPECT_FALSE(shows(window, "LB_error")) << "a valid text hides the error again";
    EXPECT_EQ(window.C_color_elegido_Vb(), 0xFFFFFF);
}

TEST_F(ColourWindowTest, DoubleClickAndLabelAcceptLikeTheButton)
{
    for (const auto& accepting : {dblclick("Pc_color_especial"), dblclick("Pc_color_normal"), click("Label1")}) {
        ColourWindow window;
        play(window, {down("Pc_color_normal", 0.5, 0.5), accepting});
        EXPECT_TRUE(window.C_aceptado());
        EXPECT_EQ(window.C_color_elegido_Vb(), 0xFF0000);
    }
}

TEST_F(ColourWindowTest, AcceptingNoColourBeepsAndStaysOpen)
{
    ColourWindow window;
    play(window, {click("BT_aceptar"), click("BT_cancelar")});
    EXPECT_FALSE(window.C_aceptado());
    EXPECT_EQ(ui->beeps(), 1);
    EXPECT_TRUE(shows(window, "LB_error"));
}

TEST_F(ColourWindowTest, OtherColoursTogglesTheHeight)
{
    ColourWindow window;
    EXPECT_EQ(window.form().height(), ColourWindow::kCollapsedHeight);
    play(window, {click("BT_otros"), click("BT_otros"), click("BT_otros"), click("BT_cancelar")});
    EXPECT_EQ(window.form().height(), ColourWindow::kExpandedHeight);
    play(window, {click("BT_otros"), click("BT_cancelar")});
    EXPECT_EQ(window.form().height(), ColourWindow::kCollapsedHeight);
}

TEST_F(ColourWindowTest, CloseBoxHidesWithoutAccepting)
{
    ColourWindow window;
    play(window, {down("Pc_color_normal", 0.05, 0.5), closeBox()});
    EXPECT_FALSE(window.C_aceptado());
    EXPECT_FALSE(window.form().visible());
    EXPECT_FALSE(window.form().unloaded());
}

struct LayerCase {
    Long layer;
    Text box;
    Long chosen;
};

class Layer : public ColourWindowTest, public ::testing::WithParamInterface<LayerCase> {};
TEST_P(Layer, ButtonPutsThePaletteColourOfTheLayer)
{
    ColourWindow window;
    window.C_añadir_BT_por_Capa(GetParam().layer);
    EXPECT_EQ(window.C_Por_capa(), u"por capa");
    EXPECT_TRUE(shows(window, "BT_por_capa"));
    play(window, {click("BT_por_capa"), click("BT_aceptar")});
    EXPECT_EQ(window.C_NomColorAutocaD(), GetParam().box);
    EXPECT_EQ(window.C_color_elegido_Vb(), GetParam().chosen);
    EXPECT_EQ(window.C_Por_capa(), u"por capa");
    play(window, {type(u"5"), click("BT_aceptar")});
    EXPECT_EQ(window.C_Por_capa(), u"") << "a typed key hides \"por capa\"";
}
INSTANTIATE_TEST_SUITE_P(Colours, Layer, ::testing::Values(LayerCase{0x0000D0, u"blanco", 0xFFFFFF},
                                                           LayerCase{0x00FF00, u"verde", 0x00FF00}));

TEST_F(ColourWindowTest, PositionIsRestoredAndSavedUnderColorPosicion)
{
    {
        ColourWindow fresh;
        EXPECT_EQ(fresh.form().left(), 1000);
        EXPECT_EQ(fresh.form().top(), 1000);
        fresh.form().move(2500, 3100);
        play(fresh, {click("BT_cancelar")});
    }  // unloading a window that was shown saves
    EXPECT_EQ(settings::store().read(u"Vesolar", u"ColorPosicion", u"Left", u""), u"2500");
    EXPECT_EQ(settings::store().read(u"Vesolar", u"ColorPosicion", u"Top", u""), u"3100");
    ColourWindow again;
    EXPECT_EQ(again.form().left(), 2500);
    EXPECT_EQ(again.form().top(), 3100);

    settings::store().write(u"Vesolar", u"ColorPosicion", u"Left", u"7");
    settings::store().write(u"Vesolar", u"ColorPosicion", u"Top", u"arriba");
    ColourWindow broken;
    EXPECT_EQ(broken.form().left(), 7);
    EXPECT_EQ(broken.form().top(), 0) << "a top that does not read stays where the window system put it";
}

// --- the two fronts ----------------------------------------------------------------------

struct ShowCase {
    Long proposed;
    bool accept;
    Long result;
};

class ColourShowFront : public ColourWindowTest, public ::testing::WithParamInterface<ShowCase> {};
TEST_P(ColourShowFront, ReturnsTheSnappedColourOrTheProposalUnchanged)
{
    ui->queue({{"F_color", {click(GetParam().accept ? "BT_aceptar" : "BT_cancelar")}}});
    std::vector<Variant> args{GetParam().proposed};
    EXPECT_EQ(sharedObject("CColores")->invoke("A_Color_Show", InvokeKind::Method, args), Variant(GetParam().result));
    ASSERT_EQ(ui->shownForms().size(), 1u);
    EXPECT_EQ(ui->shownForms()[0].caption, u"Elige Color:");
    EXPECT_EQ(ui->shownForms()[0].height, ColourWindow::kExpandedHeight);
}
INSTANTIATE_TEST_SUITE_P(Cases, ColourShowFront, ::testing::Values(
    ShowCase{255, true, 255}, ShowCase{200, true, 208}, ShowCase{0, true, 16777215}, ShowCase{0, false, 0},
    ShowCase{-1, false, -1}, ShowCase{-1, true, 16777215}));

struct FormCase {
    Text preselected;
    Action ending;
    Long chosen, index;
    Text name;
};
class FormFront : public ColourWindowTest, public ::testing::WithParamInterface<FormCase> {};
TEST_P(FormFront, FillsTheThreeResults)
{
    kor2test::ScopedDecimal dec{u','};  // the preselection is read with the regional separator
    cfrm_Color form;
    form.titulo = u"Color de la capa";
    form.NumColorPreSeleccVb = GetParam().preselected;
    ui->queue({{"F_color", {GetParam().ending}}});
    form.ColorShow();
    EXPECT_EQ(form.NumColorElegiVB, GetParam().chosen);
    EXPECT_EQ(form.NumColorAutocad, GetParam().index);
    EXPECT_EQ(form.NomColorAutocad, GetParam().name);
    EXPECT_EQ(ui->shownForms().at(0).caption, u"Color de la capa");
    EXPECT_EQ(ui->shownForms().at(0).height, ColourWindow::kExpandedHeight) << "opens expanded whatever Expandircolores says";
}
INSTANTIATE_TEST_SUITE_P(Cases, FormFront, ::testing::Values(
    FormCase{u"255", click("BT_cancelar"), 255, 1, u"rojo"},
    FormCase{u"200", click("BT_cancelar"), 200, 12, u"12"},
    FormCase{u"200", click("BT_aceptar"), 208, 7, u"12"},
    FormCase{u"200", closeBox(), 200, 12, u"12"},
    FormCase{u" 254,5 ", click("BT_cancelar"), 254, 7, u"7"}));

TEST_F(ColourWindowTest, FormFrontOffersTheLayerColour)
{
    std::vector<Variant> none;
    auto form = createObject("Kor2_Sys.cfrm_Color");
    putProperty(*form, "NumColorPreSeleccVb", Text(u"255"));
    putProperty(*form, "PorCapa", true);
    putProperty(*form, "NumColorPorCapaPreSeleccVb", Long{65280});
    ui->queue({{"F_color", {click("BT_por_capa"), click("BT_aceptar")}}});
    form->invoke("ColorShow", InvokeKind::Method, none);
    EXPECT_EQ(getProperty(*form, "NumColorElegiVB"), Variant(Long{65280}));
    EXPECT_EQ(getProperty(*form, "NumColorAutocad"), Variant(Long{3}));
    EXPECT_EQ(getProperty(*form, "NomColorAutocad"), Variant(Text(u"verde")));
}

// A front that fails reports it once; one that fails before the window is shown unloads a window
// nobody saw: the stored position stays as it was, and the results keep what they held.
struct FailedFront {
    const char* label;
    std::function<void()> call;
    std::u16string_view reportStart, reportEnd = u".S_color";
};
class FrontFailure : public ColourWindowTest, public ::testing::WithParamInterface<FailedFront> {};
TEST_P(FrontFailure, KeepsNoPosition)
{
    GetParam().call();
    ASSERT_EQ(ui->messages().size(), 1u) << "the failure is reported";
    const Text& report = ui->messages()[0].text;
    EXPECT_TRUE(report.starts_with(GetParam().reportStart)) << utf::toUtf8(report);
    EXPECT_TRUE(report.ends_with(GetParam().reportEnd)) << utf::toUtf8(report);
    for (const auto& entry : settings::store().entries())
        EXPECT_NE(entry.section, u"ColorPosicion") << utf::toUtf8(entry.key);
}
// The form front with a preselection it cannot read shows no window and leaves its result alone.
void showPreselected(Text preselected)
{
    cfrm_Color form;
    form.NumColorElegiVB = 42;
    form.NumColorPreSeleccVb = std::move(preselected);
    form.ColorShow();
    EXPECT_TRUE(dynamic_cast<platform::HeadlessWindowSystem&>(platform::windowSystem()).shownForms().empty());
    EXPECT_EQ(form.NumColorElegiVB, 42);
}
INSTANTIATE_TEST_SUITE_P(Colours, FrontFailure, ::testing::Values(
    FailedFront{"ColorShow, no preselection", [] { showPreselected(u""); },
                u"ERROR en Kor_Sys.DLL Nº13\r\n No coinciden los tipos.S_color"},
    FailedFront{"ColorShow, a word for a preselection", [] { showPreselected(u"rojo"); }, u"ERROR en Kor_Sys.DLL Nº"},
    FailedFront{"ColorShow, a preselection without a magnitude", [] { showPreselected(u"-2147483648"); },
                u"ERROR en Kor_Sys.DLL Nº"},
    FailedFront{"A_Color_Show, no window script", [] { EXPECT_EQ(CColores().A_Color_Show(255), 0); },
                u"ERROR en Kor_Sys.DLL Nº5\r\n"}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.label; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

} // namespace
