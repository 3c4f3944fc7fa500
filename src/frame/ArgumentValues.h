#pragma once
// Room for the arguments of one late-bound call, for the dispatch tables and the C entry points.

#include <Kor2_Sys/Value.h>

#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace Kor2_Sys {

// The converted arguments of one call. The few of a usual call live on the stack, constructed one
// by one (a call must not pay for clearing room it does not use); a long list takes the heap.
class ArgumentValues final {
public:
    explicit ArgumentValues(std::size_t count) : m_onHeap(count > kInline)
    {
        if (m_onHeap)
            m_heap.reserve(count);
    }
    ~ArgumentValues() { std::destroy_n(inlineValues(), m_inlineCount); }
    ArgumentValues(const ArgumentValues&) = delete;
    ArgumentValues& operator=(const ArgumentValues&) = delete;

    /// Adds a copy of `value` (a caller's argument), built in its place.
    void push(const Variant& value) { emplace(value); }
    /// Adds `value` (a converted temporary), moved into its place.
    void push(Variant&& value) { emplace(std::move(value)); }
    std::span<Variant> values() noexcept
    {
        return m_onHeap ? std::span<Variant>(m_heap) : std::span<Variant>(inlineValues(), m_inlineCount);
    }

private:
    static constexpr std::size_t kInline = 4;

    template <class V> void emplace(V&& value)
    {
        if (m_onHeap)
            m_heap.push_back(std::forward<V>(value));
        else
            std::construct_at(inlineValues() + m_inlineCount++, std::forward<V>(value));
    }

    Variant* inlineValues() noexcept { return std::launder(reinterpret_cast<Variant*>(m_inline)); }

    alignas(Variant) unsigned char m_inline[kInline * sizeof(Variant)];
    std::size_t m_inlineCount = 0;
    bool m_onHeap;
    std::vector<Variant> m_heap;
};

} // namespace Kor2_Sys
