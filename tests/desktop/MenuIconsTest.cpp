#include <Kor2_Sys/CIconosMenu.h>

#include "Guards.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Kor2_Sys;
using platform::HostKind;
using platform::RecordedHost;

namespace {

using Bitmaps = std::vector<std::pair<Long, Long>>;  // unchecked, checked per item of "&Archivo"

// A form with the drop-down menus "&Archivo" (Abrir, a separator, Salir) and "&Ver", and a bitmap.
class MenuIcons : public ::testing::Test {
public:
    kor2test::ScopedHeadless ui;
    std::shared_ptr<RecordedHost> form = ui->hosts().add(HostKind::Form, "Form1");
    std::shared_ptr<RecordedHost> icon = ui->hosts().add(HostKind::Bitmap, "ico");
    const Bitmaps untouched{{0, 0}, {0, 0}, {0, 0}};

    MenuIcons() { ui->hosts().setMenuBar(form->handle(), {{u"&Archivo", {u"&Abrir", u"-", u"&Salir"}}, {u"&Ver", {u"&Zoom"}}}); }

    static Variant ref(const std::shared_ptr<RecordedHost>& host) { return std::shared_ptr<Object>(host); }
    std::vector<Text> insert(Integer nMenu, Integer nSubmenu, Variant icono, Variant formulario)
    {
        Variant args[] = {nMenu, nSubmenu, std::move(icono), std::move(formulario)};
        sharedObject("Kor2_Sys.CIconosMenu")->invoke("I_insertar_iconos_en_menu", InvokeKind::Method, args);
        std::vector<Text> boxes;
        for (const auto& m : ui->messages()) {
            EXPECT_TRUE(m.buttons == platform::MessageButtons::Ok && m.icon == platform::MessageIcon::None);
            EXPECT_EQ(m.title, platform::applicationTitle());
            boxes.push_back(m.text);
        }
        return boxes;
    }
    Bitmaps archivo() const
    {
        Bitmaps out;
        const auto bar = ui->hosts().menuBarOf(*form);
        for (const auto& item : bar.at(0).items)
            out.emplace_back(item.item.unchecked, item.item.checked);
        return out;
    }
};

struct PlaceCase {
    const char* label;
    Integer nMenu, nSubmenu;
    int item;                 ///< the item of "&Archivo" that gets the bitmap; -1 for none
    const char16_t* message;  ///< null for none
};

class Positions : public MenuIcons, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(Positions, BitmapGoesOnTheItemAtThatPositionForBothStates)
{
    const PlaceCase& c = GetParam();
    EXPECT_EQ(insert(c.nMenu, c.nSubmenu, ref(icon), ref(form)),
              c.message ? std::vector<Text>{c.message} : std::vector<Text>{});
    Bitmaps expected = untouched;
    if (c.item >= 0)
        expected[c.item] = {icon->handle(), icon->handle()};
    EXPECT_EQ(archivo(), expected);
    // Asked once per state, and only once the item's menu is known.
    EXPECT_EQ(icon->log().size(), c.message ? 0u : 2u);
}

const char16_t* const kNoSubmenu = u"This form doesn't have a submenu!";
INSTANTIATE_TEST_SUITE_P(Items, Positions, ::testing::Values(
    PlaceCase{"FirstItemOfLeftmostMenu", 0, 0, 0, nullptr},
    PlaceCase{"SeparatorsCount", 0, 2, 2, nullptr},
    PlaceCase{"ItemPastTheEndSilently", 0, 3, -1, nullptr},
    PlaceCase{"NegativeItemSilently", 0, -1, -1, nullptr},
    PlaceCase{"MenuPastTheEnd", 2, 0, -1, kNoSubmenu},
    PlaceCase{"NegativeMenu", -1, 0, -1, kNoSubmenu}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MenuIcons, AFormWithoutMenuBarGetsOneBoxAndNothingMore)
{
    const auto bare = ui->hosts().add(HostKind::Form, "Form2");
    EXPECT_EQ(insert(0, 0, ref(icon), ref(bare)), std::vector<Text>{u"This form doesn't have a menu!"});
    EXPECT_TRUE(icon->log().empty());
    EXPECT_EQ(bare->log().size(), 1u);  // hWnd only
}

TEST_F(MenuIcons, RunTimeErrorsAreTheCommonReport)
{
    const auto label = ui->hosts().add(HostKind::Control, "Label1");
    label->setProperty("", Text(u"dibujo"));
    EXPECT_EQ(insert(0, 0, ref(label), ref(form)),
              std::vector<Text>{u"ERROR en Kor_Sys.DLL Nº13\r\n No coinciden los tipos.I_ico"});
    ui->clearRecords();
    ui->hosts().destroy(form->handle());
    EXPECT_EQ(insert(0, 0, ref(icon), ref(form)),
              std::vector<Text>{u"ERROR en Kor_Sys.DLL Nº91\r\n Variable de objeto o bloque With no establecido.I_ico"});
}

TEST_F(MenuIcons, EveryCallAppendsASeparatorAndTheInformationItem)
{
    const auto before = ui->hosts().systemMenuOf(*form);
    global<CIconosMenu>().I_inserta_espacio_despues_icono(form->handle());
    Variant args[] = {Long{form->handle()}};
    sharedObject("Kor2_Sys.CIconosMenu")->invoke("I_inserta_espacio_despues_icono", InvokeKind::Method, args);
    std::vector<std::pair<Text, Long>> added;
    const auto after = ui->hosts().systemMenuOf(*form);
    ASSERT_EQ(after.size(), before.size() + 4);
    for (std::size_t i = before.size(); i < after.size(); ++i)
        added.emplace_back(after[i].item.separator ? u"-" : after[i].item.caption, after[i].item.command);
    EXPECT_EQ(added, (std::vector<std::pair<Text, Long>>{{u"-", 0}, {u"&Informationen", 512}, {u"-", 0},
                                                         {u"&Informationen", 512}}));

    // A handle that names no window changes nothing and says nothing.
    for (const Long handle : {Long{0}, icon->handle(), Long{0x7777}})
        EXPECT_NO_THROW(global<CIconosMenu>().I_inserta_espacio_despues_icono(handle));
    EXPECT_EQ(ui->hosts().systemMenuOf(*form).size(), after.size());
    EXPECT_TRUE(ui->messages().empty());
}

} // namespace
