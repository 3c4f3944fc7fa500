#include <Kor2_Sys/CString.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::CString;

// The item array travels as an array of texts with lower bound 0.
std::vector<Text> texts(const Array& array)
{
    std::vector<Text> out;
    out.reserve(array.items.size());
    for (const Variant& item : array.items)
        out.push_back(item.toText());
    return out;
}

Variant textArray(std::vector<Text>&& items)
{
    Array array{ValueType::Text, {}};
    array.items.reserve(items.size());
    for (Text& item : items)
        array.items.emplace_back(std::move(item));
    return array;
}

constexpr ParamInfo kLeeTira1[] = {{"Tira", V::Text}, {"nElementos", V::Long}, {"Elementos", V::Array}};
constexpr ParamInfo kLeeTira[] = {{"Tira", V::Text}, {"Elementos", V::Array}};
constexpr ParamInfo kSp[] = {{"Valor", V::Any}, {"Longitud", V::Integer}};
constexpr ParamInfo kRuta[] = {{"rutayarchivo", V::Text}};
constexpr ParamInfo kValorRef[] = {{"Valor", V::Text}};
constexpr ParamInfo kValorByVal[] = {{"Valor", V::Text, false}};
constexpr ParamInfo kRedondea[] = {{"Numero", V::Double}, {"Decimales", V::Integer}};
constexpr ParamInfo kFM[] = {{"Valor", V::Any}, {"Decimales", V::Integer}, {"Enteros", V::Integer, true, true, 0}};

constexpr auto kMembers = makeTable(std::array{
    field("nElementosLeidos", V::Long, on<T>([](T& s, CallArgs& a) { return a.field(s.nElementosLeidos); })),
    sub("S_Lee_Tira_1", kLeeTira1, on<T>([](T& s, CallArgs& a) {
        auto items = texts(a.array(2));
        const auto before = items;
        s.S_Lee_Tira_1(a.text(0), a.longValue(1), items);
        if (items != before)  // a blank text leaves the caller's array exactly as it was
            a[2] = textArray(std::move(items));
    })),
    sub("S_LeeTira", kLeeTira, on<T>([](T& s, CallArgs& a) {
        auto items = texts(a.array(1));
        s.S_LeeTira(a.text(0), items);
        a[1] = textArray(std::move(items));
    })),
    function("S_Sp", V::Text, kSp, on<T>([](T& s, CallArgs& a) { return s.S_Sp(a[0], a.integer(1)); })),
    function("S_Extrae_Nomb_sin_Ext", V::Text, kRuta,
             on<T>([](T& s, CallArgs& a) { return s.S_Extrae_Nomb_sin_Ext(a.text(0)); })),
    function("S_Extrae_Nombre_de_Ruta", V::Text, kRuta,
             on<T>([](T& s, CallArgs& a) { return s.S_Extrae_Nombre_de_Ruta(a.text(0)); })),
    function("S_Extrae_Ruta_de_Nombre", V::Text, kRuta,
             on<T>([](T& s, CallArgs& a) { return s.S_Extrae_Ruta_de_Nombre(a.text(0)); })),
    function("S_Extrae_Exten_de_NomRut", V::Text, kRuta,
             on<T>([](T& s, CallArgs& a) { return s.S_Extrae_Exten_de_NomRut(a.text(0)); })),
    function("S_CxP", V::Text, kValorRef, on<T>([](T& s, CallArgs& a) { return s.S_CxP(a.text(0)); })),
    function("S_PxC", V::Text, kValorRef, on<T>([](T& s, CallArgs& a) { return s.S_PxC(a.text(0)); })),
    function("S_CofReg_coma", V::Boolean, {}, on<T>([](T& s, CallArgs&) { return s.S_CofReg_coma(); })),
    function("S_Val", V::Double, kValorByVal, on<T>([](T& s, CallArgs& a) { return s.S_Val(a.text(0)); })),
    function("S_Vl", V::Double, kValorByVal, on<T>([](T& s, CallArgs& a) { return s.S_Vl(a.text(0)); })),
    function("S_redondea", V::Double, kRedondea,
             on<T>([](T& s, CallArgs& a) { return s.S_redondea(a.doubleValue(0), a.integer(1)); })),
    function("S_FM", V::Text, kFM,
             on<T>([](T& s, CallArgs& a) { return s.S_FM(a[0], a.integer(1), a.integer(2)); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo CString;
constexpr ClassInfo CString{"CString", Creation::Global, kMembers, &create<T, CString>, &shared<T, CString>};

} // namespace Kor2_Sys::classes
