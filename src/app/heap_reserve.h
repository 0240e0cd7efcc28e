#pragma once
// Room on the heap for a large start-up load, backed by huge pages where the
// kernel offers them on request. Loading 50,000 tasks makes some 30 MB of
// small allocations; faulting that in 4 KB at a time cost more than the load
// itself on a virtual machine (about 100 of 190 ms to an idle window). Has no
// effect outside glibc, or for a load too small to gain from it.

#include <cstddef>

namespace qm::app {

class heap_reserve {
public:
    // bytes: about what the load will allocate.
    explicit heap_reserve(std::size_t bytes);
    // Lets the C library hand back what the load left unused.
    ~heap_reserve();
    heap_reserve(const heap_reserve&) = delete;
    heap_reserve& operator=(const heap_reserve&) = delete;

    // What was set aside (0 when nothing was), for the tests.
    std::size_t reserved() const { return reserved_; }

private:
    std::size_t reserved_ = 0;
};

}  // namespace qm::app
