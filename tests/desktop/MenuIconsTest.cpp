// Menu pictures on every backend: a picture beside an item of a form's drop-down menu, the boxes
// when there is no such menu, and the entry the library appends to a window's system menu.
#include <Kor2_Sys/CIconosMenu.h>

#include "Hosts.h"

#include <gtest/gtest.h>

using namespace Kor2_Sys;
using namespace kor2test;

namespace {

// A form with the drop-down menus "&Archivo" (Abrir, a separator, Salir) and "&Ver" (Zoom).
template <class Base> class MenusOf : public Base {
public:
    std::unique_ptr<Hosts> hosts = makeHosts(*this->ui);
    Variant form = hosts->form({{u"&Archivo", {u"&Abrir", u"-", u"&Salir"}}, {u"&Ver", {u"&Zoom"}}});

    /// The texts of the boxes shown while the picture goes onto item `item` of menu `menu`.
    std::vector<Text> insert(Integer menu, Integer item, Variant icono, Variant formulario)
    {
        Variant args[] = {menu, item, std::move(icono), std::move(formulario)};
        sharedObject("Kor2_Sys.CIconosMenu")->invoke("I_insertar_iconos_en_menu", InvokeKind::Method, args);
        std::vector<Text> boxes;
        for (const auto& m : this->ui->messages()) {
            EXPECT_TRUE(m.buttons == platform::MessageButtons::Ok && m.icon == platform::MessageIcon::None);
            EXPECT_EQ(m.title, platform::applicationTitle());
            boxes.push_back(m.text);
        }
        return boxes;
    }
};

using Pictures = std::vector<std::pair<bool, bool>>;  // per item: shown unchecked, checked

struct PlaceRow {
    const char* label;
    Integer menu, item;
    int placed;           ///< the item of "&Archivo" that gets the picture; -1 for none
    const char16_t* box = nullptr;  ///< none: no box
};
using Positions = MenusOf<OnEveryBackend<PlaceRow>>;

TEST_P(Positions, PictureGoesOnTheItemAtThatPositionForBothStates)
{
    EXPECT_EQ(insert(row().menu, row().item, hosts->bitmap(), form), row().box ? std::vector<Text>{row().box} : std::vector<Text>{});
    Pictures expected(3, {false, false});
    if (row().placed >= 0)
        expected[row().placed] = {true, true};
    EXPECT_EQ(hosts->pictures(form, 0), expected);
    EXPECT_EQ(hosts->pictures(form, 1), (Pictures{{row().menu == 1, row().menu == 1}}));
}

const char16_t* const kNoSubmenu = u"This form doesn't have a submenu!";
const PlaceRow kPlaces[] = {
    {.label = "firstItemOfLeftmostMenu", .menu = 0, .item = 0, .placed = 0},
    {.label = "separatorsCount", .menu = 0, .item = 2, .placed = 2},
    {.label = "secondMenu", .menu = 1, .item = 0, .placed = -1},
    {.label = "itemPastTheEndSilently", .menu = 0, .item = 3, .placed = -1},
    {.label = "negativeItemSilently", .menu = 0, .item = -1, .placed = -1},
    {.label = "menuPastTheEnd", .menu = 2, .item = 0, .placed = -1, .box = kNoSubmenu},
    {.label = "negativeMenu", .menu = -1, .item = 0, .placed = -1, .box = kNoSubmenu},
};
KOR2_TABLE(Items, Positions, kPlaces);

using MenuIcons = MenusOf<EveryBackend>;
KOR2_ON_EVERY_BACKEND(MenuIcons);

// The picture is asked for only once the item's menu is known; run-time errors are the common report.
TEST_P(MenuIcons, AFormWithoutMenuBarGetsOneBoxAndRunTimeErrorsTheCommonReport)
{
    const Variant label = hosts->control(form, {1, 1});
    const auto once = [&](Variant icon, const Variant& to) { return ui->clearRecords(), insert(0, 0, std::move(icon), to).at(0); };
    EXPECT_EQ(once(label, hosts->form()), u"This form doesn't have a menu!");
    EXPECT_EQ(once(label, form), u"ERROR en Kor_Sys.DLL Nº438\r\n El objeto no admite esta propiedad o método.I_ico");
    hosts->destroy(form);
    EXPECT_EQ(once(hosts->bitmap(), form), u"ERROR en Kor_Sys.DLL Nº91\r\n Variable de objeto o bloque With no establecido.I_ico");
}

TEST_P(MenuIcons, EveryCallAppendsASeparatorAndTheInformationItem)
{
    const auto before = hosts->systemMenu(form);
    const Long window = handleOf(form);
    global<CIconosMenu>().I_inserta_espacio_despues_icono(window);
    Variant args[] = {window};
    sharedObject("Kor2_Sys.CIconosMenu")->invoke("I_inserta_espacio_despues_icono", InvokeKind::Method, args);
    // A handle that names no window changes nothing and says nothing.
    for (const Long handle : {Long{0}, getProperty(*hosts->bitmap().toObject(), "Handle").toLong(), Long{0x7777}})
        EXPECT_NO_THROW(global<CIconosMenu>().I_inserta_espacio_despues_icono(handle));
    auto added = before;
    for (int i = 0; i < 2; ++i)
        added.insert(added.end(), {{u"-", 0}, {u"&Informationen", 512}});
    EXPECT_EQ(std::tuple(hosts->systemMenu(form), ui->messages().size()), std::tuple(added, 0u));
}

} // namespace
