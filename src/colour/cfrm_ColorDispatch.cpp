#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The colour chooser's creatable front arrives with the chooser window.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

constexpr auto kMembers = makeTable(std::array{
    field("titulo", V::Text),
    field("NumColorPreSeleccVb", V::Text),
    field("PorCapa", V::Boolean),
    field("NumColorPorCapaPreSeleccVb", V::Long),
    field("Expandircolores", V::Boolean),
    field("NumColorElegiVB", V::Long),
    field("NumColorAutocad", V::Long),
    field("NomColorAutocad", V::Text),
    sub("ColorShow", {}),
});
} // namespace

constexpr ClassInfo cfrm_Color{"cfrm_Color", Creation::Creatable, kMembers, &create<Unbuilt, cfrm_Color>, nullptr};

} // namespace Kor2_Sys::classes
