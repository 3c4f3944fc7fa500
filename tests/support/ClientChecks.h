#pragma once
// What the Windows clients of the component binding share: a check that prints FALLO with what
// it saw, the closing line the tests match, and the VARIANTs their calls are built of.

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace kor2client {

inline int checks = 0, failures = 0;

inline void fail(const std::string& what)
{
    ++failures;
    std::printf("FALLO %s\n", what.c_str());
    std::fflush(stdout);
}

inline void check(bool ok, const std::string& what)
{
    ++checks;
    if (!ok)
        fail(what);
}

/// Prints "OK n comprobaciones" when nothing failed; the process's exit status.
inline int finish()
{
    if (failures == 0)
        std::printf("OK %d comprobaciones\n", checks);
    return failures == 0 ? 0 : 1;
}

/// A text argument; the caller clears it.
inline VARIANT text(const wchar_t* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
    return v;
}

} // namespace kor2client
