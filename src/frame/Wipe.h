#pragma once
// Overwriting secrets before their memory goes back to the allocator. A freed buffer keeps its
// bytes until something else reuses it, so a password copy that is merely destroyed stays readable
// in the process (a core dump, a swap file, a debugger) long after the login is over. Every copy
// the library makes of a typed password goes through these helpers.

#include <Kor2_Sys/Value.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace Kor2_Sys::wipe {

/// Zeroes `size` bytes at `data`.
inline void bytes(void* data, std::size_t size) noexcept
{
    // Volatile stores are never dropped as dead, on every compiler and platform alike.
    auto* p = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; data != nullptr && i < size; ++i)
        p[i] = 0;
}

/// Zeroes every unit a string's buffer holds, beyond its length too (what an erase or a shorter
/// assignment left there), and leaves it empty with its buffer kept.
template <class Char> void text(std::basic_string<Char>& s) noexcept
{
    // Within its capacity a string never reallocates: the resize only makes the whole buffer its own.
    s.resize(s.capacity());
    bytes(s.data(), s.size() * sizeof(Char));
    s.clear();
}

/// Zeroes a text held by a value (and by the items of an array it holds); the value is then empty.
inline void value(Variant& v) noexcept
{
    if (auto* t = std::get_if<Text>(&v.storage()))
        text(*t);
    else if (auto* a = std::get_if<std::shared_ptr<Array>>(&v.storage()); a && *a && a->use_count() == 1)
        for (Variant& item : (*a)->items)
            value(item);
    v = Variant();
}

/// Wipes a value about to be replaced or destroyed where it can hold a secret (a text, an array);
/// a number holds none and is left as it is, so that letting go of one costs nothing.
inline void secretsIn(Variant& v) noexcept
{
    if (std::holds_alternative<Text>(v.storage()) || std::holds_alternative<std::shared_ptr<Array>>(v.storage()))
        value(v);
}

/// `to` := `from`, the former content of `to` wiped first.
template <class Char> void assign(std::basic_string<Char>& to, std::type_identity_t<std::basic_string_view<Char>> from)
{
    text(to);
    to.assign(from);
}

/// Makes room in `s` for `size` units without leaving its former content in a freed buffer: a string
/// that must grow moves into a new buffer (twice as large, so that growing one unit at a time stays
/// linear) and the old one is wiped before it is released.
template <class Char> void reserve(std::basic_string<Char>& s, std::size_t size)
{
    if (size <= s.capacity())
        return;
    std::basic_string<Char> grown;
    grown.reserve(std::max(size, 2 * s.capacity()));
    grown.assign(s);
    text(s);
    s.swap(grown);
}

/// Bytes of the stack that `stack()` zeroes: more than a dialog's calls use below its caller.
inline constexpr std::size_t kStackScrub = std::size_t{128} << 10;

/// Zeroes the stack below the caller's frame, where the functions it called left their locals and
/// the registers they saved (pieces of a typed password among them, moved through vector
/// registers); a later call reuses that memory only as deep as it goes.
#if defined(__GNUC__)
[[gnu::noinline]]
#endif
inline void stack() noexcept
{
    unsigned char area[kStackScrub];
    bytes(area, sizeof area);
}

/// Wipes a string when the scope ends, however it ends.
template <class String> class Scoped {
public:
    explicit Scoped(String& s) noexcept : m_s(s) {}
    ~Scoped() { text(m_s); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

private:
    String& m_s;
};

} // namespace Kor2_Sys::wipe
