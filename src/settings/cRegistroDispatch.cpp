#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The settings values and window geometry arrive with the settings store.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

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
    sub("R_Grabar_un_dato_en_Win", kGrabar),
    function("R_Lee_un_dato_en_Win", V::Any, kLeer),
    sub("R_Lee_tamaño_y_pos_Obj_en_Win", kGeometriaValor),
    sub("R_Lee_tamaño_y_pos_Obj_en_Win1", kGeometriaRef),
    sub("R_Lee_tamaño_y_pos_Obj_en_Win_O", kVentana),
    sub("R_Graba_tamaño_y_pos_Obj_en_Win", kVentana),
    sub("R_Lee_Pos_Form", kVentana),
    sub("R_Graba_Pos_Form", kVentana),
});
} // namespace

constexpr ClassInfo cRegistro{"cRegistro", Creation::Global, kMembers, &create<Unbuilt, cRegistro>, &shared<Unbuilt, cRegistro>};

} // namespace Kor2_Sys::classes
