#include "app/heap_reserve.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace qm::app {

namespace {
constexpr std::size_t huge_page = std::size_t(2) << 20;
constexpr std::size_t smallest = 4 * huge_page;
constexpr std::size_t largest = std::size_t(256) << 20;
// The C library's own starting values, restored afterwards.
constexpr int default_mmap_threshold = 128 * 1024;
constexpr int default_trim_threshold = 128 * 1024;
// One block at most this large comes from the heap rather than a mapping.
constexpr std::size_t block = std::size_t(16) << 20;
}  // namespace

heap_reserve::heap_reserve(std::size_t bytes)
{
#if defined(__GLIBC__)
    if (bytes < smallest)
        return;
    bytes = std::min(bytes, largest);
    // Blocks below the mapping threshold come from the top of the heap, one
    // after the other; freed, they join the heap's free top again, which is
    // kept (not trimmed) until the load is over. The load's small
    // allocations are then carved from memory marked for huge pages.
    if (mallopt(M_MMAP_THRESHOLD, static_cast<int>(block + huge_page)) == 0)
        return;
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(std::min<std::size_t>(bytes + block, INT32_MAX)));
    std::vector<char*> blocks;
    char* low = nullptr;
    char* high = nullptr;
    for (std::size_t got = 0; got < bytes; got += block) {
        auto* p = static_cast<char*>(std::malloc(block));
        if (p == nullptr)
            break;
        blocks.push_back(p);
        low = low == nullptr ? p : std::min(low, p);
        high = std::max(high, p + block);
    }
    if (low != nullptr && high - low <= static_cast<std::ptrdiff_t>(blocks.size() * (block + huge_page))) {
        // Only whole huge pages can be marked; the blocks lie end to end.
        const auto start = (reinterpret_cast<std::uintptr_t>(low) + huge_page - 1) & ~(huge_page - 1);
        const auto end = reinterpret_cast<std::uintptr_t>(high) & ~(huge_page - 1);
        if (end > start && madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE) == 0)
            reserved_ = end - start;
    }
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        std::free(*it);
    mallopt(M_MMAP_THRESHOLD, default_mmap_threshold);
#else
    (void)bytes;
#endif
}

heap_reserve::~heap_reserve()
{
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, default_trim_threshold);
    if (reserved_ != 0)
        malloc_trim(0);  // what the load left of the reserve goes back now
#endif
}

}  // namespace qm::app
