#pragma once
// The host's window, menu, bitmap and drawing-context handles as the library carries them.

#include <Kor2_Sys/Value.h>

#include <windows.h>

namespace Kor2_Sys::platform::win32 {

// USER and GDI handles are 32-bit values even in a 64-bit process, which is what lets 32-bit and
// 64-bit programs share them; a 64-bit handle is the 32-bit one sign-extended. So a `Long` holds
// any of them whole, and the way back is sign extension, never zero extension. In a 32-bit process
// a handle is its 32-bit value and both conversions keep it as it is.

/// The handle a host gave as a `Long`.
template <class Handle> Handle handleOf(Long value) noexcept
{
    return reinterpret_cast<Handle>(static_cast<INT_PTR>(value));
}

/// A handle as the `Long` a host sees: its low 32 bits.
template <class Handle> Long longOf(Handle handle) noexcept
{
    return static_cast<Long>(reinterpret_cast<INT_PTR>(handle));
}

} // namespace Kor2_Sys::platform::win32
