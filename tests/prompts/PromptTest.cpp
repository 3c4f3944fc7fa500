#include <Kor2_Sys/c_imput1.h>

#include "Guards.h"
#include "prompts/InputWindow.h"
#include "prompts/MessageWindow.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

using namespace Kor2_Sys;
using platform::Action;
using prompts::InputWindow;
using prompts::MessageWindow;

namespace {

Action click(std::string c) { return {.kind = Action::Kind::Click, .control = std::move(c)}; }
Action type(std::string c, Text t) { return {.kind = Action::Kind::Type, .control = std::move(c), .text = std::move(t)}; }
Action key(int k) { return {.kind = Action::Kind::Key, .control = "TxtInput", .key = k}; }
Action closeBox() { return {.kind = Action::Kind::Close, .fromUser = true}; }
Action resize(Long w, Long h) { return {.kind = Action::Kind::Resize, .width = w, .height = h}; }

class Prompts : public ::testing::Test {
protected:
    Text stored(const Text& section, const Text& key) { return settings::store().read(u"Vesolar", section, key, u"<absent>"); }
    settings::ScopedStore store{":memory:"};
    kor2test::ScopedHeadless ui;
};

struct EndingCase {
    const char* label;
    std::vector<Action> actions;
    Text accepted;
    bool cancelled;
    bool geometrySaved;
};

class InputEndings : public Prompts, public ::testing::WithParamInterface<EndingCase> {};
TEST_P(InputEndings, HandBackTextAndFlag)
{
    ui->queue({{"f_Imput", GetParam().actions}});
    InputWindow window;
    window.A_Input(u"inicial", u"Cota");
    EXPECT_EQ(window.TextoAceptado, GetParam().accepted) << GetParam().label;
    EXPECT_EQ(window.Cancelado, GetParam().cancelled) << GetParam().label;
    EXPECT_EQ(stored(u"Input Cota", u"Left") != u"<absent>", GetParam().geometrySaved) << GetParam().label;
}
INSTANTIATE_TEST_SUITE_P(Ways, InputEndings, ::testing::Values(
    EndingCase{"accept", {type("TxtInput", u"nuevo"), click("cmdAceptar")}, u"nuevo", false, true},
    EndingCase{"enter", {type("TxtInput", u"nuevo"), key(13)}, u"nuevo", false, true},
    EndingCase{"cancel after edit", {type("TxtInput", u"nuevo"), click("cmdCancel")}, u"inicial", true, true},
    EndingCase{"escape", {key(27)}, u"inicial", true, true},
    EndingCase{"close box", {type("TxtInput", u"nuevo"), closeBox()}, u"", false, false},
    EndingCase{"accept untouched", {click("cmdAceptar")}, u"inicial", false, true}));

TEST_F(Prompts, InitialTextIsSelectedSoTypingReplacesIt)
{
    ui->queue({{"f_Imput", {key('x'), click("cmdAceptar")}}});
    InputWindow window;
    window.A_Input(u"abc", u"T");
    EXPECT_EQ(window.TextoAceptado, u"x");
}

TEST_F(Prompts, HelpButtonOnlyWithAHelpText)
{
    ui->queue({{"f_Imput", {click("cmdAyuda"), click("cmdAceptar")}}, {"f_Imput", {click("cmdAyuda"), click("cmdAceptar")}}});
    InputWindow plain;
    plain.A_Input(u"", u"Sin ayuda");
    EXPECT_FALSE(ui->shownForms()[0].controls[3].visible);
    EXPECT_TRUE(ui->messages().empty()) << "a hidden help button cannot be activated";
    InputWindow helped;
    helped.A_Input(u"", u"Con ayuda", u"Escriba la cota en metros.");
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_EQ(ui->messages()[0].text, u"Escriba la cota en metros.");
    EXPECT_EQ(ui->messages()[0].title, u"Con ayuda");
    EXPECT_EQ(ui->messages()[0].icon, platform::MessageIcon::Information);
}

TEST_F(Prompts, GeometryIsKeptPerTitle)
{
    ui->queue({{"f_Imput", {resize(6000, 2000), click("cmdAceptar")}}, {"f_Imput", {click("cmdCancel")}},
               {"f_Imput", {click("cmdAceptar")}}});
    InputWindow first;
    first.A_Input(u"", u"Uno");
    EXPECT_EQ(ui->shownForms()[0].left, 5000);
    EXPECT_EQ(ui->shownForms()[0].width, 4300);
    EXPECT_EQ(ui->shownForms()[0].height, 1100);
    InputWindow other;
    other.A_Input(u"", u"Dos");
    EXPECT_EQ(ui->shownForms()[1].width, 4300) << "a new title starts from the defaults";
    InputWindow again;
    again.A_Input(u"", u"Uno");
    EXPECT_EQ(ui->shownForms()[2].width, 6000);
    EXPECT_EQ(ui->shownForms()[2].height, 2000);
}

TEST_F(Prompts, UnreadableStoredDimensionIsSkipped)
{
    settings::store().write(u"Vesolar", u"Input Roto", u"Left", u"izquierda");
    settings::store().write(u"Vesolar", u"Input Roto", u"Width", u"5200");
    ui->queue({{"f_Imput", {click("cmdAceptar")}}});
    InputWindow window;
    window.A_Input(u"", u"Roto");
    EXPECT_EQ(ui->shownForms()[0].left, 0) << "left stays where it was";
    EXPECT_EQ(ui->shownForms()[0].top, 5000);
    EXPECT_EQ(ui->shownForms()[0].width, 5200);
}

TEST_F(Prompts, LayoutFollowsTheWindow)
{
    InputWindow window;
    auto& form = window.form();
    form.resize(4725 + (form.width() - form.innerWidth()), form.height());
    EXPECT_DOUBLE_EQ(form.control("cmdAceptar").left, 3622.5);
    EXPECT_DOUBLE_EQ(form.control("cmdCancel").left, 2520);
    EXPECT_DOUBLE_EQ(form.control("cmdAyuda").left, 1347.5);
    EXPECT_DOUBLE_EQ(form.control("TxtInput").width, 4725);
    form.resize(10, 10);
    for (const auto& c : form.controls()) {
        EXPECT_GE(c.width, 0) << c.name;
        EXPECT_GE(c.height, 0) << c.name;
    }
}

TEST_F(Prompts, WindowOffEveryScreenComesBackToThePrimary)
{
    ui->setScreens({{0, 0, 28800, 16200}, {28800, 0, 28800, 16200}});
    settings::store().write(u"Vesolar", u"Input Lejos", u"Left", u"40000");
    ui->queue({{"f_Imput", {click("cmdAceptar")}}, {"f_Imput", {click("cmdAceptar")}}});
    InputWindow onSecond;
    onSecond.A_Input(u"", u"Lejos");
    EXPECT_EQ(ui->shownForms()[0].left, 40000) << "the second monitor still shows it";
    ui->setScreens({{0, 0, 28800, 16200}});  // the second monitor is unplugged
    settings::store().write(u"Vesolar", u"Input Lejos", u"Left", u"40000");
    InputWindow unplugged;
    unplugged.A_Input(u"", u"Lejos");
    EXPECT_LT(ui->shownForms()[1].left + ui->shownForms()[1].width, 28800);
    EXPECT_GE(ui->shownForms()[1].left, 0);
}

// --- the message window ------------------------------------------------------------------

TEST_F(Prompts, MessageReopensWhereItWasClosedWhicheverWay)
{
    ui->queue({{"F_mensajes", {resize(7000, 3000), click("cmdAceptar")}}, {"F_mensajes", {resize(8000, 3500), closeBox()}},
               {"F_mensajes", {click("cmdAceptar")}}});
    MessageWindow first;
    first.A_Mensaje(u"uno", u"Informe");
    EXPECT_EQ(ui->shownForms()[0].left, 1000);
    EXPECT_EQ(ui->shownForms()[0].width, 6000);
    EXPECT_EQ(ui->shownForms()[0].height, 2800);
    MessageWindow second;
    second.A_Mensaje(u"dos", u"Informe");
    EXPECT_EQ(ui->shownForms()[1].width, 7000);
    MessageWindow third;
    third.A_Mensaje(u"tres", u"Informe");
    EXPECT_EQ(ui->shownForms()[2].width, 8000) << "the close box saves too";
    EXPECT_EQ(ui->shownForms()[2].text("TxtMensaje"), u"tres");
    EXPECT_EQ(stored(u"Mensaje: Informe", u"Height"), u"3500");
}

TEST_F(Prompts, CopyPutsTheTextAsItStandsOnTheClipboard)
{
    const Text message = u"Cota: 12,5 m\r\n\tNivel \xD800 \U0001F600 fin";
    ui->queue({{"F_mensajes", {click("cmdcopy"), click("cmdAceptar")}},
               {"F_mensajes", {{.kind = Action::Kind::Set, .control = "TxtMensaje", .text = u"editado"}, click("cmdcopy"),
                               click("cmdAceptar")}}});
    c_imput1().A_Mensaje(message, u"Copia");
    EXPECT_EQ(ui->clipboardText(), message);
    c_imput1().A_Mensaje(message, u"Copia");
    EXPECT_EQ(ui->clipboardText(), u"editado");
}

TEST_F(Prompts, MessageLayout)
{
    MessageWindow window;
    auto& form = window.form();
    const double frameW = form.width() - form.innerWidth(), frameH = form.height() - form.innerHeight();
    form.update("TxtMensaje", [](platform::Control& c) { c.left = c.top = 0; });
    form.resize(4890 + frameW, 3930 + frameH);
    EXPECT_DOUBLE_EQ(form.control("cmdAceptar").left, 3520.5);
    EXPECT_DOUBLE_EQ(form.control("cmdAceptar").top, 3504.75);
    EXPECT_DOUBLE_EQ(form.control("cmdcopy").left, 20);
    EXPECT_DOUBLE_EQ(form.control("TxtMensaje").width, 4890);
}

// --- the front class ---------------------------------------------------------------------

struct NumberCase {
    const char* typed;  // empty: accept untouched
    double result;
};
class NumberPrompt : public Prompts, public ::testing::WithParamInterface<char16_t> {};
TEST_P(NumberPrompt, ShowsWithAPointAndReadsEitherSeparator)
{
    kor2test::ScopedDecimal dec{GetParam()};
    c_imput1 p;
    ui->queue({{"f_Imput", {click("cmdAceptar")}}, {"f_Imput", {click("cmdAceptar")}}, {"f_Imput", {click("cmdAceptar")}},
               {"f_Imput", {click("cmdAceptar")}}});
    EXPECT_EQ(p.A_Imput_Numero_R_F(2.5, u"N", 2), 2.5);
    EXPECT_EQ(ui->shownForms()[0].text("TxtInput"), u"2.50");
    p.A_Imput_Numero_R_F(1.0 / 3.0, u"N", 4);
    EXPECT_EQ(ui->shownForms()[1].text("TxtInput"), u"0.3333");
    p.A_Imput_Numero_R_F(2.5, u"N");
    EXPECT_EQ(ui->shownForms()[2].text("TxtInput"), GetParam() == u',' ? u"2,5" : u"2.5");
    p.A_Imput_Numero_R(2.5, u"N");
    EXPECT_EQ(ui->shownForms()[3].text("TxtInput"), u"2.5");

    for (const auto& [typed, expected] : {std::pair<Text, double>{u"3,5", 3.5}, {u"3.5", 3.5}, {u"1.234,5", 1.234},
                                          {u"abc", 0}, {u"", 0}, {u"-0,0007", -0.0007}}) {
        ui->queue({{"f_Imput", {type("TxtInput", typed), click("cmdAceptar")}}});
        EXPECT_EQ(p.A_Imput_Numero_R(9, u"N"), expected);
    }
    ui->queue({{"f_Imput", {click("cmdCancel")}}, {"f_Imput", {closeBox()}}});
    EXPECT_EQ(p.A_Imput_Numero_R_F(9, u"N", 1), c_imput1::kCancelado);
    EXPECT_EQ(p.A_Imput_Numero_R(9, u"N"), 0) << "closed without a button reads as 0";
}
INSTANTIATE_TEST_SUITE_P(Machines, NumberPrompt, ::testing::Values(u'.', u','));

TEST_F(Prompts, TextPromptsGiveEmptyTextOnCancelOrClose)
{
    c_imput1 p;
    ui->queue({{"f_Imput", {type("TxtInput", u"x"), click("cmdCancel")}}, {"f_Imput", {closeBox()}},
               {"f_Imput", {type("TxtInput", u"y"), click("cmdAceptar")}}});
    EXPECT_EQ(p.A_Imput(u"inicial", u"T"), u"");
    EXPECT_EQ(p.A_Imput_Inf(u"inicial", u"T", u"ayuda"), u"");
    EXPECT_EQ(p.A_Imput(u"inicial", u"T"), u"y");
    EXPECT_EQ(p.Imput1(u"lo que sea"), u"");
    EXPECT_EQ(ui->shownForms().size(), 3u) << "Imput1 shows nothing";
}

TEST_F(Prompts, LateBoundNumberPromptWithOmittedDecimals)
{
    ui->queue({{"f_Imput", {click("cmdAceptar")}}});
    std::vector<Variant> args{2.25, Text(u"Cota")};
    EXPECT_EQ(sharedObject("c_imput1")->invoke("A_Imput_Numero_R_F", InvokeKind::Method, args), Variant(2.25));
    EXPECT_EQ(args[0], Variant(2.25));
}

} // namespace
