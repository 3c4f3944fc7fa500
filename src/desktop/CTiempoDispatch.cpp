#include <Kor2_Sys/CTiempo.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::CTiempo;

constexpr EnumMember kTiempoMembers[] = {{"Milisegundos", 0}, {"Segundos", 1}, {"minutos", 2}};
} // namespace

// The unit of T_TiempoTranscurrido, listed by the class registry too.
extern const EnumInfo enumTiempo;
constexpr EnumInfo enumTiempo{"Tiempo", kTiempoMembers};

namespace {
constexpr ParamInfo kPausa[] = {{"Tiempo", V::Long}};
constexpr ParamInfo kTipo[] = {{"Tipo", V::Long, true, true, 0, &enumTiempo}};
constexpr auto kMembers = makeTable(std::array{
    sub("Pausa", kPausa, on<T>([](T& t, CallArgs& a) { t.Pausa(a.longValue(0)); })),
    sub("T_IniciaReloj", {}, on<T>([](T& t, CallArgs&) { t.T_IniciaReloj(); })),
    sub("T_ParaReloj", {}, on<T>([](T& t, CallArgs&) { t.T_ParaReloj(); })),
    // Any number is a unit here: one outside the enumeration writes the empty text.
    function("T_TiempoTranscurrido", V::Text, kTipo, on<T>([](T& t, CallArgs& a) {
        return t.T_TiempoTranscurrido(static_cast<Tiempo>(a.longValue(0)));
    })),
    function("T_tiempo", V::Long, {}, on<T>([](T& t, CallArgs&) { return t.T_tiempo(); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo CTiempo;
constexpr ClassInfo CTiempo{"CTiempo", Creation::Global, kMembers, &create<T, CTiempo>, &shared<T, CTiempo>};

} // namespace Kor2_Sys::classes
