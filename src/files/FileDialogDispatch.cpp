#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The two file dialog fronts share one interface; they arrive with the file chooser window.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

constexpr auto kMembers = makeTable(std::array{
    field("Aplicac", V::Text),
    field("titulo", V::Text),
    field("FiltroNombre", V::Text),
    field("FiltroIndex", V::Integer),
    field("Nonbredefecto", V::Text),
    function("Fich_NonbreRuta_a_Leer", V::Text, {}),
    function("Fich_NonbreRuta_a_Grabar", V::Text, {}),
});
} // namespace

constexpr ClassInfo CCmDialog{"CCmDialog", Creation::Creatable, kMembers, &create<Unbuilt, CCmDialog>, nullptr};
constexpr ClassInfo cfrm_Dialog{"cfrm_Dialog", Creation::Creatable, kMembers, &create<Unbuilt, cfrm_Dialog>, nullptr};

} // namespace Kor2_Sys::classes
