#include "colour/ColourWindow.h"

#include <Kor2_Sys/Error.h>

#include "colour/ColourCatalogue.h"
#include "frame/Blanks.h"
#include "frame/Latin1.h"
#include "frame/NeverDestroyed.h"
#include "frame/NumberFunctions.h"
#include "frame/NumberText.h"
#include "frame/Trap.h"
#include "platform/FormView.h"
#include "platform/WindowSystem.h"
#include "settings/Store.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace Kor2_Sys::colour {
namespace {

using platform::Control;
using platform::ControlKind;
using platform::DisplayItem;

constexpr Long kInnerWidth = 5340;
// A fixed tool window: thin borders and a small caption bar, in twips at the design resolution.
constexpr Long kFrameWidth = 90;
constexpr Long kFrameHeight = 345;
constexpr Long kDefaultPosition = 1000;
constexpr std::u16string_view kSection = u"ColorPosicion";

// The window's controls, positions in twips relative to their container. The palettes come last in
// the tab order, after every control that had a place in it before they took the keyboard.
constexpr std::array<platform::ControlRow, 17> kControls = {{
    {"Frame3", ControlKind::Frame, "", 105, 105, 3705, 675, u"Colores normales", -1},
    {"Pc_color_normal", ControlKind::Picture, "Frame3", 105, 210, 2490, 360, u"", 5},
    {"BT_otros", ControlKind::Button, "Frame3", 2730, 210, 750, 330, u"otros ...", 3},
    {"Frame1", ControlKind::Frame, "", 105, 735, 3720, 675, u"", -1},
    {"Label1", ControlKind::Label, "Frame1", 135, 315, 960, 195, u"Color elegido:", -1},
    {"TX_color", ControlKind::TextBox, "Frame1", 1125, 225, 1140, 330, u"0", 0},
    {"SH_color", ControlKind::FilledRect, "Frame1", 2340, 225, 375, 360, u"", -1},
    {"LB_error", ControlKind::Label, "Frame1", 2790, 180, 870, 375, u"color válido: de 1a 255", -1},
    {"LB_por_capa", ControlKind::Label, "Frame1", 2835, 270, 630, 195, u"por capa", -1},
    {"Frame2", ControlKind::Frame, "", 3885, 105, 1395, 1320, u"", -1},
    {"BT_aceptar", ControlKind::Button, "Frame2", 105, 210, 1170, 405, u"Aceptar", 1},
    {"BT_cancelar", ControlKind::Button, "Frame2", 105, 740, 1170, 405, u"Cancelar", 2},
    {"Frame4", ControlKind::Frame, "", 105, 1470, 5160, 2430, u"Colores especiales", -1},
    {"Pc_color_grises", ControlKind::Picture, "Frame4", 105, 315, 1680, 360, u"", 6},
    {"LB_capa_principal", ControlKind::Label, "Frame4", 2205, 315, 1470, 195, u"color capa principal :", -1},
    {"BT_por_capa", ControlKind::Button, "Frame4", 3780, 210, 540, 330, u"", 4},
    {"Pc_color_especial", ControlKind::Picture, "Frame4", 105, 735, 4965, 1620, u"", 7},
}};

// Row offsets of the special palette: row r (1 to 10) of column c shows index 10c + d[r - 1].
constexpr std::array<Long, 10> kSpecialRowOffset = {8, 6, 4, 2, 0, 1, 3, 5, 7, 9};
constexpr Long kNormalSeparator = 0x7F7F7F;
constexpr Long kSpecialSeparator = 0xC0C0C0;
constexpr double kSeparatorHalf = 15;  // one pixel on each side of a cell: 2-pixel lines between

// Words the colour box takes for the indices 1 to 9, besides their digits.
constexpr std::array<std::u16string_view, 10> kBoxWords = {
    u"", u"rojo", u"amarillo", u"verde", u"ciano", u"azul", u"magenta", u"blanco", u"8", u"9"};

// A grid of palette cells over a picture of `width` x `height` scale units.
std::vector<DisplayItem> grid(double width, double height, int columns, int rows, Long separator,
                              Long (*indexAt)(int column, int row))
{
    std::vector<DisplayItem> items;
    items.reserve(static_cast<std::size_t>(columns * rows + 1));
    items.push_back({DisplayItem::Kind::FilledRect, 0, 0, width, height, separator, {}});
    const double cellWidth = width / columns, cellHeight = height / rows;
    for (int row = 1; row <= rows; ++row)
        for (int column = 1; column <= columns; ++column)
            items.push_back({DisplayItem::Kind::FilledRect, (column - 1) * cellWidth + kSeparatorHalf,
                             (row - 1) * cellHeight + kSeparatorHalf, column * cellWidth - kSeparatorHalf,
                             row * cellHeight - kSeparatorHalf, forwardColour(indexAt(column, row)), {}});
    return items;
}

// The index each cell of a palette stands for, cells row by row, and the grid it is drawn in.
struct PaletteGrid {
    const char* picture;
    int columns, rows;
    Long (*indexAt)(int column, int row);  // both from 1
    std::u16string_view family;            // read before the number of a colour the catalogue leaves unnamed
};
const std::array<PaletteGrid, 3> kPalettes = {{
    {"Pc_color_normal", 9, 1, [](int c, int) { return Long{c}; }, u""},
    {"Pc_color_grises", 6, 1, [](int c, int) { return Long{249 + c}; }, u"gris "},
    {"Pc_color_especial", 24, 10, [](int c, int r) { return 10 * c + kSpecialRowOffset[static_cast<std::size_t>(r - 1)]; }, u""},
}};

Long cellIndex(const PaletteGrid& grid, int cell)
{
    return grid.indexAt(cell % grid.columns + 1, cell / grid.columns + 1);
}

using numtext::digits;

// A cell is read as the catalogue names its colour with the index after it ("rojo, 1"); an index
// the catalogue names by its digits is read once, after the palette's family word if it has one.
Text swatchName(const PaletteGrid& grid, Long index)
{
    const Text number = digits(index), name = nameOfIndex(index);
    return name == number ? Text(grid.family) + number : name + u", " + number;
}

platform::Swatches swatchesOf(const PaletteGrid& grid)
{
    platform::Swatches swatches{grid.columns, grid.rows, {}, 0, -1};
    for (int cell = 0; cell < grid.columns * grid.rows; ++cell)
        swatches.names.push_back(swatchName(grid, cellIndex(grid, cell)));
    return swatches;
}

Long whole(double value)
{
    return static_cast<Long>(std::floor(value));
}

// The index the colour box reads from its text: a colour word or its digit, otherwise the number
// the text begins with, rounded halves to even; nothing when it does not fit 16 bits.
std::optional<Long> boxIndex(std::u16string_view text)
{
    Text word(blanks::trim(text));
    for (auto& c : word)
        c = latin1::toLower(c);
    for (Long index = 1; index <= 9; ++index)
        if (word == kBoxWords[static_cast<std::size_t>(index)] || word == digits(index))
            return index;
    const double rounded = std::nearbyint(mfunc::ValorTexto(word));
    if (!(rounded >= std::numeric_limits<Integer>::min() && rounded <= std::numeric_limits<Integer>::max()))
        return std::nullopt;
    return static_cast<Long>(rounded);
}

// The window's controls as designed: the table's, scaled in their own twips, with the palettes'
// pictures and cells and what readers hear them by; the layer's controls and the error hidden.
std::vector<Control> designControls()
{
    std::vector<Control> controls;
    controls.reserve(kControls.size());
    for (const platform::ControlRow& row : kControls) {
        controls.push_back(platform::makeControl(row));
        controls.back().scaleWidth = row.width;
        controls.back().scaleHeight = row.height;
    }
    const auto at = [&](std::string_view name) -> Control& {
        return *std::find_if(controls.begin(), controls.end(), [&](const Control& c) { return c.name == name; });
    };
    at("SH_color").fillColour = 0xC0C0C0;
    at("BT_por_capa").backColour = 0xC0C0C0;
    at("Pc_color_normal").picture = grid(2490, 360, 9, 1, kNormalSeparator, kPalettes[0].indexAt);
    at("Pc_color_grises").picture = grid(1680, 360, 6, 1, kNormalSeparator, kPalettes[1].indexAt);
    at("Pc_color_especial").picture = grid(4965, 1620, 24, 10, kSpecialSeparator, kPalettes[2].indexAt);
    for (const PaletteGrid& palette : kPalettes)
        at(palette.picture).swatches = swatchesOf(palette);
    at("TX_color").labelledBy = "Label1";
    at("Pc_color_normal").labelledBy = "Frame3";
    at("Pc_color_grises").accessibleName = u"Grises";
    at("Pc_color_especial").labelledBy = "Frame4";
    at("BT_por_capa").labelledBy = "LB_capa_principal";
    for (const char* hidden : {"LB_capa_principal", "LB_por_capa", "BT_por_capa", "LB_error"})
        at(hidden).visible = false;
    return controls;
}

// Designed once per process, each window adds copies: the palettes never change. Never destroyed:
// a host may open the window from its own exit handlers.
const std::vector<Control>& designedControls()
{
    static const NeverDestroyed<std::vector<Control>> controls(designControls());
    return *controls;
}

} // namespace

ColourWindow::ColourWindow() : m_form("F_color", *this)
{
    build();
    m_form.resize(m_form.width(), kCollapsedHeight);
    m_form.update("SH_color", [&](Control& c) { c.fillColour = m_chosen; });
    m_form.setText("TX_color", digits(m_chosen));
    restorePosition();
}

ColourWindow::~ColourWindow()
{
    // Saving the position must not throw out of a destructor; the store's failures are silent.
    trap::silent("F_color.Unload", [&] { m_form.unload(); });
}

void ColourWindow::build()
{
    m_form.setCaption(u"Gama de colores");
    m_form.setToolWindow(true);
    m_form.setFrameSize(kFrameWidth, kFrameHeight);
    m_form.resize(kInnerWidth + kFrameWidth, kCollapsedHeight);
    const auto& designed = designedControls();
    m_form.reserve(designed.size());
    for (const Control& control : designed)
        m_form.add(control);
    m_form.setCancelButton("BT_cancelar");
}

// The cell of the chosen index shows as selected, and the focus ring starts there.
void ColourWindow::markChosen(Long index)
{
    for (const PaletteGrid& grid : kPalettes)
        m_form.update(grid.picture, [&](Control& c) {
            c.swatches->selected = -1;
            for (int cell = 0; cell < grid.columns * grid.rows; ++cell)
                if (cellIndex(grid, cell) == index)
                    c.swatches->selected = c.swatches->current = cell;
        });
}

void ColourWindow::restorePosition()
{
    const Text fallback = digits(kDefaultPosition);
    trap::silent("F_color.Form_Load", [&] {
        auto& store = settings::store();
        const Long left = Variant(store.read(Text(settings::kApplication), Text(kSection), u"Left", fallback)).toLong();
        m_form.move(left, m_form.top());
        const Long top = Variant(store.read(Text(settings::kApplication), Text(kSection), u"Top", fallback)).toLong();
        m_form.move(m_form.left(), top);
    });
}

void ColourWindow::C_ejecuta()
{
    platform::windowSystem().showModal(m_form);
}

void ColourWindow::setC_color_elegido_Vb(Long colour)
{
    m_chosen = colour;
    const long long magnitude = std::llabs(static_cast<long long>(colour));
    if (magnitude > std::numeric_limits<Long>::max())
        throw errors::overflow();
    m_form.setText("TX_color", nameOfIndex(reverseIndex(static_cast<Long>(magnitude))));
}

Long ColourWindow::C_NumColorAutocaD() const { return reverseIndex(m_chosen); }
void ColourWindow::setC_NumColorAutocaD(Long index) { m_form.setText("TX_color", digits(index)); }
Text ColourWindow::C_NomColorAutocaD() const { return m_form.control("TX_color").caption; }

void ColourWindow::C_expandir_colores()
{
    m_form.resize(m_form.width(), kExpandedHeight);
}

void ColourWindow::C_añadir_BT_por_Capa(const Variant& colour)
{
    const Long layer = colour.toLong();
    for (const char* shown : {"LB_por_capa", "BT_por_capa", "LB_capa_principal"})
        m_form.setVisible(shown, true);
    m_form.update("BT_por_capa", [&](Control& c) { c.backColour = layer; });
}

Text ColourWindow::C_Por_capa() const
{
    return m_form.control("LB_por_capa").visible ? u"por capa" : u"";
}

Long ColourWindow::NumColAutocad_dado_NumVB(Long colour) const { return reverseIndex(colour); }
Text ColourWindow::Nombre_Color_dado_Num_Vb(Long colour) const { return nameOfColour(colour); }

void ColourWindow::showError()
{
    m_form.setVisible("LB_error", true);
    platform::windowSystem().beep();
}

void ColourWindow::colourBox()
{
    const auto index = boxIndex(m_form.control("TX_color").caption);
    if (!index || *index < 0) {
        showError();
        return;
    }
    m_form.setVisible("LB_error", false);
    markChosen(*index);
    m_chosen = forwardColour(*index);
    m_form.update("SH_color", [&](Control& c) { c.fillColour = m_chosen; });
}

void ColourWindow::chooseIndex(Long index)
{
    m_form.setText("TX_color", digits(index));
}

void ColourWindow::accept()
{
    if (m_chosen < 1 || m_chosen > kWhite) {
        showError();
        return;
    }
    m_accepted = true;
    m_form.hide();
}

void ColourWindow::onClick(const std::string& control)
{
    if (control == "BT_aceptar" || control == "Label1") {
        accept();
    } else if (control == "BT_cancelar") {
        m_accepted = false;
        m_form.hide();
    } else if (control == "BT_otros") {
        m_form.resize(m_form.width(), m_form.height() < kExpandedHeight ? kExpandedHeight : kCollapsedHeight);
    } else if (control == "BT_por_capa") {
        const Long layer = m_form.control("BT_por_capa").backColour.value_or(0);
        m_form.setText("TX_color", nameOfIndex(reverseIndex(layer)));
        m_form.setVisible("LB_por_capa", true);
        m_form.setVisible("LB_error", false);
    }
}

void ColourWindow::onDoubleClick(const std::string& control)
{
    if (control == "Pc_color_normal" || control == "Pc_color_especial")
        accept();
}

void ColourWindow::onMouseDown(const std::string& control, int, int, double x, double y)
{
    const auto [width, height] = platform::view::scaleUnits(m_form.control(control));
    if (control == "Pc_color_normal") {
        const Long cell = whole(x / (width / 9)) + 1;
        if (cell >= 1 && cell <= 9)
            m_form.setText("TX_color", Text(kBoxWords[static_cast<std::size_t>(cell)]));
        m_form.setVisible("LB_error", false);
        m_form.setVisible("LB_por_capa", false);
    } else if (control == "Pc_color_grises") {
        chooseIndex(whole(x / (width / 6)) + 250);
        m_form.setVisible("LB_error", false);
        m_form.setVisible("LB_por_capa", false);
    } else if (control == "Pc_color_especial") {
        const Long column = whole(x / (width / 24)) + 1;
        const Long row = whole(y / (height / 10)) + 1;
        // The very bottom edge is row 11, outside the table: the index is then the column itself.
        const Long index = row >= 1 && row <= 10 ? 10 * column + kSpecialRowOffset[static_cast<std::size_t>(row - 1)] : column;
        chooseIndex(index);
        m_form.setVisible("LB_por_capa", false);
    }
}

void ColourWindow::onChange(const std::string& control)
{
    if (control == "TX_color")
        colourBox();
}

void ColourWindow::onKeyPress(const std::string& control, int&)
{
    if (control == "TX_color")
        m_form.setVisible("LB_por_capa", false);
}

void ColourWindow::onCloseRequest(bool fromUser, bool& cancel)
{
    // The close box only hides the window: the front reads it as a cancel.
    if (fromUser) {
        cancel = true;
        m_form.hide();
    }
}

void ColourWindow::onUnload()
{
    // Only a window the user has seen has a position worth keeping: a front that fails before it
    // shows the window must leave the stored position alone.
    if (!m_form.everShown())
        return;
    trap::silent("F_color.Form_Unload", [&] {
        auto& store = settings::store();
        store.write(Text(settings::kApplication), Text(kSection), u"Left", Variant(m_form.left()).toText());
        store.write(Text(settings::kApplication), Text(kSection), u"Top", Variant(m_form.top()).toText());
    });
    m_form.hide();
}

ColourChoice chooseColour(const Text& title, Long proposal, std::optional<Long> layer)
{
    ColourWindow window;
    window.setC_Titulo(title);
    window.setC_color_elegido_Vb(proposal);
    if (layer)
        window.C_añadir_BT_por_Capa(*layer);
    window.C_expandir_colores();
    window.C_ejecuta();
    ColourChoice choice;
    choice.accepted = window.C_aceptado();
    if (choice.accepted) {
        choice.colour = window.C_color_elegido_Vb();
        choice.index = window.C_NumColorAutocaD();
        choice.name = window.C_NomColorAutocaD();
    } else {
        choice.colour = proposal;
        choice.index = window.NumColAutocad_dado_NumVB(proposal);
        choice.name = window.Nombre_Color_dado_Num_Vb(proposal);
    }
    window.unload();
    return choice;
}

} // namespace Kor2_Sys::colour
