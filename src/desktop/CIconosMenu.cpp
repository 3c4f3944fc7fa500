#include <Kor2_Sys/CIconosMenu.h>

#include "desktop/HostCalls.h"
#include "frame/Trap.h"
#include "platform/WindowSystem.h"

namespace Kor2_Sys {
namespace {

// These two boxes speak English, unlike the rest of the library: hosts that look for their wording
// find it letter for letter.
void tell(const char16_t* text)
{
    platform::windowSystem().messageBox({text, platform::MessageButtons::Ok, platform::MessageIcon::None});
}

} // namespace

void CIconosMenu::I_insertar_iconos_en_menu(const Integer& nMenu, const Integer& nSubmenu, const Variant& Icono,
                                            const Variant& Formulario)
{
    trap::report(u".I_ico", [&] {
        platform::WindowSystem& ws = platform::windowSystem();
        const Long bar = ws.menuBar(desktop::handleOf(Formulario));
        if (bar == 0) {
            tell(u"This form doesn't have a menu!");
            return;
        }
        const Long menu = ws.subMenu(bar, nMenu);
        if (menu == 0) {
            tell(u"This form doesn't have a submenu!");
            return;
        }
        // The picture is asked once per state, as the host's own call would ask it.
        const Long unchecked = desktop::defaultValue(Icono).toLong();
        const Long checked = desktop::defaultValue(Icono).toLong();
        ws.setMenuItemBitmaps(menu, nSubmenu, platform::menuflags::kByPosition, unchecked, checked);
    });
}

// No trap: a handle that is no window makes the platform calls fail quietly, and the host learns
// nothing either way.
void CIconosMenu::I_inserta_espacio_despues_icono(const Long& lnghWnd)
{
    platform::WindowSystem& ws = platform::windowSystem();
    const Long menu = ws.systemMenu(lnghWnd);
    ws.appendMenuItem(menu, platform::menuflags::kSeparator, 0, {});
    ws.appendMenuItem(menu, platform::menuflags::kString, 512, u"&Informationen");
}

template <> CIconosMenu& global<CIconosMenu>()
{
    static CIconosMenu instance;
    return instance;
}

} // namespace Kor2_Sys
