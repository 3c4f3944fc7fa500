// The input, number and message prompts as a person uses them, on every backend: how each ends,
// what it hands back, the place and size kept per title, the copy button and the help box.
#include <Kor2_Sys/c_imput1.h>

#include "Actions.h"
#include "Guards.h"
#include "Player.h"
#include "prompts/InputWindow.h"
#include "prompts/MessageWindow.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

using namespace Kor2_Sys;
using namespace kor2test;
using prompts::InputWindow;
using prompts::MessageWindow;

namespace {

Text stored(const Text& section, const Text& key) { return settings::store().read(u"Vesolar", section, key, u"<absent>"); }
using Place = std::array<double, 4>;
Place place(const ShownForm& f) { return {f.left, f.top, f.width, f.height}; }

template <class Row> class PromptRows : public OnEveryBackend<Row> { protected: settings::ScopedStore store{":memory:"}; };
class Prompts : public EveryBackend { protected: settings::ScopedStore store{":memory:"}; };
KOR2_ON_EVERY_BACKEND(Prompts);

struct EndingRow { const char* label; Actions actions; Text accepted; bool cancelled = false, geometrySaved = true; };

using InputEndings = PromptRows<EndingRow>;

TEST_P(InputEndings, HandBackTextAndFlag)
{
    ui->queue({{"f_Imput", row().actions}});
    InputWindow window;
    window.A_Input(u"inicial", u"Cota");
    EXPECT_EQ(window.TextoAceptado, row().accepted);
    EXPECT_EQ(window.Cancelado, row().cancelled);
    EXPECT_EQ(stored(u"Input Cota", u"Left") != u"<absent>", row().geometrySaved);
}

// A long text typed one key at a time reaches the box and the model whole (a line edit lays its
// whole line out again for each character, so the length is what a test affords).
const Text kLongTyped = [] { Text t; for (int i = 0; i < 4'000; ++i) t += static_cast<char16_t>(u'a' + i % 26); return t; }();

const EndingRow kEndings[] = {
    {"longTypedTextArrivesWhole", {type("TxtInput", kLongTyped), enter("TxtInput")}, kLongTyped},
    {"accept", {type("TxtInput", u"nuevo"), click("cmdAceptar")}, u"nuevo"},
    {"enterBeyondAscii", {type("TxtInput", u"Cota ñ \U0001F600"), enter("TxtInput")}, u"Cota ñ \U0001F600"},
    {"typedKeyReplacesTheSelectedProposal", {key("TxtInput", 'x'), click("cmdAceptar")}, u"x"},
    {"cancelAfterEdit", {type("TxtInput", u"nuevo"), click("cmdCancel")}, u"inicial", true},
    {"escape", {escape("TxtInput")}, u"inicial", true},
    {"escapeOnFocusedDefault", {tab("TxtInput"), tab("cmdCancel"), escape("cmdAceptar")}, u"inicial", true},
    {"enterOnFocusedCancel", {type("TxtInput", u"nuevo"), tab("TxtInput"), enter("cmdCancel")}, u"inicial", true},
    {.label = "closeBoxSavesNoPlace", .actions = {type("TxtInput", u"nuevo"), move(3000, 1500), closeBox()}, .accepted = u"",
     .cancelled = false, .geometrySaved = false},
    {"acceptUntouched", {click("cmdAceptar")}, u"inicial"},
    {"altAndALetterNoButtonMarksPressesNothing", {alt("TxtInput", u'a'), click("cmdAceptar")}, u"inicial"},
};
KOR2_TABLE(Ways, InputEndings, kEndings);

// The help button shows only with a help text; a screen reader names the box by what it asks (the
// title; a prompt without one says "Texto").
TEST_P(Prompts, HelpButtonOnlyWithAHelpTextAndReadersNameEveryControl)
{
    ui->queue({{"f_Imput", {tab("TxtInput"), tab("cmdCancel"), tab("cmdAceptar"), enter("TxtInput")}},
               {"f_Imput", {click("cmdAyuda"), click("cmdAceptar")}}});
    InputWindow plain;
    plain.A_Input(u"x", u"");
    EXPECT_FALSE(ui->shownForms()[0].controls[3].visible);
    EXPECT_EQ(ui->focusTrail(), (std::vector<std::string>{"TxtInput", "cmdCancel", "cmdAceptar", "TxtInput"}))
        << "tab skips the hidden help button";
    expectReaderNames(*ui, plain.form(), {{"TxtInput", u"Texto"}});
    InputWindow helped;
    helped.A_Input(u"", u"Cota", u"Metros sobre el nivel del mar");
    expectReaderNames(*ui, helped.form(), {{"TxtInput", u"Cota"}, {"cmdAyuda", u"Ayuda"}, {"cmdCancel", u"Cancelar"}});
    EXPECT_EQ(helped.form().control("TxtInput").accessibleDescription, u"Metros sobre el nivel del mar");
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_EQ(ui->messages()[0].text, u"Metros sobre el nivel del mar");
    EXPECT_EQ(ui->messages()[0].title, u"Cota");
    EXPECT_EQ(ui->messages()[0].icon, platform::MessageIcon::Information);
}

// The place and size the user gives a prompt are kept under its title, however it was accepted
// or cancelled, and the layout follows the size; a stored dimension that does not read is skipped.
TEST_P(Prompts, PlaceAndSizeAreKeptPerTitle)
{
    settings::store().write(u"Vesolar", u"Input Roto", u"Left", u"izquierda");
    settings::store().write(u"Vesolar", u"Input Roto", u"Width", u"5205");
    ui->queue({{"f_Imput", {move(2100, 1350), resize(6000, 2100), enter("TxtInput")}}, {"f_Imput", {escape("TxtInput")}},
               {"f_Imput", {escape("TxtInput")}}, {"f_Imput", {click("cmdAceptar")}}});
    InputWindow first;
    first.A_Input(u"", u"Uno");
    EXPECT_EQ(place(ui->shownForms()[0]), (Place{5000, 5000, 4300, 1100}));
    const auto& form = first.form();
    EXPECT_DOUBLE_EQ(form.control("cmdAceptar").left, form.innerWidth() - 1.05 * 1050);
    EXPECT_DOUBLE_EQ(form.control("cmdCancel").top, form.innerHeight() - 1.05 * 345);
    EXPECT_DOUBLE_EQ(form.control("TxtInput").width, form.innerWidth());
    InputWindow().A_Input(u"", u"Dos");
    EXPECT_EQ(ui->shownForms()[1].width, 4300) << "a new title starts from the defaults";
    InputWindow().A_Input(u"", u"Uno");
    EXPECT_EQ(place(ui->shownForms()[2]), (Place{2100, 1350, 6000, 2100}));
    EXPECT_EQ(stored(u"Input Uno", u"Width"), u"6000");
    InputWindow().A_Input(u"", u"Roto");
    EXPECT_EQ(place(ui->shownForms()[3]), (Place{0, 5000, 5205, 1100})) << "left stays where it was";
}

// A window made as small as it goes lays out no control with a negative size.
TEST(PromptLayout, NeverGoesNegative)
{
    InputWindow input;
    MessageWindow message;
    for (platform::Form* f : {&input.form(), &message.form()}) {
        f->resize(10, 10);
        for (const auto& c : f->controls())
            EXPECT_TRUE(c.width >= 0 && c.height >= 0) << c.name;
    }
}

// --- the message window ------------------------------------------------------------------

struct MessageEndRow { const char* label; Action end; };

using MessageEnds = PromptRows<MessageEndRow>;

// Whichever way it is closed, the window reopens where the user left it and as big.
TEST_P(MessageEnds, ReopenWhereItWasLeft)
{
    ui->queue({{"F_mensajes", {move(1125, 900), resize(7200, 4500), row().end}}, {"F_mensajes", {click("cmdAceptar")}}});
    MessageWindow first;
    first.A_Mensaje(u"uno", u"Informe");
    EXPECT_EQ(place(ui->shownForms()[0]), (Place{1000, 1000, 6000, 2800}));
    EXPECT_DOUBLE_EQ(first.form().control("TxtMensaje").width, first.form().innerWidth());
    MessageWindow().A_Mensaje(u"dos", u"Informe");
    EXPECT_EQ(place(ui->shownForms()[1]), (Place{1125, 900, 7200, 4500}));
    EXPECT_EQ(ui->shownForms()[1].text("TxtMensaje"), u"dos");
    EXPECT_EQ(stored(u"Mensaje: Informe", u"Height"), u"4500");
}

const MessageEndRow kMessageEnds[] = {{"accept", click("cmdAceptar")},
                                      {"escape", escape("TxtMensaje")},
                                      {"closeBox", closeBox()},
                                      {"enterOnTheFocusedButton", enter("cmdAceptar")}};
KOR2_TABLE(Ends, MessageEnds, kMessageEnds);

// The copy button is named by what it does, and a hover tells what that is.
TEST_P(Prompts, CopyPutsTheTextAsItStandsOnTheClipboard)
{
    const Text message = u"Cota: 12,5 m\r\n\tNivel \U0001F600 fin";
    ui->queue({{"F_mensajes", {click("cmdcopy"), click("cmdAceptar")}},
               {"F_mensajes", {set("TxtMensaje", u"editado"), key("cmdcopy", platform::keys::Space), escape("cmdcopy")}}});
    MessageWindow first;
    first.A_Mensaje(message, u"Copia");
    expectReaderNames(*ui, first.form(), {{"TxtMensaje", u"Copia"}, {"cmdcopy", u"Copiar"}, {"cmdAceptar", u"Aceptar"}});
    EXPECT_EQ(ui->toolTips(), (std::vector<std::pair<std::string, Text>>{{"cmdcopy", u"Copia todo al portapapeles"}}));
    EXPECT_EQ(ui->clipboardText(), message);
    c_imput1().A_Mensaje(message, u"Copia");
    EXPECT_EQ(ui->clipboardText(), u"editado");
    EXPECT_EQ(ui->shownForms()[0].text("TxtMensaje"), message);
}

// --- the front class ---------------------------------------------------------------------

struct SeparatorRow { const char* label; char16_t separator; };

using NumberPrompt = PromptRows<SeparatorRow>;

TEST_P(NumberPrompt, ShowsWithAPointAndReadsEitherSeparator)
{
    ScopedDecimal dec{row().separator};
    c_imput1 p;
    const std::pair<std::function<void()>, Text> shows[] = {
        {[&] { EXPECT_EQ(p.A_Imput_Numero_R_F(2.5, u"N", 2), 2.5); }, u"2.50"},
        {[&] { p.A_Imput_Numero_R_F(1.0 / 3.0, u"N", 4); }, u"0.3333"},
        {[&] { p.A_Imput_Numero_R_F(2.5, u"N"); }, row().separator == u',' ? u"2,5" : u"2.5"},
        {[&] { p.A_Imput_Numero_R(2.5, u"N"); }, u"2.5"}};
    for (const auto& [show, proposed] : shows) {
        ui->queue({{"f_Imput", {click("cmdAceptar")}}});
        show();
        EXPECT_EQ(ui->shownForms().back().text("TxtInput"), proposed);
    }
    for (const auto& [typed, expected] : {std::pair<Text, double>{u"3,5", 3.5}, {u"3.5", 3.5}, {u"1.234,5", 1.234},
                                          {u"abc", 0}, {u"", 0}, {u"-0,0007", -0.0007}}) {
        ui->queue({{"f_Imput", {type("TxtInput", typed), click("cmdAceptar")}}});
        EXPECT_EQ(p.A_Imput_Numero_R(9, u"N"), expected);
    }
    ui->queue({{"f_Imput", {click("cmdCancel")}}, {"f_Imput", {closeBox()}}, {"f_Imput", {escape("TxtInput")}}});
    EXPECT_EQ(p.A_Imput_Numero_R_F(9, u"N", 1), c_imput1::kCancelado);
    EXPECT_EQ(p.A_Imput_Numero_R(9, u"N"), 0) << "closed without a button reads as 0";
    EXPECT_EQ(p.A_Imput_Numero_R_F(2.5, u"N", 2), c_imput1::kCancelado);
}

const SeparatorRow kSeparators[] = {{"point", u'.'}, {"comma", u','}};
KOR2_TABLE(Machines, NumberPrompt, kSeparators);

TEST_P(Prompts, TextPromptsGiveEmptyTextOnCancelOrClose)
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

} // namespace
