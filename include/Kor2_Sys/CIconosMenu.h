#pragma once
/// \file CIconosMenu.h
/// Bitmaps beside the items of a host form's menus, and an extra entry in a window's system
/// menu. A global class without state.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// Menu bitmaps and the system menu's extra entry.
class KOR2_SYS_EXPORT CIconosMenu {
public:
    /// Puts the bitmap `Icono` (a host picture whose default value is a bitmap handle) beside item
    /// `nSubmenu` (from 0, separators counting) of drop-down menu `nMenu` (from 0) of the menu bar of
    /// `Formulario`, for both its unchecked and checked states. A form without a menu bar, or without
    /// that drop-down menu, gets a message box saying so; other failures the common error report.
    void I_insertar_iconos_en_menu(const Integer& nMenu, const Integer& nSubmenu, const Variant& Icono,
                                   const Variant& Formulario);
    /// Appends a separator and the item "&Informationen" (command 512) to the system menu of the
    /// window with handle `lnghWnd`, again on every call. A handle that is no window changes nothing.
    void I_inserta_espacio_despues_icono(const Long& lnghWnd);
};

/// The shared instance that free calls use: `global<CIconosMenu>().Member(...)`.
template <> KOR2_SYS_EXPORT CIconosMenu& global<CIconosMenu>();

} // namespace Kor2_Sys
