#pragma once
// The component server's test mode, switched on only by a test program through the exported
// test entry point: scripted windows instead of the platform's, and another settings store. A host
// never reaches it by accident: the server reads no environment variable and no file of its own.

#include <windows.h>

namespace Kor2_Sys::com {

/// Plays the window scripts in the JSON file `windowScripts` (the array `kor2 --actions` reads)
/// on the headless window system, installed for the calling thread, when it is not null; uses a store in
/// memory when `store` is ":memory:". E_INVALIDARG for any other store, and for a scripts file
/// that cannot be read or parsed (nothing is changed then); null for both changes nothing.
HRESULT useTestMode(const wchar_t* windowScripts, const wchar_t* store);

} // namespace Kor2_Sys::com
