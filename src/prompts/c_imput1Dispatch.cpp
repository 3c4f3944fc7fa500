#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The prompts arrive with the input and message windows.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

constexpr ParamInfo kTexto[] = {{"Texto", V::Text}};
constexpr ParamInfo kTextoTitulo[] = {{"Texto", V::Text}, {"titulo", V::Text}};
constexpr ParamInfo kTextoTituloInf[] = {{"Texto", V::Text}, {"titulo", V::Text}, {"Informac", V::Text}};
constexpr ParamInfo kNumeroF[] = {{"Valor", V::Double, false}, {"titulo", V::Text}, {"Decimales", V::Integer, true, true, 0}};
constexpr ParamInfo kNumero[] = {{"Valor", V::Double, false}, {"titulo", V::Text}};
constexpr ParamInfo kMensaje[] = {{"Mensaje", V::Text}, {"titulo", V::Text}};

constexpr auto kMembers = makeTable(std::array{
    function("Imput1", V::Text, kTexto),
    function("A_Imput", V::Text, kTextoTitulo),
    function("A_Imput_Inf", V::Text, kTextoTituloInf),
    function("A_Imput_Numero_R_F", V::Double, kNumeroF),
    function("A_Imput_Numero_R", V::Double, kNumero),
    sub("A_Mensaje", kMensaje),
});
} // namespace

constexpr ClassInfo c_imput1{"c_imput1", Creation::Global, kMembers, &create<Unbuilt, c_imput1>, &shared<Unbuilt, c_imput1>};

} // namespace Kor2_Sys::classes
