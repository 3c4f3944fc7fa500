#pragma once
// Memory for the values the C entry points hand to a host. A host frees each result it receives and
// mostly asks for the next one at once, so a freed value's memory is kept for the next value: a
// call that hands back a result then costs no trip to the allocator, while the host still receives
// a value of its own and frees it as before.

#include <array>
#include <atomic>
#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace Kor2_Sys::capi {

// A kept cell is out of bounds for the address checker, so a host that reads a value after freeing
// it is still caught.
inline void poison([[maybe_unused]] void* cell, [[maybe_unused]] std::size_t size) noexcept
{
#if defined(__SANITIZE_ADDRESS__)
    ASAN_POISON_MEMORY_REGION(cell, size);
#endif
}

inline void unpoison([[maybe_unused]] void* cell, [[maybe_unused]] std::size_t size) noexcept
{
#if defined(__SANITIZE_ADDRESS__)
    ASAN_UNPOISON_MEMORY_REGION(cell, size);
#endif
}

/// Cells of `Size` bytes, a few kept for the process; the rest go back to the allocator.
///
/// The kept cells sit in a plain array of atomic slots rather than in thread-local storage: a
/// thread's first reach for its own storage in a shared library may save every vector register on
/// the stack, and after a call that copied a password those registers still hold pieces of it. The
/// slots are never destroyed, so a host's exit handlers and static destructors use them too.
template <std::size_t Size> class ValueCells {
public:
    /// Memory for one value: a kept cell, else a new one; null when out of memory.
    static void* take() noexcept
    {
        for (std::atomic<void*>& slot : slots()) {
            if (slot.load(std::memory_order_relaxed) == nullptr)
                continue;
            if (void* cell = slot.exchange(nullptr, std::memory_order_acquire)) {
                unpoison(cell, Size);
                return cell;
            }
        }
        return ::operator new(Size, std::nothrow);
    }

    /// Gives back memory from `take`, whose value is already destroyed.
    static void give(void* cell) noexcept
    {
        poison(cell, Size);
        for (std::atomic<void*>& slot : slots()) {
            void* empty = nullptr;
            if (slot.load(std::memory_order_relaxed) == nullptr &&
                slot.compare_exchange_strong(empty, cell, std::memory_order_release, std::memory_order_relaxed))
                return;
        }
        unpoison(cell, Size);
        ::operator delete(cell);
    }

private:
    static constexpr std::size_t kKept = 8;

    static std::array<std::atomic<void*>, kKept>& slots() noexcept
    {
        static std::array<std::atomic<void*>, kKept> kept{};
        return kept;
    }
};

} // namespace Kor2_Sys::capi
