#include <Kor2_Sys/CIconosMenu.h>

#include "Guards.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace Kor2_Sys;
using platform::HostKind;
using platform::MenuEntry;
using platform::RecordedHost;

namespace {

using Bitmaps = std::pair<Long, Long>;  // unchecked, checked

// A form with two drop-down menus and a bitmap, driven through the late-bound free calls.
class MenuIcons : public ::testing::Test {
public:
    kor2test::ScopedHeadless ui;
    std::shared_ptr<RecordedHost> form = ui->hosts().add(HostKind::Form, "Form1");
    std::shared_ptr<RecordedHost> icon = ui->hosts().add(HostKind::Bitmap, "ico");

    MenuIcons() { ui->hosts().setMenuBar(form->handle(), {{u"&Archivo", {u"&Abrir", u"-", u"&Salir"}}, {u"&Ver", {u"&Zoom"}}}); }

    static Variant ref(const std::shared_ptr<RecordedHost>& host) { return std::shared_ptr<Object>(host); }
    void insert(Integer nMenu, Integer nSubmenu, Variant icono, Variant formulario)
    {
        Variant args[] = {nMenu, nSubmenu, std::move(icono), std::move(formulario)};
        sharedObject("Kor2_Sys.CIconosMenu")->invoke("I_insertar_iconos_en_menu", InvokeKind::Method, args);
    }
    void append(Long window)
    {
        Variant args[] = {window};
        sharedObject("Kor2_Sys.CIconosMenu")->invoke("I_inserta_espacio_despues_icono", InvokeKind::Method, args);
    }
    // The bitmaps of every item of the menu bar, drop-down by drop-down.
    std::vector<std::vector<Bitmaps>> bitmaps() const
    {
        std::vector<std::vector<Bitmaps>> out;
        for (const MenuEntry& dropDown : ui->hosts().menuBarOf(*form)) {
            out.emplace_back();
            for (const MenuEntry& item : dropDown.items)
                out.back().emplace_back(item.item.unchecked, item.item.checked);
        }
        return out;
    }
    std::vector<Text> messages() const
    {
        std::vector<Text> texts;
        for (const auto& m : ui->messages()) {
            EXPECT_TRUE(m.buttons == platform::MessageButtons::Ok && m.icon == platform::MessageIcon::None);
            EXPECT_EQ(m.title, platform::applicationTitle());
            texts.push_back(m.text);
        }
        return texts;
    }
};

struct PlaceCase {
    const char* label;
    Integer nMenu, nSubmenu;
    int dropDown, item;       ///< the item that gets the bitmap; -1 for none
    const char16_t* message;  ///< null for none
};

class Positions : public MenuIcons, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(Positions, BitmapGoesOnTheItemAtThatPositionForBothStates)
{
    const PlaceCase& c = GetParam();
    insert(c.nMenu, c.nSubmenu, ref(icon), ref(form));
    std::vector<std::vector<Bitmaps>> expected{{{0, 0}, {0, 0}, {0, 0}}, {{0, 0}}};
    if (c.item >= 0)
        expected[c.dropDown][c.item] = {icon->handle(), icon->handle()};
    EXPECT_EQ(bitmaps(), expected);
    EXPECT_EQ(messages(), c.message ? std::vector<Text>{c.message} : std::vector<Text>{});
    // The picture is asked for its value once per state, and only once the item's menu is known.
    EXPECT_EQ(icon->log().size(), c.message ? 0u : 2u);
}

const char16_t* const kNoSubmenu = u"This form doesn't have a submenu!";
INSTANTIATE_TEST_SUITE_P(Items, Positions, ::testing::Values(
    PlaceCase{"FirstItemOfLeftmostMenu", 0, 0, 0, 0, nullptr},
    PlaceCase{"SeparatorsCount", 0, 2, 0, 2, nullptr},
    PlaceCase{"SecondMenu", 1, 0, 1, 0, nullptr},
    PlaceCase{"ItemPastTheEndChangesNothingSilently", 0, 3, 0, -1, nullptr},
    PlaceCase{"NegativeItemChangesNothingSilently", 1, -1, 0, -1, nullptr},
    PlaceCase{"MenuPastTheEnd", 2, 0, 0, -1, kNoSubmenu},
    PlaceCase{"NegativeMenu", -1, 0, 0, -1, kNoSubmenu}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MenuIcons, AFormWithoutMenuBarGetsOneBoxAndNothingMore)
{
    const auto bare = ui->hosts().add(HostKind::Form, "Form2");
    insert(0, 0, ref(icon), ref(bare));
    EXPECT_EQ(messages(), std::vector<Text>{u"This form doesn't have a menu!"});
    EXPECT_TRUE(icon->log().empty());
    ASSERT_EQ(bare->log().size(), 1u);
    EXPECT_EQ(bare->log()[0].member, "hWnd");
}

// Run-time errors are the common report with the tag ".I_ico"; no item changes.
struct FailureCase {
    const char* label;
    std::function<std::pair<Variant, Variant>(MenuIcons&)> icono_formulario;
    const char16_t* report;
};

class MenuFailures : public MenuIcons, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MenuFailures, CommonReportAndNoBitmap)
{
    auto [icono, formulario] = GetParam().icono_formulario(*this);
    insert(0, 0, icono, formulario);
    EXPECT_EQ(messages(), std::vector<Text>{GetParam().report});
    EXPECT_EQ(bitmaps(), (std::vector<std::vector<Bitmaps>>{{{0, 0}, {0, 0}, {0, 0}}, {{0, 0}}}));
}

INSTANTIATE_TEST_SUITE_P(Objects, MenuFailures, ::testing::Values(
    FailureCase{"IconValueNotANumber", [](MenuIcons& t) {
        auto label = t.ui->hosts().add(HostKind::Control, "Label1");
        label->setProperty("", Text(u"dibujo"));
        return std::pair<Variant, Variant>{MenuIcons::ref(label), MenuIcons::ref(t.form)};
    }, u"ERROR en Kor_Sys.DLL Nº13\r\n No coinciden los tipos.I_ico"},
    FailureCase{"IconWithoutDefaultValue", [](MenuIcons& t) {
        return std::pair<Variant, Variant>{MenuIcons::ref(t.form), MenuIcons::ref(t.form)};
    }, u"ERROR en Kor_Sys.DLL Nº438\r\n El objeto no admite esta propiedad o método.I_ico"},
    FailureCase{"IconNotAnObject", [](MenuIcons& t) {
        return std::pair<Variant, Variant>{Long{t.icon->handle()}, MenuIcons::ref(t.form)};
    }, u"ERROR en Kor_Sys.DLL Nº424\r\n Se requiere un objeto.I_ico"},
    FailureCase{"FormWithoutWindowHandle", [](MenuIcons& t) {
        return std::pair<Variant, Variant>{MenuIcons::ref(t.icon), MenuIcons::ref(t.icon)};
    }, u"ERROR en Kor_Sys.DLL Nº438\r\n El objeto no admite esta propiedad o método.I_ico"},
    FailureCase{"DestroyedForm", [](MenuIcons& t) {
        auto gone = t.ui->hosts().add(HostKind::Form, "Form2");
        t.ui->hosts().setMenuBar(gone->handle(), {{u"&Archivo", {u"&Abrir"}}});
        t.ui->hosts().destroy(gone->handle());
        return std::pair<Variant, Variant>{MenuIcons::ref(t.icon), MenuIcons::ref(gone)};
    }, u"ERROR en Kor_Sys.DLL Nº91\r\n Variable de objeto o bloque With no establecido.I_ico"}),
    [](const auto& info) { return std::string(info.param.label); });

// --- The system menu --------------------------------------------------------------------------

std::vector<std::pair<Text, Long>> lastItems(const std::vector<MenuEntry>& menu, std::size_t count)
{
    std::vector<std::pair<Text, Long>> out;
    for (std::size_t i = menu.size() - count; i < menu.size(); ++i)
        out.emplace_back(menu[i].item.separator ? u"-" : menu[i].item.caption, menu[i].item.command);
    return out;
}

TEST_F(MenuIcons, EveryCallAppendsASeparatorAndTheInformationItem)
{
    const std::size_t before = ui->hosts().systemMenuOf(*form).size();
    global<CIconosMenu>().I_inserta_espacio_despues_icono(form->handle());
    append(form->handle());
    const auto menu = ui->hosts().systemMenuOf(*form);
    ASSERT_EQ(menu.size(), before + 4);
    EXPECT_EQ(lastItems(menu, 5), (std::vector<std::pair<Text, Long>>{
                                      {u"&Cerrar\tAlt+F4", 0xF060}, {u"-", 0}, {u"&Informationen", 512}, {u"-", 0},
                                      {u"&Informationen", 512}}));
    EXPECT_TRUE(form->log().empty()) << "the handle came by value, not from the form";
}

TEST_F(MenuIcons, AHandleThatIsNoWindowChangesNothingAndSaysNothing)
{
    const auto gone = ui->hosts().add(HostKind::Form, "Form2");
    ui->hosts().destroy(gone->handle());
    const auto before = ui->hosts().systemMenuOf(*form).size();
    for (const Long handle : {Long{0}, icon->handle(), gone->handle(), Long{0x7777}})
        EXPECT_NO_THROW(append(handle)) << handle;
    EXPECT_EQ(ui->hosts().systemMenuOf(*form).size(), before);
    EXPECT_TRUE(ui->messages().empty());
}

} // namespace
