#pragma once
/// \file c_imput1.h
/// Prompts for a text or a number, and long messages, in the library's own windows. A global class.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// Text and number prompts and long messages.
class KOR2_SYS_EXPORT c_imput1 {
public:
    /// What the numeric prompts return when the user cancels.
    static constexpr Double kCancelado = -0.0007;

    /// Returns the empty text at once; shows nothing.
    Text Imput1(const Text& Texto);
    /// Asks for a text, `Texto` proposed; the empty text when the user cancels or closes the window.
    Text A_Imput(const Text& Texto, const Text& titulo);
    /// As `A_Imput`, with a help button showing `Informac` when it is not empty.
    Text A_Imput_Inf(const Text& Texto, const Text& titulo, const Text& Informac);
    /// Asks for a number shown with `Decimales` fixed decimals and a point (its regional text when
    /// `Decimales` is 0); reads a comma or a point back. `kCancelado` on cancel; 0 for an empty or
    /// unreadable text and when the window is closed without a button.
    Double A_Imput_Numero_R_F(Double Valor, const Text& titulo, const Integer& Decimales = 0);
    /// Asks for a number shown with a point as its decimal separator.
    Double A_Imput_Numero_R(Double Valor, const Text& titulo);
    /// Shows a long text in the message window (copiable to the clipboard) until it is closed.
    void A_Mensaje(const Text& Mensaje, const Text& titulo);
};

/// The shared instance that free calls use: `global<c_imput1>().Member(...)`.
template <> KOR2_SYS_EXPORT c_imput1& global<c_imput1>();

} // namespace Kor2_Sys
