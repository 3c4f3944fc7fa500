#include <Kor2_Sys/CCmDialog.h>
#include <Kor2_Sys/cfrm_Dialog.h>

#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The two file dialog fronts share one interface.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

template <class T> constexpr auto members()
{
    return makeTable(std::array{
        field("Aplicac", V::Text, on<T>([](T& d, CallArgs& a) { return a.field(d.Aplicac); })),
        field("titulo", V::Text, on<T>([](T& d, CallArgs& a) { return a.field(d.titulo); })),
        field("FiltroNombre", V::Text, on<T>([](T& d, CallArgs& a) { return a.field(d.FiltroNombre); })),
        field("FiltroIndex", V::Integer, on<T>([](T& d, CallArgs& a) { return a.field(d.FiltroIndex); })),
        field("Nonbredefecto", V::Text, on<T>([](T& d, CallArgs& a) { return a.field(d.Nonbredefecto); })),
        function("Fich_NonbreRuta_a_Leer", V::Text, {}, on<T>([](T& d, CallArgs&) { return d.Fich_NonbreRuta_a_Leer(); })),
        function("Fich_NonbreRuta_a_Grabar", V::Text, {}, on<T>([](T& d, CallArgs&) { return d.Fich_NonbreRuta_a_Grabar(); })),
    });
}

constexpr auto kCmDialog = members<Kor2_Sys::CCmDialog>();
constexpr auto kFrmDialog = members<Kor2_Sys::cfrm_Dialog>();
} // namespace

constexpr ClassInfo CCmDialog{"CCmDialog", Creation::Creatable, kCmDialog, &create<Kor2_Sys::CCmDialog, CCmDialog>, nullptr};
constexpr ClassInfo cfrm_Dialog{"cfrm_Dialog", Creation::Creatable, kFrmDialog, &create<Kor2_Sys::cfrm_Dialog, cfrm_Dialog>,
                                nullptr};

} // namespace Kor2_Sys::classes
