#include "prompts/InputWindow.h"

#include "platform/WindowSystem.h"
#include "prompts/WindowGeometry.h"

#include <algorithm>

namespace Kor2_Sys::prompts {
namespace {

using platform::Control;
using platform::ControlKind;

// A sizeable window's borders and caption bar, in twips at the design resolution.
constexpr double kFrameWidth = 120, kFrameHeight = 450;
constexpr GeometryDefaults kDefaults = {5000, 5000, 4300, 1100};

} // namespace

InputWindow::InputWindow() : m_form("f_Imput", *this)
{
    m_form.setResizable(true);
    m_form.setFrameSize(kFrameWidth, kFrameHeight);
    m_form.add(platform::makeControl("TxtInput", ControlKind::TextBox, u"", 0, 0, 4605, 315, 0));
    m_form.add(platform::makeControl("cmdCancel", ControlKind::Button, u"Cancelar", 2550, 810, 1020, 345, 1));
    m_form.add(platform::makeControl("cmdAceptar", ControlKind::Button, u"Aceptar", 3630, 810, 1050, 345, 2));
    m_form.add(platform::makeControl("cmdAyuda", ControlKind::Button, u"Ayuda", 1350, 810, 1095, 345, 3));
    m_form.setVisible("cmdAyuda", false);
    m_form.setDefaultButton("cmdAceptar");
    m_form.setCancelButton("cmdCancel");
    m_form.resize(4725 + kFrameWidth, 1215 + kFrameHeight);
}

Text InputWindow::section() const
{
    return u"Input " + m_form.caption();
}

void InputWindow::A_Input(const Text& Texto, const Text& titulo, const Text& informacion)
{
    if (!informacion.empty()) {
        m_form.setVisible("cmdAyuda", true);
        m_help = informacion;
    }
    m_form.setText("TxtInput", Texto);
    m_form.setCaption(titulo);
    m_initial = Texto;
    m_form.update("TxtInput", [&](Control& c) {
        c.selStart = 0;
        c.selLength = static_cast<Long>(Texto.size());
        // The title is the question the box answers; a prompt without one still says what it is.
        c.accessibleName = titulo.empty() ? Text(u"Texto") : titulo;
        c.accessibleDescription = informacion;
    });
    loadGeometry(m_form, section(), kDefaults);
    platform::windowSystem().showModal(m_form);
}

void InputWindow::finish(bool cancelled)
{
    TextoAceptado = cancelled ? m_initial : m_form.control("TxtInput").caption;
    Cancelado = cancelled;
    saveGeometry(m_form, section());
    m_form.hide();
}

void InputWindow::onClick(const std::string& control)
{
    if (control == "cmdAceptar") {
        finish(false);
    } else if (control == "cmdCancel") {
        finish(true);
    } else if (control == "cmdAyuda" && m_form.control("cmdAyuda").visible) {
        platform::windowSystem().messageBox(
            {m_help, platform::MessageButtons::Ok, platform::MessageIcon::Information, m_form.caption()});
    }
}

// The text box fills the window; the buttons stand in one row along the bottom, right-aligned,
// all placed with the accept button's width. A window too small for them gets no negative size.
void InputWindow::onResize()
{
    if (!m_form.has("cmdAceptar"))
        return;
    const double w = m_form.innerWidth(), h = m_form.innerHeight();
    const Control& accept = m_form.control("cmdAceptar");
    const double bw = accept.width, bh = accept.height;
    const double buttonsTop = h - 1.05 * bh;
    m_form.update("TxtInput", [&](Control& c) {
        c.width = std::max(0.0, w - c.left);
        c.height = std::max(0.0, h - c.top - 1.15 * bh);
    });
    m_form.update("cmdAceptar", [&](Control& c) {
        c.top = buttonsTop;
        c.left = w - 1.05 * bw;
    });
    m_form.update("cmdCancel", [&](Control& c) {
        c.top = buttonsTop;
        c.left = w - 2 * 1.05 * bw;
    });
    m_form.update("cmdAyuda", [&](Control& c) {
        c.top = buttonsTop;
        c.left = w - 3 * 1.05 * bw - 70;
    });
}

} // namespace Kor2_Sys::prompts
