#pragma once
/// \file cRegistro.h
/// Per-user values and host window geometry, kept in the library's settings store under the
/// application "Vesolar", in the section `Aplicacion` + " " + `Seccion`. A global class.

#include <Kor2_Sys/Object.h>

#include <memory>

namespace Kor2_Sys {

/// Per-user values and window geometry in the library's settings store.
class KOR2_SYS_EXPORT cRegistro {
public:
    /// Stores the text form of `Valor` under key `SubSeccion`. Silent: a null value or a store that
    /// refuses the write leaves everything as it was.
    void R_Grabar_un_dato_en_Win(const Text& Aplicacion, const Text& Seccion, const Text& SubSeccion,
                                 const Variant& Valor);
    /// The stored text (text even when it is empty), else the text form of `Pordefecto`; on any
    /// failure `Pordefecto` itself, unchanged in type and value.
    Variant R_Lee_un_dato_en_Win(const Text& Aplicacion, const Text& Seccion, const Text& SubSeccion,
                                 const Variant& Pordefecto);

    /// Restores state, position and size with the caller's defaults (real conversion), after the
    /// notice "registro sin actualizar" on every call.
    void R_Lee_tamaño_y_pos_Obj_en_Win(std::shared_ptr<Object> Formulario, const Text& Aplicacion, const Text& Seccion,
                                       const Integer& defec_Top, const Integer& defec_Lef,
                                       const Integer& defec_Width, const Integer& defec_Heigth);
    /// As above without the notice; top and left read as whole numbers.
    void R_Lee_tamaño_y_pos_Obj_en_Win1(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion,
                                        const Text& Seccion, const Integer& defec_Top, const Integer& defec_Lef,
                                        const Integer& defec_Width, const Integer& defec_Heigth);
    /// Restores with top/left 100 and the current size as defaults; an off-screen top or left
    /// (beyond 25000 or below -100) comes back as 100.
    void R_Lee_tamaño_y_pos_Obj_en_Win_O(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion,
                                         const Text& Seccion);
    /// Saves the state, and position and size when the window is in its normal state.
    void R_Graba_tamaño_y_pos_Obj_en_Win(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion,
                                         const Text& Seccion);
    /// Restores state and position only (defaults 100, with the pull-back).
    void R_Lee_Pos_Form(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion, const Text& Seccion);
    /// Saves state and position only.
    void R_Graba_Pos_Form(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion, const Text& Seccion);
};

/// The shared instance that free calls use: `global<cRegistro>().Member(...)`.
template <> KOR2_SYS_EXPORT cRegistro& global<cRegistro>();

} // namespace Kor2_Sys
