#include <Kor2_Sys/CIconosMenu.h>
#include <Kor2_Sys/CTiempo.h>
#include <Kor2_Sys/cImagen.h>
#include <Kor2_Sys/cMoverControl.h>
#include <Kor2_Sys/c_StatusBar.h>

#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The desktop utilities work on the host's own windows.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using StatusBar = Kor2_Sys::c_StatusBar;
using Stopwatch = Kor2_Sys::CTiempo;
using Picture = Kor2_Sys::cImagen;
using MenuIcons = Kor2_Sys::CIconosMenu;
using Mover = Kor2_Sys::cMoverControl;

constexpr ParamInfo kProgreso[] = {{"Form1", V::Object}, {"ProgressBar1", V::Object}, {"StatusBar1", V::Object},
                                   {"Panel", V::Integer}, {"bShowProgressBar", V::Boolean, false, true, 0}};
constexpr ParamInfo kShowProgress[] = {{"Form1", V::Object}, {"ProgressBar1", V::Object}, {"StatusBar1", V::Object},
                                       {"Panel", V::Integer}};
constexpr auto kStatusBar = makeTable(std::array{
    // Host objects reach the members as the host passed them; each operation checks them itself.
    sub("Progreso", kProgreso, on<StatusBar>([](StatusBar& s, CallArgs& a) {
        s.Progreso(a[0], a[1], a[2], a.integer(3), a.boolean(4));
    })),
    sub("ShowProgressInStatusBar", kShowProgress, on<StatusBar>([](StatusBar& s, CallArgs& a) {
        s.ShowProgressInStatusBar(a[0], a[1], a[2], a.integer(3));
    })),
});

constexpr EnumMember kTiempoMembers[] = {{"Milisegundos", 0}, {"Segundos", 1}, {"minutos", 2}};
} // namespace

constexpr EnumInfo enumTiempo{"Tiempo", kTiempoMembers};

namespace {
constexpr ParamInfo kPausa[] = {{"Tiempo", V::Long}};
constexpr ParamInfo kTipo[] = {{"Tipo", V::Long, true, true, 0, &enumTiempo}};
constexpr auto kTiempo = makeTable(std::array{
    sub("Pausa", kPausa, on<Stopwatch>([](Stopwatch& t, CallArgs& a) { t.Pausa(a.longValue(0)); })),
    sub("T_IniciaReloj", {}, on<Stopwatch>([](Stopwatch& t, CallArgs&) { t.T_IniciaReloj(); })),
    sub("T_ParaReloj", {}, on<Stopwatch>([](Stopwatch& t, CallArgs&) { t.T_ParaReloj(); })),
    // Any number is a unit here: one outside the enumeration writes the empty text.
    function("T_TiempoTranscurrido", V::Text, kTipo, on<Stopwatch>([](Stopwatch& t, CallArgs& a) {
        return t.T_TiempoTranscurrido(static_cast<Tiempo>(a.longValue(0)));
    })),
    function("T_tiempo", V::Long, {}, on<Stopwatch>([](Stopwatch& t, CallArgs&) { return t.T_tiempo(); })),
});

constexpr ParamInfo kIconos[] = {{"nMenu", V::Integer}, {"nSubmenu", V::Integer}, {"Icono", V::Object}, {"Formulario", V::Object}};
constexpr ParamInfo kHwnd[] = {{"lnghWnd", V::Long}};
constexpr auto kIconosMenu = makeTable(std::array{
    sub("I_insertar_iconos_en_menu", kIconos, on<MenuIcons>([](MenuIcons& m, CallArgs& a) {
        m.I_insertar_iconos_en_menu(a.integer(0), a.integer(1), a[2], a[3]);
    })),
    sub("I_inserta_espacio_despues_icono", kHwnd,
        on<MenuIcons>([](MenuIcons& m, CallArgs& a) { m.I_inserta_espacio_despues_icono(a.longValue(0)); })),
});

constexpr ParamInfo kObjFrom[] = {{"objFrom", V::Object}};
constexpr auto kImagen = makeTable(std::array{
    function("I__CopyPictureToClipboard", V::Boolean, kObjFrom,
             on<Picture>([](Picture& p, CallArgs& a) { return p.I__CopyPictureToClipboard(a[0]); })),
});

constexpr ParamInfo kSeleccionar[] = {{"Button", V::Integer}, {"Control", V::Object}};
constexpr ParamInfo kMover[] = {{"Button", V::Integer}, {"Shift", V::Integer}, {"Control", V::Object}};
constexpr auto kMoverControl = makeTable(std::array{
    sub("Mueve_CtrlSeleccionar", kSeleccionar,
        on<Mover>([](Mover& m, CallArgs& a) { m.Mueve_CtrlSeleccionar(a.integer(0), a[1]); })),
    sub("Mueve_CtrlMover", kMover,
        on<Mover>([](Mover& m, CallArgs& a) { m.Mueve_CtrlMover(a.integer(0), a.integer(1), a[2]); })),
});
} // namespace

constexpr ClassInfo c_StatusBar{"c_StatusBar", Creation::Creatable, kStatusBar, &create<StatusBar, c_StatusBar>,
                                nullptr};
constexpr ClassInfo CTiempo{"CTiempo", Creation::Global, kTiempo, &create<Stopwatch, CTiempo>,
                            &shared<Stopwatch, CTiempo>};
constexpr ClassInfo CIconosMenu{"CIconosMenu", Creation::Global, kIconosMenu, &create<MenuIcons, CIconosMenu>,
                                &shared<MenuIcons, CIconosMenu>};
constexpr ClassInfo cImagen{"cImagen", Creation::Global, kImagen, &create<Picture, cImagen>, &shared<Picture, cImagen>};
constexpr ClassInfo cMoverControl{"cMoverControl", Creation::Global, kMoverControl, &create<Mover, cMoverControl>,
                                  &shared<Mover, cMoverControl>};

} // namespace Kor2_Sys::classes
