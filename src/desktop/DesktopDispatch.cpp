#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The desktop utilities work on the host's own windows; they arrive with the host-object adapters.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

constexpr ParamInfo kProgreso[] = {{"Form1", V::Object}, {"ProgressBar1", V::Object}, {"StatusBar1", V::Object},
                                   {"Panel", V::Integer}, {"bShowProgressBar", V::Boolean, false, true, 0}};
constexpr ParamInfo kShowProgress[] = {{"Form1", V::Object}, {"ProgressBar1", V::Object}, {"StatusBar1", V::Object},
                                       {"Panel", V::Integer}};
constexpr auto kStatusBar = makeTable(std::array{
    sub("Progreso", kProgreso),
    sub("ShowProgressInStatusBar", kShowProgress),
});

constexpr EnumMember kTiempoMembers[] = {{"Milisegundos", 0}, {"Segundos", 1}, {"minutos", 2}};
} // namespace

constexpr EnumInfo enumTiempo{"Tiempo", kTiempoMembers};

namespace {
constexpr ParamInfo kPausa[] = {{"Tiempo", V::Long}};
constexpr ParamInfo kTipo[] = {{"Tipo", V::Long, true, true, 0, &enumTiempo}};
constexpr auto kTiempo = makeTable(std::array{
    sub("Pausa", kPausa),
    sub("T_IniciaReloj", {}),
    sub("T_ParaReloj", {}),
    function("T_TiempoTranscurrido", V::Text, kTipo),
    function("T_tiempo", V::Long, {}),
});

constexpr ParamInfo kIconos[] = {{"nMenu", V::Integer}, {"nSubmenu", V::Integer}, {"Icono", V::Object}, {"Formulario", V::Object}};
constexpr ParamInfo kHwnd[] = {{"lnghWnd", V::Long}};
constexpr auto kIconosMenu = makeTable(std::array{
    sub("I_insertar_iconos_en_menu", kIconos),
    sub("I_inserta_espacio_despues_icono", kHwnd),
});

constexpr ParamInfo kObjFrom[] = {{"objFrom", V::Object}};
constexpr auto kImagen = makeTable(std::array{
    function("I__CopyPictureToClipboard", V::Boolean, kObjFrom),
});

constexpr ParamInfo kSeleccionar[] = {{"Button", V::Integer}, {"Control", V::Object}};
constexpr ParamInfo kMover[] = {{"Button", V::Integer}, {"Shift", V::Integer}, {"Control", V::Object}};
constexpr auto kMoverControl = makeTable(std::array{
    sub("Mueve_CtrlSeleccionar", kSeleccionar),
    sub("Mueve_CtrlMover", kMover),
});
} // namespace

constexpr ClassInfo c_StatusBar{"c_StatusBar", Creation::Creatable, kStatusBar, &create<Unbuilt, c_StatusBar>, nullptr};
constexpr ClassInfo CTiempo{"CTiempo", Creation::Global, kTiempo, &create<Unbuilt, CTiempo>, &shared<Unbuilt, CTiempo>};
constexpr ClassInfo CIconosMenu{"CIconosMenu", Creation::Global, kIconosMenu, &create<Unbuilt, CIconosMenu>,
                                &shared<Unbuilt, CIconosMenu>};
constexpr ClassInfo cImagen{"cImagen", Creation::Global, kImagen, &create<Unbuilt, cImagen>, &shared<Unbuilt, cImagen>};
constexpr ClassInfo cMoverControl{"cMoverControl", Creation::Global, kMoverControl, &create<Unbuilt, cMoverControl>,
                                  &shared<Unbuilt, cMoverControl>};

} // namespace Kor2_Sys::classes
