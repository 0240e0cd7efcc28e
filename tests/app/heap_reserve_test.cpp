// The reserve before a large load: it sets memory aside only for a load
// large enough, the memory works as any other, and afterwards what was left
// unused goes back (the C library's settings are put back).

#include "app/heap_reserve.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using qm::app::heap_reserve;

TEST(heap_reserve, setsMemoryAsideOnlyForALargeLoad)
{
    struct row {
        std::size_t bytes;
        bool reserves;
    };
    for (const row& r : {row{0, false}, row{1 << 20, false}, row{std::size_t(40) << 20, true}}) {
        const heap_reserve reserve(r.bytes);
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(reserve.reserved() != 0, r.reserves) << r.bytes;
        EXPECT_LE(reserve.reserved(), r.bytes + (std::size_t(16) << 20)) << r.bytes;
#endif
        // What the load allocates inside the reserve is ordinary memory.
        std::vector<std::unique_ptr<char[]>> pieces;
        for (int i = 0; i < 20000; ++i) {
            pieces.emplace_back(new char[200]);
            std::memset(pieces.back().get(), i & 0xff, 200);
        }
        for (int i = 0; i < 20000; i += 997)
            EXPECT_EQ(static_cast<unsigned char>(pieces[static_cast<std::size_t>(i)][199]), i & 0xff);
    }
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
TEST(heap_reserve, whatTheLoadLeftUnusedIsHandedBackAfterwards)
{
    { const heap_reserve reserve(std::size_t(40) << 20); }
    // The heap's free top, which held the reserve, is small again.
    EXPECT_LT(mallinfo2().keepcost, std::size_t(8) << 20);
}
#endif
