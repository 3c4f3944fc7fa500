#pragma once
// Every value that makes the component server findable: its classes, programmatic names,
// interfaces and type library, under a root's Software\Classes. The server writes them itself when
// registered, and the installer package carries them as data: one list, so both always agree.

#include <Kor2_Sys/Object.h>

#include "classes/Classes.h"
#include "com/NameUuid.h"

#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::com {

/// One registry value under Software\Classes.
struct RegistryRow {
    std::string key;
    std::string name;           ///< empty: the key's default value
    std::string value;          ///< ignored when `isModulePath`
    bool isModulePath = false;  ///< the value is the full path of the installed module
    /// The same key and value whichever architecture's module writes it: on 64-bit Windows the
    /// programmatic names and the type library's description are one copy for both registry views.
    bool sharedByViews = false;
};

/// The platform's marshaller of automation interfaces, which reads the type library: the vtable
/// half of a dual interface crosses apartments too.
inline constexpr std::string_view kAutomationProxy = "{00020424-0000-0000-C000-000000000046}";

inline std::string typeLibraryKey()
{
    return "TypeLib\\" + bracedText(libraryUuid());
}

/// The rows of a module of the architecture whose type-library key is `platform` ("win32" or
/// "win64").
inline std::vector<RegistryRow> registryRows(std::string_view platform)
{
    const std::string library = bracedText(libraryUuid());
    const std::string typeLib = typeLibraryKey() + "\\1.0";
    std::vector<RegistryRow> rows{{typeLib, "", "Kor2_Sys", false, true},
                                  {typeLib + "\\0\\" + std::string(platform), "", "", true},
                                  {typeLib + "\\FLAGS", "", "0", false, true}};
    for (const ClassInfo* info : libraryClasses()) {
        const std::string progId = info->progId();
        const std::string clsid = "CLSID\\" + bracedText(classUuid(info->name));
        const std::string iid = "Interface\\" + bracedText(interfaceUuid(info->name));
        rows.insert(rows.end(), {{progId, "", progId, false, true},
                                 {progId + "\\CLSID", "", bracedText(classUuid(info->name)), false, true},
                                 {clsid, "", progId},
                                 {clsid + "\\InprocServer32", "", "", true},
                                 {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
                                 {clsid + "\\ProgID", "", progId},
                                 {clsid + "\\TypeLib", "", library},
                                 {clsid + "\\Version", "", "1.0"},
                                 {iid, "", info->interfaceName()},
                                 {iid + "\\ProxyStubClsid32", "", std::string(kAutomationProxy)},
                                 {iid + "\\TypeLib", "", library},
                                 {iid + "\\TypeLib", "Version", "1.0"}});
    }
    return rows;
}

} // namespace Kor2_Sys::com
