#include "prompts/MessageWindow.h"

#include "frame/Trap.h"
#include "platform/WindowSystem.h"
#include "prompts/WindowGeometry.h"

#include <algorithm>

namespace Kor2_Sys::prompts {
namespace {

using platform::Control;
using platform::ControlKind;
using platform::DisplayItem;

constexpr double kFrameWidth = 120, kFrameHeight = 450;
constexpr GeometryDefaults kDefaults = {1000, 1000, 6000, 2800};

// The copy button's picture: a clipboard with a sheet on it, in the button's 375 x 375 scale.
std::vector<DisplayItem> clipboardPicture()
{
    using K = DisplayItem::Kind;
    return {{K::FilledRect, 75, 60, 300, 330, 0x2A6AA0, {}},   // board
            {K::FilledRect, 135, 30, 240, 90, 0x404040, {}},   // clip
            {K::FilledRect, 120, 120, 255, 300, 0xFFFFFF, {}}, // sheet
            {K::Line, 150, 165, 225, 165, 0x808080, {}},
            {K::Line, 150, 210, 225, 210, 0x808080, {}},
            {K::Line, 150, 255, 225, 255, 0x808080, {}}};
}

Text section(const platform::Form& form)
{
    return u"Mensaje: " + form.caption();
}

} // namespace

MessageWindow::MessageWindow() : m_form("F_mensajes", *this)
{
    m_form.setResizable(true);
    m_form.setFrameSize(kFrameWidth, kFrameHeight);
    m_form.setCaption(u"Mensaje:");
    m_form.setIcon("dialog-information");
    Control text = platform::makeControl("TxtMensaje", ControlKind::TextBox, u"", 60, 0, 4635, 3015, 1);
    text.multiline = text.fixedPitch = true;
    Control copy = platform::makeControl("cmdcopy", ControlKind::Button, u"", 60, 3480, 375, 375, 2);
    copy.toolTip = copy.accessibleDescription = u"Copia todo al portapapeles";
    copy.accessibleName = u"Copiar";
    copy.scaleWidth = copy.scaleHeight = 375;
    copy.picture = clipboardPicture();
    m_form.add(platform::makeControl("cmdAceptar", ControlKind::Button, u"Aceptar", 3420, 3240, 1245, 405, 0));
    m_form.add(std::move(text));
    m_form.add(std::move(copy));
    m_form.setCancelButton("cmdAceptar");
    m_form.resize(4890 + kFrameWidth, 3930 + kFrameHeight);
}

MessageWindow::~MessageWindow()
{
    trap::silent("F_mensajes.Unload", [&] { m_form.unload(); });
}

void MessageWindow::A_Mensaje(const Text& Mensaje, const Text& titulo)
{
    m_form.setText("TxtMensaje", Mensaje);
    m_form.setCaption(titulo);
    m_form.update("TxtMensaje", [&](Control& c) {
        c.left = c.top = 0;
        c.accessibleName = titulo.empty() ? Text(u"Mensaje") : titulo;
    });
    loadGeometry(m_form, section(m_form), kDefaults);
    platform::windowSystem().showModal(m_form);
}

void MessageWindow::onClick(const std::string& control)
{
    if (control == "cmdAceptar") {
        m_form.unload();
    } else if (control == "cmdcopy") {
        auto& ws = platform::windowSystem();
        ws.clipboardClear();
        ws.clipboardSetText(m_form.control("TxtMensaje").caption);
    }
}

void MessageWindow::onResize()
{
    if (!m_form.has("cmdAceptar"))
        return;
    const double w = m_form.innerWidth(), h = m_form.innerHeight();
    const Control& accept = m_form.control("cmdAceptar");
    const double bw = accept.width, bh = accept.height;
    m_form.update("TxtMensaje", [&](Control& c) {
        c.width = std::max(0.0, w - c.left);
        c.height = std::max(0.0, h - c.top - 1.15 * bh);
    });
    m_form.update("cmdAceptar", [&](Control& c) {
        c.top = h - 1.05 * bh;
        c.left = w - 1.1 * bw;
    });
    m_form.update("cmdcopy", [&](Control& c) {
        c.left = 20;
        c.top = h - 1.05 * bh;
    });
}

// However the window closes, it remembers where it was.
void MessageWindow::onUnload()
{
    saveGeometry(m_form, section(m_form));
    m_form.hide();
}

} // namespace Kor2_Sys::prompts
