#pragma once
// What the server writes to the registry so that clients find its classes, interfaces and type
// library, and how it takes that away again, per machine or per user.

#include <windows.h>

#include <string>
#include <vector>

namespace Kor2_Sys::com {

/// Where a registration lives: `HKLM\Software\Classes` (every user; needs administrator rights)
/// or `HKCU\Software\Classes` (this user only; needs none).
enum class Scope { Machine, User };

/// Writes every key of this module's classes, interfaces and type library under `scope`, in this
/// module's own registry view. All or nothing: on a failure what was written is taken away again
/// and the platform's reason comes back.
HRESULT registerServer(Scope scope, const std::wstring& modulePath);

/// Removes this module's keys under `scope`. Keys that another registration still needs stay: a
/// class whose server is another module that exists, the type library's entry for the other
/// architecture, and, when the other architecture's server is registered, the keys both share.
/// Keys it created as empty parents go too. Fills `left` with the keys of ours it could not remove.
HRESULT unregisterServer(Scope scope, const std::wstring& modulePath, std::vector<std::wstring>& left);

/// The platform's word for this module's architecture in the type library's key.
constexpr const wchar_t* kTypeLibraryPlatform = sizeof(void*) == 8 ? L"win64" : L"win32";

} // namespace Kor2_Sys::com
