#include <Kor2_Sys/cfrm_Color.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::cfrm_Color;

constexpr auto kMembers = makeTable(std::array{
    field("titulo", V::Text, on<T>([](T& c, CallArgs& a) { return a.field(c.titulo); })),
    field("NumColorPreSeleccVb", V::Text, on<T>([](T& c, CallArgs& a) { return a.field(c.NumColorPreSeleccVb); })),
    field("PorCapa", V::Boolean, on<T>([](T& c, CallArgs& a) { return a.field(c.PorCapa); })),
    field("NumColorPorCapaPreSeleccVb", V::Long,
          on<T>([](T& c, CallArgs& a) { return a.field(c.NumColorPorCapaPreSeleccVb); })),
    field("Expandircolores", V::Boolean, on<T>([](T& c, CallArgs& a) { return a.field(c.Expandircolores); })),
    field("NumColorElegiVB", V::Long, on<T>([](T& c, CallArgs& a) { return a.field(c.NumColorElegiVB); })),
    field("NumColorAutocad", V::Long, on<T>([](T& c, CallArgs& a) { return a.field(c.NumColorAutocad); })),
    field("NomColorAutocad", V::Text, on<T>([](T& c, CallArgs& a) { return a.field(c.NomColorAutocad); })),
    sub("ColorShow", {}, on<T>([](T& c, CallArgs&) { c.ColorShow(); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo cfrm_Color;
constexpr ClassInfo cfrm_Color{"cfrm_Color", Creation::Creatable, kMembers, &create<T, cfrm_Color>, nullptr};

} // namespace Kor2_Sys::classes
