// The colour chooser as a person uses it, on every backend: what the box reads, the palettes, the
// ways to accept and to leave, what readers hear, and the two fronts.
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/cfrm_Color.h>

#include "Actions.h"
#include "Guards.h"
#include "Player.h"
#include "colour/ColourWindow.h"
#include "frame/Utf.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

using namespace Kor2_Sys;
using namespace kor2test;
using colour::ColourWindow;

namespace {

// Each test runs with its own store and its own player.
template <class Base> class ColourFixture : public Base {
protected:
    void play(ColourWindow& window, Actions actions)
    {
        this->ui->queue({{"F_color", std::move(actions)}});
        window.C_ejecuta();
    }
    static bool shows(ColourWindow& window, const char* control) { return window.form().control(control).visible; }

    settings::ScopedStore store{":memory:"};
};

template <class Row> using ColourRows = ColourFixture<OnEveryBackend<Row>>;
using ColourWindowTest = ColourFixture<EveryBackend>;
KOR2_ON_EVERY_BACKEND(ColourWindowTest);
const char *const kSpecial = "Pc_color_especial", *const kGreys = "Pc_color_grises", *const kNormal = "Pc_color_normal";

struct TypedRow {
    const char* label;
    Text typed;
    Long chosen;  // the colour the box chooses (the proposal 0x00FF00 stays on an invalid text)
    bool error;
};

// The whole text arrives as one change, as when it is pasted; typing runs the same rule for every
// prefix (see the row typedNegativeKeepsThePrefixsColour).
using Typing = ColourRows<TypedRow>;

TEST_P(Typing, TheBoxChoosesTheForwardColourOfWhatItReads)
{
    for (char16_t separator : {u'.', u','}) {
        ScopedDecimal dec{separator};
        ui->clearRecords();
        ColourWindow window;
        window.setC_color_elegido_Vb(0x00FF00);
        play(window, {set("TX_color", row().typed), tab("TX_color"), click("BT_cancelar")});
        EXPECT_EQ(ui->focusTrail().at(1), "BT_aceptar") << "the error message takes no place in the tab order";
        EXPECT_EQ(std::tuple(window.C_color_elegido_Vb(), shows(window, "LB_error"), ui->beeps() > 0),
                  std::tuple(row().chosen, row().error, row().error));
        EXPECT_EQ(window.form().control("SH_color").fillColour, row().chosen);
        EXPECT_EQ(window.C_NomColorAutocaD(), row().typed) << "the box keeps the text as typed";
        play(window, {set("TX_color", u"7"), click("BT_cancelar")});
        EXPECT_FALSE(shows(window, "LB_error")) << "a valid text hides the error again";
    }
}

const TypedRow kWords[] = {
    {"capitalAndBlank", u"Rojo ", 0x0000FF, false}, {"upperCase", u"ROJO", 0x0000FF, false}, {"digit", u"4", 0xFFFF00, false},
    {"initialsAreNumbers", u"r", 0x807C80, false}, {"notAWord", u"abc", 0x807C80, false}, {"porCapa", u"por capa", 0x807C80, false},
};
KOR2_TABLE(Words, Typing, kWords);

const TypedRow kNumbers[] = {
    {"12_6RoundsUp", u"12,6", 0x6064C8, false}, {"12_5ToEven", u"12,5", 0x0000D0, false}, {"2_5ToEven", u"2,5", 0x00FFFF, false},
    {"pointToo", u"12.6", 0x6064C8, false}, {"above254", u"300", 0xFFFFFF, false}, {"negative", u"-1", 0x00FF00, true},
    {"beyond16Bits", u"99999", 0x00FF00, true}, {"hex", u"&HA", 0x0000FF, false}, {"zeroIsNotNegative", u"0", 0x807C80, false},
};
KOR2_TABLE(Numbers, Typing, kNumbers);

// A proposal snaps to the palette before any window shows.
struct ProposalCase { Long proposed; Text box; Long chosen, index; };
class Proposals : public ::testing::TestWithParam<ProposalCase> {};
TEST_P(Proposals, SnapToThePalette)
{
    ColourWindow window;
    window.setC_color_elegido_Vb(GetParam().proposed);
    EXPECT_EQ(std::tuple(window.C_NomColorAutocaD(), window.C_color_elegido_Vb(), window.C_NumColorAutocaD()),
              std::tuple(GetParam().box, GetParam().chosen, GetParam().index));
}
INSTANTIATE_TEST_SUITE_P(Colours, Proposals, ::testing::Values(
    ProposalCase{0x0000C8, u"12", 0x0000D0, 7}, ProposalCase{0x000000, u"blanco", 0xFFFFFF, 7}, ProposalCase{0x807C80, u"8", 0x807C80, 8},
    ProposalCase{0x0000FF, u"rojo", 0x0000FF, 1}, ProposalCase{-255, u"rojo", 0x0000FF, 1}));

struct CellRow {
    const char* label;
    const char* picture;
    double x, y;
    Text box;
    Long chosen;
    Long index = 0;  ///< with an index the colour is accepted, else the window cancelled
};
using Palettes = ColourRows<CellRow>;

TEST_P(Palettes, MouseDownPutsTheCellIntoTheBox)
{
    ColourWindow window;
    window.C_expandir_colores();
    window.C_añadir_BT_por_Capa(Long{0x123456});
    const bool accept = row().index != 0;
    // A cell chosen after the layer's colour is a colour of its own: "por capa" goes.
    play(window, {click("BT_por_capa"), mousedown(row().picture, row().x, row().y), click(accept ? "BT_aceptar" : "BT_cancelar")});
    EXPECT_EQ(std::tuple(window.C_NomColorAutocaD(), window.C_color_elegido_Vb(), window.C_aceptado(), shows(window, "LB_error"),
                         window.C_Por_capa()),
              std::tuple(row().box, row().chosen, accept, false, Text()));
    EXPECT_EQ(accept ? window.C_NumColorAutocaD() : 0, row().index);
}

// Column 1 of the special palette, rows 1 to 10, is index 10 + 8, 6, 4, 2, 0, 1, 3, 5, 7, 9: the
// lightest shades at the top, the darkest at the bottom, the pure colour in the middle.
const CellRow kCells[] = {
    {.label = "specialRow2", .picture = kSpecial, .x = 0.01, .y = 0.15, .box = u"16", .chosen = 0x000080},
    {.label = "specialRow3", .picture = kSpecial, .x = 0.01, .y = 0.25, .box = u"14", .chosen = 0x000098},
    {.label = "specialRow6", .picture = kSpecial, .x = 0.01, .y = 0.55, .box = u"11", .chosen = 0x807CFF},
    {.label = "specialRow7", .picture = kSpecial, .x = 0.01, .y = 0.65, .box = u"13", .chosen = 0x6064C8},
    {.label = "specialRow8", .picture = kSpecial, .x = 0.01, .y = 0.75, .box = u"15", .chosen = 0x484C98},
    {.label = "specialRow9", .picture = kSpecial, .x = 0.01, .y = 0.85, .box = u"17", .chosen = 0x383C78},
    {.label = "specialFirstColumn", .picture = kSpecial, .x = 0.01, .y = 0.45, .box = u"10", .chosen = 0x0000FF},
    {.label = "specialAccepted", .picture = kSpecial, .x = 0.02, .y = 0.35, .box = u"12", .chosen = 0x0000D0, .index = 7},
    {.label = "specialLastCell", .picture = kSpecial, .x = 0.99, .y = 0.01, .box = u"248", .chosen = 0x180050, .index = 7},
    {.label = "specialBottomRow", .picture = kSpecial, .x = 0.10, .y = 0.95, .box = u"39", .chosen = 0x283448},
    {.label = "specialBelowTheCells", .picture = kSpecial, .x = 0.10, .y = 1.0, .box = u"3", .chosen = 0x00FF00},
    {.label = "lastGrey", .picture = kGreys, .x = 0.99, .y = 0.5, .box = u"255", .chosen = 0xFFFFFF},
    {.label = "firstGrey", .picture = kGreys, .x = 0.0, .y = 0.5, .box = u"250", .chosen = 0x303430},
    {.label = "normalYellow", .picture = kNormal, .x = 0.15, .y = 0.5, .box = u"amarillo", .chosen = 0x00FFFF},
    {.label = "normalNine", .picture = kNormal, .x = 0.95, .y = 0.5, .box = u"9", .chosen = 0xC0BCC0},
};
KOR2_TABLE(Cells, Palettes, kCells);

// What a person sees in each palette cell is what a press there picks: the colour the display
// list paints at the cell's centre (the last rectangle drawn there) is the colour chosen, and the
// separators between cells are no colour of the palette's.
Long paintedAt(const std::vector<platform::DisplayItem>& items, double x, double y)
{
    Long colour = -1;
    for (const auto& item : items)
        if (item.kind == platform::DisplayItem::Kind::FilledRect && x >= item.x1 && x < item.x2 && y >= item.y1 && y < item.y2)
            colour = item.colour;
    return colour;
}

TEST(PaletteCells, ShowTheColourAPressThereChooses)
{
    settings::ScopedStore store{":memory:"};
    ColourWindow window;
    window.C_expandir_colores();
    auto& form = window.form();
    for (const auto& [picture, columns, rows] : {std::tuple(kNormal, 9, 1), std::tuple(kGreys, 6, 1), std::tuple(kSpecial, 24, 10)}) {
        const auto& c = form.control(picture);
        const double w = c.scaleWidth > 0 ? c.scaleWidth : c.width, h = c.scaleHeight > 0 ? c.scaleHeight : c.height;
        for (int column = 0; column < columns; ++column)
            for (int row = 0; row < rows; ++row) {
                SCOPED_TRACE(std::string(picture) + " " + std::to_string(column) + "," + std::to_string(row));
                const double x = (column + 0.5) * w / columns, y = (row + 0.5) * h / rows;
                form.userMouseDown(picture, 1, 0, x, y);
                EXPECT_EQ(paintedAt(c.picture, x, y), window.C_color_elegido_Vb());
                EXPECT_EQ(paintedAt(c.picture, (column + 1) * w / columns - 1, y), c.picture.front().colour) << "the line after";
            }
    }
}

// Every way to leave the chooser: what it hands back, and whether it stays open.
struct EndRow {
    const char* label;
    Actions actions;
    bool accepted;
    Long chosen;
    int beeps = 0;
    std::optional<Long> proposal = 0x00FF00;  ///< none: the window as it opens, with no colour chosen
    int greyRing = -1;                        ///< where code left the greys' focus ring; -1: untouched
};

using Ending = ColourRows<EndRow>;
using platform::keys::Down, platform::keys::End, platform::keys::Home, platform::keys::Left, platform::keys::Right,
    platform::keys::Space, platform::keys::Up;

TEST_P(Ending, HandsBackTheChoice)
{
    ColourWindow window;
    if (row().proposal)
        window.setC_color_elegido_Vb(*row().proposal);
    if (row().greyRing >= 0)
        window.form().update(kGreys, [&](platform::Control& c) { c.swatches->current = row().greyRing; });
    play(window, row().actions);
    EXPECT_EQ(std::tuple(window.C_aceptado(), window.C_color_elegido_Vb(), ui->beeps(), window.form().visible()),
              std::tuple(row().accepted, row().chosen, row().beeps, false));
    EXPECT_FALSE(window.form().unloaded()) << "hidden, not unloaded: the front reads the results";
}

const EndRow kEnds[] = {
    {"acceptButton", {type("TX_color", u"12,6"), click("BT_aceptar")}, true, 0x6064C8},
    {"doubleClickOnSpecial", {mousedown(kNormal, 0.5, 0.5), dblclick(kSpecial)}, true, 0xFF0000},
    {"clickOnTheSample", {mousedown(kNormal, 0.5, 0.5), click("Label1")}, true, 0xFF0000},
    {"cancelButton", {mousedown(kNormal, 0.5, 0.5), click("BT_cancelar")}, false, 0xFF0000},
    {"escape", {mousedown(kGreys, 0.1, 0.5), escape("TX_color")}, false, 0x303430},
    {"closeBox", {mousedown(kNormal, 0.05, 0.5), closeBox()}, false, 0x0000FF},
    {.label = "acceptingNoColourBeepsAndStays", .actions = {click("BT_aceptar"), click("BT_cancelar")}, .accepted = false,
     .chosen = 0, .beeps = 1, .proposal = std::nullopt},
    {.label = "acceptingAfterAnErrorTakesTheKeptColour", .actions = {set("TX_color", u"-1"), click("BT_aceptar")},
     .accepted = true, .chosen = 0x00FF00 /* verde */, .beeps = 1},
    {"enterWithoutDefaultButton", {type("TX_color", u"rojo"), enter("TX_color"), tab("TX_color"), enter("BT_aceptar")},
     true, 0x0000FF},
    {"backTabRoundTheStart", {backTab("TX_color"), backTab("BT_otros"), key("BT_cancelar", 32)}, false, 0x00FF00},
    // Typing runs the box on every key: "-" alone reads as 0, "-1" then keeps that colour.
    {.label = "typedNegativeKeepsThePrefixsColour", .actions = {type("TX_color", u"-1"), click("BT_cancelar")},
     .accepted = false, .chosen = 0x807C80 /* index 0 */, .beeps = 1},
    // The palettes follow the other controls in the tab order; Enter on a cell is a press there.
    {.label = "verdeByArrowsAndEnter",
     .actions = {tab("TX_color"), tab("BT_aceptar"), tab("BT_cancelar"), tab("BT_otros"), key(kNormal, Right),
                 key(kNormal, Right), enter(kNormal), backTab(kNormal), backTab("BT_otros"), backTab("BT_cancelar"),
                 enter("BT_aceptar")},
     .accepted = true, .chosen = 0x00FF00 /* verde */, .beeps = 0, .proposal = std::nullopt},
    // From the first cell: down a row (16), its end (246), up (248), back to the row's start (18),
    // two right (38), down (36); the ring stops at the left edge.
    {"specialWalkedSpacePressesEscapeLeaves",
     {backTab("TX_color"), key(kSpecial, Down), key(kSpecial, End), key(kSpecial, Up), key(kSpecial, Home), key(kSpecial, Left),
      key(kSpecial, Right), key(kSpecial, Right), key(kSpecial, Down), key(kSpecial, Space), escape(kSpecial)},
     false, 0x003C80},
    {"arrowsInTheBoxMoveNoRing", {key("TX_color", Right), tab("TX_color"), enter("BT_aceptar")}, true, 0x00FF00},
    // A ring past the last grey steps left from the last cell (254), not from beyond it.
    {.label = "ringPastTheLastGreyStepsBackFromTheLast",
     .actions = {backTab("TX_color"), backTab(kSpecial), key(kGreys, Left), key(kGreys, Space), escape(kGreys)},
     .accepted = false, .chosen = 0xD8D4D8 /* grey 254 */, .beeps = 0, .proposal = 0x00FF00 /* verde */, .greyRing = 9},
};
KOR2_TABLE(Ends, Ending, kEnds);

// A screen reader names every control the keyboard reaches and every cell; the chosen cell is the
// ring's start, so a reader lands on the colour the window holds.
TEST_P(ColourWindowTest, ReadersNameEveryControlAndCell)
{
    ColourWindow window;
    window.C_añadir_BT_por_Capa(Long{255});
    window.C_expandir_colores();
    window.setC_color_elegido_Vb(0x00FF00);
    play(window, {backTab("TX_color"), tab(kSpecial), escape("TX_color")});
    expectReaderNames(*ui, window.form(),
                      {{"TX_color", u"Color elegido:"}, {"BT_otros", u"otros ..."}, {"BT_por_capa", u"color capa principal :"},
                       {kNormal, u"Colores normales"}, {"Pc_color_normal[0]", u"rojo, 1"}, {"Pc_color_normal[7]", u"8"},
                       {"Pc_color_grises[2]", u"gris 252"}, {kSpecial, u"Colores especiales"}, {"Pc_color_especial[0]", u"18"}});
    const auto& normal = *window.form().control(kNormal).swatches;
    EXPECT_EQ(std::tuple(normal.selected, normal.current, window.form().control(kSpecial).swatches->selected), std::tuple(2, 2, -1));
}

// --- the two fronts ----------------------------------------------------------------------

struct ShowRow { const char* label; Long proposed; bool accept; Long result; };
using ColourShowFront = ColourRows<ShowRow>;

TEST_P(ColourShowFront, ReturnsTheSnappedColourOrTheProposalUnchanged)
{
    ui->queue({{"F_color", {click(row().accept ? "BT_aceptar" : "BT_cancelar")}}});
    std::vector<Variant> args{row().proposed};
    EXPECT_EQ(sharedObject("CColores")->invoke("A_Color_Show", InvokeKind::Method, args), Variant(row().result));
    EXPECT_EQ(ui->shownForms().at(0).height, ColourWindow::kExpandedHeight);
}

const ShowRow kShows[] = {{"paletteColour", 255, true, 255}, {"snapped", 200, true, 208}, {"blackIsWhite", 0, true, 16777215},
    {"cancelKeepsZero", 0, false, 0}, {"cancelKeepsMinusOne", -1, false, -1}, {"acceptingMinusOne", -1, true, 16777215}};
KOR2_TABLE(Cases, ColourShowFront, kShows);

struct FormRow {
    const char* label; Text preselected; Actions actions; Long chosen, index; Text name;
    Long layer = -1;  ///< the layer colour offered; -1: none
};
using FormFront = ColourRows<FormRow>;

TEST_P(FormFront, FillsTheThreeResults)
{
    ScopedDecimal dec{u','};  // the preselection is read with the regional separator
    cfrm_Color form;
    form.titulo = u"Color de la capa";
    form.NumColorPreSeleccVb = row().preselected;
    if (row().layer >= 0)
        form.PorCapa = true, form.NumColorPorCapaPreSeleccVb = row().layer;
    ui->queue({{"F_color", row().actions}});
    form.ColorShow();
    EXPECT_EQ(std::tuple(form.NumColorElegiVB, form.NumColorAutocad, form.NomColorAutocad),
              std::tuple(row().chosen, row().index, row().name));
    // opens expanded whatever Expandircolores says
    EXPECT_EQ(std::tuple(ui->shownForms().at(0).caption, ui->shownForms().at(0).height),
              std::tuple(Text(u"Color de la capa"), ColourWindow::kExpandedHeight));
}

const FormRow kForms[] = {
    {.label = "red", .preselected = u"255", .actions = {click("BT_cancelar")}, .chosen = 255, .index = 1, .name = u"rojo"},
    {.label = "acceptSnaps", .preselected = u"200", .actions = {click("BT_aceptar")}, .chosen = 208, .index = 7, .name = u"12"},
    {.label = "cancelKeepsThePreselection", .preselected = u"200", .actions = {click("BT_cancelar")}, .chosen = 200,
     .index = 12, .name = u"12"},
    {.label = "closeBox", .preselected = u"200", .actions = {closeBox()}, .chosen = 200, .index = 12, .name = u"12"},
    {.label = "blanksAndDecimals", .preselected = u" 254,5 ", .actions = {click("BT_cancelar")}, .chosen = 254, .index = 7,
     .name = u"7"},
    {.label = "layerColourOffered", .preselected = u"255", .actions = {click("BT_por_capa"), click("BT_aceptar")},
     .chosen = 0x00FF00 /* verde */, .index = 3, .name = u"verde", .layer = 0x00FF00},
};
KOR2_TABLE(Cases, FormFront, kForms);

// A front that fails reports it once; one that fails before the window is shown unloads a window
// nobody saw: the stored position stays as it was, and the results keep what they held. The form
// front fails so on a preselection it cannot read, the free one when no window script answers.
TEST_P(ColourWindowTest, AFailedFrontReportsOnceAndKeepsNoPosition)
{
    const auto reported = [&](std::u16string_view start) {
        ASSERT_EQ(ui->messages().size(), 1u) << "the failure is reported";
        const Text report = ui->messages()[0].text;
        EXPECT_TRUE(report.starts_with(start) && report.ends_with(u".S_color")) << utf::toUtf8(report);
        ui->clearRecords();
    };
    for (const auto& [preselected, start] : {std::pair(u"", u"ERROR en Kor_Sys.DLL Nº13\r\n No coinciden los tipos.S_color"),
                                             {u"rojo", u"ERROR en Kor_Sys.DLL Nº"}, {u"-2147483648", u"ERROR en Kor_Sys.DLL Nº"}}) {
        cfrm_Color form;
        form.NumColorElegiVB = 42;
        form.NumColorPreSeleccVb = preselected;
        form.ColorShow();
        EXPECT_TRUE(ui->shownForms().empty());
        EXPECT_EQ(form.NumColorElegiVB, 42);
        reported(start);
    }
    EXPECT_EQ(CColores().A_Color_Show(255), 0);
    reported(u"ERROR en Kor_Sys.DLL Nº5\r\n");
    for (const auto& entry : settings::store().entries())
        EXPECT_NE(entry.section, u"ColorPosicion") << utf::toUtf8(entry.key);
}

} // namespace
