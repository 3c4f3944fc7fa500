#pragma once
// dlgLoging: a user name and a masked password, each in its frame, with Aceptar and Cancelar.
// Neither button is the window's default or cancel button: Enter presses only a focused button and
// Escape does nothing, so a stray key never sends or drops the credentials.

#include <Kor2_Sys/Value.h>

#include "platform/Form.h"

namespace Kor2_Sys::login {

class LoginWindow final : public platform::FormEvents {
public:
    LoginWindow();

    /// Shows the window modally in the middle of the primary screen; returns once a button hid it
    /// or the close box unloaded it.
    void show();
    /// True when Aceptar ended the window; false when it was created, after Cancelar and after
    /// the close box.
    bool accepted() const noexcept { return m_accepted; }
    /// The texts of the two boxes, as typed.
    const Text& user() const { return m_form.control("txtUser").caption; }
    const Text& password() const { return m_form.control("txtPassword").caption; }
    /// Unloads the window (a close request from code, which it never refuses).
    void unload() { m_form.unload(); }
    platform::Form& form() noexcept { return m_form; }

private:
    void onClick(const std::string& control) override;
    void onCloseRequest(bool fromUser, bool& cancel) override;

    platform::Form m_form;
    bool m_accepted = false;
};

} // namespace Kor2_Sys::login
