#pragma once
// F_mensajes, the window for long messages: a scrollable fixed-pitch text, Aceptar, and a button
// that copies the whole text to the clipboard; geometry kept per title under "Mensaje: " + title.

#include <Kor2_Sys/Value.h>

#include "platform/Form.h"

namespace Kor2_Sys::prompts {

class MessageWindow final : public platform::FormEvents {
public:
    MessageWindow();
    ~MessageWindow() override;
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    /// Fills the window and shows it modally; returns once it is closed (by any means).
    void A_Mensaje(const Text& Mensaje, const Text& titulo);
    platform::Form& form() noexcept { return m_form; }

private:
    void onClick(const std::string& control) override;
    void onResize() override;
    void onUnload() override;

    platform::Form m_form;
};

} // namespace Kor2_Sys::prompts
