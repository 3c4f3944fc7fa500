#include "login/LoginWindow.h"

#include "platform/WindowSystem.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace Kor2_Sys::login {
namespace {

using platform::ControlKind;

constexpr double kInnerWidth = 3090, kInnerHeight = 2265;
// A fixed dialog's borders and caption bar, in twips at the design resolution.
constexpr double kFrameWidth = 90, kFrameHeight = 405;
constexpr std::u16string_view kProposed = u"vupa";

// The focus goes Aceptar, Cancelar, user, password; the frames keep their places in that order
// (2 and 4) but never take the focus.
constexpr std::array<platform::ControlRow, 6> kControls = {{
    {"Frame1", ControlKind::Frame, "", 60, 120, 2835, 615, u"Nombre Usuario", -1},
    {"txtUser", ControlKind::TextBox, "Frame1", 60, 240, 2715, 315, kProposed, 3},
    {"Frame2", ControlKind::Frame, "", 120, 840, 2775, 615, u"Contraseña", -1},
    {"txtPassword", ControlKind::TextBox, "Frame2", 60, 240, 2655, 315, kProposed, 5},
    {"cmdAcept", ControlKind::Button, "", 600, 1620, 1035, 375, u"Aceptar", 0},
    {"cmdCancel", ControlKind::Button, "", 1860, 1620, 1035, 375, u"&Cancelar", 1},
}};

} // namespace

LoginWindow::LoginWindow() : m_form("dlgLoging", *this)
{
    m_form.setCaption(u"Contraseña:");
    m_form.setFrameSize(kFrameWidth, kFrameHeight);
    m_form.resize(kInnerWidth + kFrameWidth, kInnerHeight + kFrameHeight);
    for (const platform::ControlRow& row : kControls) {
        platform::Control c = platform::makeControl(row);
        c.bold = row.kind == ControlKind::Frame;
        m_form.add(std::move(c));
    }
    m_form.update("txtUser", [](platform::Control& c) { c.labelledBy = "Frame1"; });
    m_form.update("txtPassword", [](platform::Control& c) {
        c.passwordChar = u'*';
        c.labelledBy = "Frame2";
    });
}

void LoginWindow::show()
{
    auto& windows = platform::windowSystem();
    if (const auto screens = windows.screens(); !screens.empty()) {
        const platform::ScreenArea& primary = screens.front();
        m_form.move(primary.left + std::max(0.0, (primary.width - m_form.width()) / 2),
                    primary.top + std::max(0.0, (primary.height - m_form.height()) / 2));
    }
    windows.showModal(m_form);
}

// The window hides before the flag is set and lets the hiding reach the screen first, so that the
// host's next window never opens over a dialog still on its way out.
void LoginWindow::onClick(const std::string& control)
{
    if (control != "cmdAcept" && control != "cmdCancel")
        return;
    m_form.hide();
    platform::windowSystem().doEvents();
    m_accepted = control == "cmdAcept";
}

// The close box is Cancelar; any other close (from code, the host, the system) just unloads.
void LoginWindow::onCloseRequest(bool fromUser, bool&)
{
    if (fromUser)
        onClick("cmdCancel");
}

} // namespace Kor2_Sys::login
