#pragma once
// A system library opened by the first call that needs it, so that a program that never asks for
// what it offers starts without loading it (and runs where it is not installed).

#include <dlfcn.h>

namespace Kor2_Sys {

class SharedLibrary {
public:
    explicit SharedLibrary(const char* soname) noexcept : m_handle(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {}
    // Never closed: the functions taken from it are kept for the life of the process.
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    /// Points `function` at the library's function `name`; false when the library or the function
    /// is missing.
    template <class Function> bool bind(Function*& function, const char* name) const noexcept
    {
        function = m_handle != nullptr ? reinterpret_cast<Function*>(dlsym(m_handle, name)) : nullptr;
        return function != nullptr;
    }

private:
    void* m_handle;
};

} // namespace Kor2_Sys
