#pragma once
// f_Imput, the one-line prompt: a text box, Aceptar, Cancelar and an optional Ayuda, resizable,
// with its geometry kept per title under "Input " + title.

#include <Kor2_Sys/Value.h>

#include "platform/Form.h"

namespace Kor2_Sys::prompts {

class InputWindow final : public platform::FormEvents {
public:
    InputWindow();

    /// The typed text on accept, the initial text on cancel, empty if neither button was used.
    Text TextoAceptado;
    /// True after Cancelar, false after Aceptar or when neither was used.
    Boolean Cancelado = false;

    /// Configures the prompt and shows it modally; `informacion` non-empty shows the help button.
    void A_Input(const Text& Texto, const Text& titulo, const Text& informacion = {});
    platform::Form& form() noexcept { return m_form; }

private:
    void onClick(const std::string& control) override;
    void onResize() override;
    Text section() const;
    void finish(bool cancelled);

    platform::Form m_form;
    Text m_initial;
    Text m_help;
};

} // namespace Kor2_Sys::prompts
