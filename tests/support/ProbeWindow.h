#pragma once
// The one event recorder: a small window with every kind of control the library's windows use,
// whose logic writes down each event in the order a window system delivered it.

#include "frame/Utf.h"
#include "platform/Form.h"
#include "platform/WindowSystem.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kor2test {

using Log = std::vector<std::string>;

class ProbeWindow final : public Kor2_Sys::platform::FormEvents {
public:
    /// Without `standardControls` the window is empty, for a test to add its own.
    explicit ProbeWindow(std::string name = "F_prueba", bool standardControls = true) : form(std::move(name), *this)
    {
        using Kor2_Sys::platform::ControlKind;
        if (!standardControls) {
            form.resize(6000, 4000);
            log.clear();
            return;
        }
        add("TX_valor", ControlKind::TextBox, u"", 100, 100, 2000, 300, 0);
        add("BT_aceptar", ControlKind::Button, u"Aceptar", 100, 500, 1000, 350, 1);
        add("BT_cancelar", ControlKind::Button, u"Cancelar", 1200, 500, 1000, 350, 2);
        add("BT_preguntar", ControlKind::Button, u"?", 2300, 500, 600, 350);
        auto& picture = add("Pc", ControlKind::Picture, u"", 100, 1000, 2000, 400);
        picture.scaleWidth = 100;
        picture.scaleHeight = 50;
        add("Fr", ControlKind::Frame, u"Marco", 100, 1500, 2500, 800).visible = false;
        add("TX_marco", ControlKind::TextBox, u"", 100, 300, 2000, 300, 3).container = "Fr";
        auto& notes = add("TX_notas", ControlKind::TextBox, u"", 2200, 300, 1500, 450, 4);
        notes.container = "Fr";
        notes.multiline = true;
        form.setDefaultButton("BT_aceptar");
        form.setCancelButton("BT_cancelar");
        form.setResizable(true);
        form.resize(4000, 3000);
    }

    void onClick(const std::string& c) override
    {
        note("click " + c);
        if (c == "BT_aceptar" || c == "BT_cancelar") {
            accepted = c == "BT_aceptar";
            form.hide();
        } else if (c == "BT_preguntar") {
            using namespace Kor2_Sys::platform;
            const auto answer = windowSystem().messageBox({u"¿Seguro?", MessageButtons::OkCancel, MessageIcon::Warning, u"Pregunta"});
            note(answer == MessageAnswer::Ok ? "answer ok" : "answer cancel");
        }
    }
    void onDoubleClick(const std::string& c) override { note("dblclick " + c); }
    void onMouseDown(const std::string& c, int button, int shift, double x, double y) override
    {
        lastDown = {button, shift, x, y};
        note("mousedown " + c + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
                      std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    }
    void onChange(const std::string& c) override { note("change " + Kor2_Sys::utf::toUtf8(form.control(c).caption)); }
    /// Letters come back in upper case; an x is swallowed.
    void onKeyPress(const std::string&, int& key) override
    {
        note("key " + std::to_string(key));
        if (key == 'x')
            key = 0;
        else if (key >= 'a' && key <= 'z')
            key -= 32;
    }
    /// A new outer size; a window system that lays the window out again inside the same outer size
    /// (its real frame is not the design one) says nothing new.
    void onResize() override
    {
        const std::string size = std::to_string(static_cast<long>(form.width())) + "x" +
                                 std::to_string(static_cast<long>(form.height()));
        if (size != m_size)
            note("resize " + size);
        m_size = size;
    }
    void onCloseRequest(bool fromUser, bool& cancel) override
    {
        note(fromUser ? "close user" : "close code");
        if (fromUser && refuseUserClose) {
            cancel = true;
            form.hide();
        }
    }
    void onUnload() override { note("unload"); }

    /// Adds a control of `kind` at a place in twips, with its caption and tab place.
    Kor2_Sys::platform::Control& add(std::string_view name, Kor2_Sys::platform::ControlKind kind, std::u16string_view caption,
                                     double left, double top, double width, double height, int tabIndex = -1)
    {
        return form.add(Kor2_Sys::platform::makeControl(name, kind, caption, left, top, width, height, tabIndex));
    }

    Kor2_Sys::platform::Form form;
    Log log;
    /// What the window's logic does besides, after writing an event down.
    std::function<void(const std::string& event)> then;
    struct Down {
        int button = 0, shift = 0;
        double x = 0, y = 0;
    } lastDown;  ///< the last mouse down, exactly
    bool accepted = false;
    bool refuseUserClose = false;

private:
    void note(std::string event)
    {
        log.push_back(event);
        if (then)
            then(event);
    }

    std::string m_size = "4000x3000";
};

} // namespace kor2test
