#include "settings/Store.h"

#include "frame/Errors.h"
#include "frame/Utf.h"

#include <cstdlib>

// Where the store lives follows the desktop's conventions on this platform: the environment names
// the user's configuration folder. The Windows build keeps its settings in the registry and reads
// no environment at all.

namespace Kor2_Sys::settings {
namespace {

// An absolute path from the environment, or nothing: a relative one would put the store wherever
// the process happens to run.
const char* absoluteVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : nullptr;
}

} // namespace

std::string defaultPath()
{
    // No guess from the password database: a process without HOME is usually a service, whose
    // settings must not land silently in some account's folder.
    std::string base;
    if (const char* xdg = absoluteVariable("XDG_CONFIG_HOME"))
        base = xdg;
    else if (const char* home = absoluteVariable("HOME"))
        base = std::string(home) + "/.config";
    else
        throw errors::pathAccess(u"no se sabe dónde guardar la configuración: no están definidas ni "
                                 u"XDG_CONFIG_HOME ni HOME (como ruta absoluta); indique un archivo con "
                                 u"KOR2_SETTINGS");
    return base + "/kor2-sys/settings.db";
}

std::string configuredPath()
{
    const char* chosen = std::getenv("KOR2_SETTINGS");
    return chosen != nullptr && chosen[0] != '\0' ? chosen : defaultPath();
}

std::shared_ptr<Store> openDefault()
{
    return open(configuredPath());
}

} // namespace Kor2_Sys::settings
