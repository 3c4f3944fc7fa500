#include <Kor2_Sys/c_imput1.h>

#include "frame/NumberFunctions.h"
#include "prompts/InputWindow.h"
#include "prompts/MessageWindow.h"

namespace Kor2_Sys {
namespace {

Text prompt(const Text& texto, const Text& titulo, const Text& ayuda)
{
    prompts::InputWindow window;
    window.A_Input(texto, titulo, ayuda);
    return window.Cancelado ? Text() : window.TextoAceptado;
}

Double numberPrompt(const Text& shown, const Text& titulo)
{
    prompts::InputWindow window;
    window.A_Input(shown, titulo);
    if (window.Cancelado)
        return c_imput1::kCancelado;
    return mfunc::ValorTexto(window.TextoAceptado.empty() ? Text(u"0") : window.TextoAceptado);
}

} // namespace

Text c_imput1::Imput1(const Text&) { return {}; }

Text c_imput1::A_Imput(const Text& Texto, const Text& titulo) { return prompt(Texto, titulo, {}); }

Text c_imput1::A_Imput_Inf(const Text& Texto, const Text& titulo, const Text& Informac)
{
    return prompt(Texto, titulo, Informac);
}

Double c_imput1::A_Imput_Numero_R_F(Double Valor, const Text& titulo, const Integer& Decimales)
{
    return numberPrompt(mfunc::FormatoFijo(Valor, Decimales, 0), titulo);
}

Double c_imput1::A_Imput_Numero_R(Double Valor, const Text& titulo)
{
    Text shown = Variant(Valor).toText();
    if (const auto comma = shown.find(u','); comma != Text::npos)
        shown[comma] = u'.';
    return numberPrompt(shown, titulo);
}

void c_imput1::A_Mensaje(const Text& Mensaje, const Text& titulo)
{
    prompts::MessageWindow window;
    window.A_Mensaje(Mensaje, titulo);
}

template <> c_imput1& global<c_imput1>()
{
    static c_imput1 instance;
    return instance;
}

} // namespace Kor2_Sys
