#pragma once
// Process-wide state that the library needs for as long as anyone may call it.
//
// A host may call the library from its own exit handlers, and a handler registered before the
// library's first call runs after every static object that call constructed has been destroyed.
// An object the entry points reach therefore lives in a NeverDestroyed: it is constructed where it
// is declared (on first use for a local static) and intentionally never destroyed, so it serves
// every call up to the end of the process, which reclaims its memory.

#include <new>
#include <string>
#include <type_traits>
#include <utility>

namespace Kor2_Sys {

template <class T> class NeverDestroyed {
public:
    NeverDestroyed() { ::new (static_cast<void*>(m_storage)) T(); }
    template <class... Args> explicit NeverDestroyed(Args&&... args)
    {
        ::new (static_cast<void*>(m_storage)) T(std::forward<Args>(args)...);
    }
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& get() noexcept { return *std::launder(reinterpret_cast<T*>(m_storage)); }
    const T& get() const noexcept { return *std::launder(reinterpret_cast<const T*>(m_storage)); }
    T& operator*() noexcept { return get(); }
    const T& operator*() const noexcept { return get(); }
    T* operator->() noexcept { return &get(); }
    const T* operator->() const noexcept { return &get(); }

private:
    alignas(T) unsigned char m_storage[sizeof(T)];
};

// Trivially destructible, so that a static one registers nothing to run at exit.
static_assert(std::is_trivially_destructible_v<NeverDestroyed<std::string>>);

} // namespace Kor2_Sys
