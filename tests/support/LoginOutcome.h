#pragma once
// The login as a host sees it, shared by the headless and the Qt tests of the login dialog.

#include <Kor2_Sys/cls_Loging.h>

#include <gtest/gtest.h>

namespace kor2test {

/// What cls_Loging holds after ShowDialog.
struct LoginOutcome {
    bool accepted;
    Kor2_Sys::Text user, password;
};

/// Shows the dialog over fields that held "antes" and "previa", and expects `expected` afterwards.
inline void expectLogin(const LoginOutcome& expected)
{
    Kor2_Sys::cls_Loging login;
    login.User = u"antes";
    login.Password = u"previa";
    login.ShowDialog();
    EXPECT_EQ(login.Acept, expected.accepted);
    EXPECT_EQ(login.User, expected.user);
    EXPECT_EQ(login.Password, expected.password);
}

} // namespace kor2test
