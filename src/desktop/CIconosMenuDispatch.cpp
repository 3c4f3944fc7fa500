#include <Kor2_Sys/CIconosMenu.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::CIconosMenu;

constexpr ParamInfo kIconos[] = {{"nMenu", V::Integer}, {"nSubmenu", V::Integer}, {"Icono", V::Object}, {"Formulario", V::Object}};
constexpr ParamInfo kHwnd[] = {{"lnghWnd", V::Long}};
constexpr auto kMembers = makeTable(std::array{
    sub("I_insertar_iconos_en_menu", kIconos,
        on<T>([](T& m, CallArgs& a) { m.I_insertar_iconos_en_menu(a.integer(0), a.integer(1), a[2], a[3]); })),
    sub("I_inserta_espacio_despues_icono", kHwnd,
        on<T>([](T& m, CallArgs& a) { m.I_inserta_espacio_despues_icono(a.longValue(0)); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo CIconosMenu;
constexpr ClassInfo CIconosMenu{"CIconosMenu", Creation::Global, kMembers, &create<T, CIconosMenu>,
                                &shared<T, CIconosMenu>};

} // namespace Kor2_Sys::classes
