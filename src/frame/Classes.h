#pragma once
// The dispatch descriptions of the library's classes, one per class, each defined beside its class.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys::classes {

extern const ClassInfo CColores;
extern const ClassInfo cfrm_Color;
extern const ClassInfo CString;
extern const ClassInfo c_imput1;
extern const ClassInfo CCmDialog;
extern const ClassInfo cfrm_Dialog;
extern const ClassInfo cRegistro;
extern const ClassInfo c_StatusBar;
extern const ClassInfo CTiempo;
extern const ClassInfo CIconosMenu;
extern const ClassInfo cImagen;
extern const ClassInfo cMoverControl;
extern const ClassInfo CinfoDiscoVol;
extern const ClassInfo c_VL;
extern const ClassInfo cls_Loging;
extern const ClassInfo cCambiaTxt;

/// The interface's one enumeration, the unit of `CTiempo.T_TiempoTranscurrido`.
extern const EnumInfo enumTiempo;

} // namespace Kor2_Sys::classes
