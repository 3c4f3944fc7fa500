// cls_Loging and its window on every backend: what each way of ending the dialog hands back and
// what typed text reaches the fields (the process around it: LoginProcessTest.cpp).
#include <Kor2_Sys/cls_Loging.h>

#include "Actions.h"
#include "Guards.h"
#include "LoginOutcome.h"
#include "Player.h"
#include "login/LoginWindow.h"

#include <gtest/gtest.h>

using namespace Kor2_Sys;
using namespace kor2test;

namespace {

struct EndingRow {
    const char* label;
    Actions actions;
    LoginOutcome outcome;
    Only only = Only::Any;
};

class Ending : public OnEveryBackend<EndingRow> {};

TEST_P(Ending, HandsBackTheChoiceAndTheTexts)
{
    ui->queue({{"dlgLoging", row().actions}});
    expectLogin(row().outcome);
    ASSERT_EQ(ui->shownForms().size(), 1u);
    EXPECT_EQ(ui->shownForms()[0].caption, u"Contraseña:");
    EXPECT_EQ(ui->shownForms()[0].text("txtUser"), u"vupa");
    EXPECT_EQ(ui->shownForms()[0].text("txtPassword"), u"****") << "recorded as a person sees it";
    EXPECT_EQ(ui->focusTrail().front(), "cmdAcept") << "the window opens on its accept button";
}

const Text kMegabyte(std::size_t{1} << 20, u'u');

const EndingRow kEndings[] = {
    {"acceptUntouched", {click("cmdAcept")}, {true, u"vupa", u"vupa"}},
    {"acceptUntrimmed", {type("txtUser", u" Ana "), type("txtPassword", u" s3 ñ"), click("cmdAcept")},
     {true, u" Ana ", u" s3 ñ"}},
    {"tabRoundThenEnterOnAccept",
     {tab("cmdAcept"), tab("cmdCancel"), type("txtUser", u"Ana"), tab("txtUser"), type("txtPassword", u"s3"),
      tab("txtPassword"), enter("cmdAcept")},
     {true, u"Ana", u"s3"}},
    {"cancelAfterTyping", {type("txtUser", u"otro"), type("txtPassword", u"y"), click("cmdCancel")},
     {false, u"antes", u"previa"}},
    // The access key "&Cancelar" marks answers from a box, which it does not type into; a letter
    // no caption marks does nothing.
    {"altCPressesCancelar", {type("txtUser", u"otro"), alt("txtUser", u'c')}, {false, u"antes", u"previa"}},
    {"altWithAnUnmarkedLetterTypesNothing", {type("txtUser", u"Ana"), alt("txtUser", u'a'), click("cmdAcept")},
     {true, u"Ana", u"vupa"}},
    {"closeBoxIsCancel", {type("txtUser", u"otro"), type("txtPassword", u"otra"), closeBox()}, {false, u"antes", u"previa"}},
    // Had Enter or Escape pressed a button here, the next action would find the window gone.
    {"enterAndEscapeElsewherePressNothing",
     {enter("txtUser"), enter("txtPassword"), escape("txtPassword"), escape("cmdAcept"), key("cmdCancel", 32)},
     {false, u"antes", u"previa"}},
    {"nulPastedIsKept", {set("txtPassword", Text(u"a\0b", 3)), click("cmdAcept")}, {true, u"vupa", Text(u"a\0b", 3)}},
    // What a keyboard cannot type: a NUL key, lone surrogates, a megabyte one key at a time.
    {"nulTypedIsNoCharacter", {type("txtUser", Text(u"a\0b", 3)), click("cmdAcept")}, {true, u"ab", u"vupa"},
     Only::Headless},
    {"loneSurrogatesKept", {type("txtUser", u"\xD800x\xDFFF"), type("txtPassword", u"\xDC00"), click("cmdAcept")},
     {true, u"\xD800x\xDFFF", u"\xDC00"}, Only::Headless},
    {"megabyteUserName", {type("txtUser", kMegabyte), click("cmdAcept")}, {true, kMegabyte, u"vupa"}, Only::Headless},
};
KOR2_TABLE(Ways, Ending, kEndings);

// The boxes are read by their frames' titles, the buttons without their mnemonic mark.
class LoginReaders : public EveryBackend {};
KOR2_ON_EVERY_BACKEND(LoginReaders);

TEST_P(LoginReaders, NameEveryControl)
{
    ui->queue({{"dlgLoging", {click("cmdCancel")}}});
    login::LoginWindow window;
    window.show();
    expectReaderNames(*ui, window.form(),
                      {{"txtUser", u"Nombre Usuario"}, {"txtPassword", u"Contraseña"}, {"cmdCancel", u"Cancelar"}});
}

// Every call opens a new window with its own proposals, whatever the last one was left with.
TEST(Login, SecondCallStartsFromTheProposals)
{
    ScopedHeadless ui({{"dlgLoging", {type("txtUser", u"ana"), type("txtPassword", u"1"), click("cmdAcept")}},
                       {"dlgLoging", {click("cmdAcept")}}});
    cls_Loging login;
    login.ShowDialog();
    EXPECT_EQ(login.User, u"ana");
    login.ShowDialog();
    EXPECT_EQ(login.User, u"vupa");
    EXPECT_EQ(login.Password, u"vupa");
}

} // namespace
