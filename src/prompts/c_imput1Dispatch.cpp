#include <Kor2_Sys/c_imput1.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::c_imput1;

constexpr ParamInfo kTexto[] = {{"Texto", V::Text}};
constexpr ParamInfo kTextoTitulo[] = {{"Texto", V::Text}, {"titulo", V::Text}};
constexpr ParamInfo kTextoTituloInf[] = {{"Texto", V::Text}, {"titulo", V::Text}, {"Informac", V::Text}};
constexpr ParamInfo kNumeroF[] = {{"Valor", V::Double, false}, {"titulo", V::Text}, {"Decimales", V::Integer, true, true, 0}};
constexpr ParamInfo kNumero[] = {{"Valor", V::Double, false}, {"titulo", V::Text}};
constexpr ParamInfo kMensaje[] = {{"Mensaje", V::Text}, {"titulo", V::Text}};

constexpr auto kMembers = makeTable(std::array{
    function("Imput1", V::Text, kTexto, on<T>([](T& p, CallArgs& a) { return p.Imput1(a.text(0)); })),
    function("A_Imput", V::Text, kTextoTitulo, on<T>([](T& p, CallArgs& a) { return p.A_Imput(a.text(0), a.text(1)); })),
    function("A_Imput_Inf", V::Text, kTextoTituloInf,
             on<T>([](T& p, CallArgs& a) { return p.A_Imput_Inf(a.text(0), a.text(1), a.text(2)); })),
    function("A_Imput_Numero_R_F", V::Double, kNumeroF, on<T>([](T& p, CallArgs& a) {
        return p.A_Imput_Numero_R_F(a.doubleValue(0), a.text(1), a.integer(2));
    })),
    function("A_Imput_Numero_R", V::Double, kNumero,
             on<T>([](T& p, CallArgs& a) { return p.A_Imput_Numero_R(a.doubleValue(0), a.text(1)); })),
    sub("A_Mensaje", kMensaje, on<T>([](T& p, CallArgs& a) { p.A_Mensaje(a.text(0), a.text(1)); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo c_imput1;
constexpr ClassInfo c_imput1{"c_imput1", Creation::Global, kMembers, &create<T, c_imput1>, &shared<T, c_imput1>};

} // namespace Kor2_Sys::classes
