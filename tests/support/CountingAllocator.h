#pragma once
// The counting allocator: a test program built with CountingAllocator.cpp has every plain form of
// the global `new` and `delete` replaced by one that counts, so that a test can see whether a call
// took anything from the heap.

namespace kor2test {

/// How many allocations the program has made so far.
long allocationsSoFar() noexcept;

} // namespace kor2test
