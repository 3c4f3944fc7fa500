#include <Kor2_Sys/cRegistro.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::cRegistro;

constexpr ParamInfo kGrabar[] = {{"Aplicacion", V::Text}, {"Seccion", V::Text}, {"SubSeccion", V::Text}, {"Valor", V::Any}};
constexpr ParamInfo kLeer[] = {{"Aplicacion", V::Text}, {"Seccion", V::Text}, {"SubSeccion", V::Text}, {"Pordefecto", V::Any}};
constexpr ParamInfo kGeometriaValor[] = {{"Formulario", V::Object, false}, {"Aplicacion", V::Text}, {"Seccion", V::Text},
                                         {"defec_Top", V::Integer}, {"defec_Lef", V::Integer},
                                         {"defec_Width", V::Integer}, {"defec_Heigth", V::Integer}};
constexpr ParamInfo kGeometriaRef[] = {{"Formulario", V::Object}, {"Aplicacion", V::Text}, {"Seccion", V::Text},
                                       {"defec_Top", V::Integer}, {"defec_Lef", V::Integer},
                                       {"defec_Width", V::Integer}, {"defec_Heigth", V::Integer}};
constexpr ParamInfo kVentana[] = {{"Formulario", V::Object}, {"Aplicacion", V::Text}, {"Seccion", V::Text}};

constexpr auto kMembers = makeTable(std::array{
    sub("R_Grabar_un_dato_en_Win", kGrabar, on<T>([](T& r, CallArgs& a) {
        r.R_Grabar_un_dato_en_Win(a.text(0), a.text(1), a.text(2), a[3]);
    })),
    function("R_Lee_un_dato_en_Win", V::Any, kLeer, on<T>([](T& r, CallArgs& a) {
        return r.R_Lee_un_dato_en_Win(a.text(0), a.text(1), a.text(2), a[3]);
    })),
    sub("R_Lee_tamaño_y_pos_Obj_en_Win", kGeometriaValor, on<T>([](T& r, CallArgs& a) {
        r.R_Lee_tamaño_y_pos_Obj_en_Win(a[0].toObject(), a.text(1), a.text(2), a.integer(3), a.integer(4),
                                         a.integer(5), a.integer(6));
    })),
    sub("R_Lee_tamaño_y_pos_Obj_en_Win1", kGeometriaRef, on<T>([](T& r, CallArgs& a) {
        r.R_Lee_tamaño_y_pos_Obj_en_Win1(a[0].toObject(), a.text(1), a.text(2), a.integer(3), a.integer(4),
                                          a.integer(5), a.integer(6));
    })),
    sub("R_Lee_tamaño_y_pos_Obj_en_Win_O", kVentana, on<T>([](T& r, CallArgs& a) {
        r.R_Lee_tamaño_y_pos_Obj_en_Win_O(a[0].toObject(), a.text(1), a.text(2));
    })),
    sub("R_Graba_tamaño_y_pos_Obj_en_Win", kVentana, on<T>([](T& r, CallArgs& a) {
        r.R_Graba_tamaño_y_pos_Obj_en_Win(a[0].toObject(), a.text(1), a.text(2));
    })),
    sub("R_Lee_Pos_Form", kVentana,
        on<T>([](T& r, CallArgs& a) { r.R_Lee_Pos_Form(a[0].toObject(), a.text(1), a.text(2)); })),
    sub("R_Graba_Pos_Form", kVentana,
        on<T>([](T& r, CallArgs& a) { r.R_Graba_Pos_Form(a[0].toObject(), a.text(1), a.text(2)); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo cRegistro;
constexpr ClassInfo cRegistro{"cRegistro", Creation::Global, kMembers, &create<T, cRegistro>, &shared<T, cRegistro>};

} // namespace Kor2_Sys::classes
