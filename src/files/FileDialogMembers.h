#pragma once
// The one interface of the two file dialog fronts, each of which has its own dispatch table.

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {

/// The dispatch table of a file dialog front `T`.
template <class T> constexpr auto fileDialogMembers()
{
    using namespace dispatch;
    using V = ValueType;
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

} // namespace Kor2_Sys::classes
