// The allocation entry points work from the start, with or without a heap.
#include "mx/mx.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(AllocTest, BlocksAreUsableWholeAndReleased)
{
    const unsigned sizes[] = {1, 48, 4096, 34817, 1u << 20};
    for (unsigned size : sizes) {
        char* a = static_cast<char*>(mxMalloc(size));
        char* b = static_cast<char*>(mxMallocByHeap(nullptr, size));
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        memset(a, 0xA5, size);   // the sanitizer checks every byte is ours
        memset(b, 0x5A, size);
        mxFree(a);
        mxFreeByHeap(nullptr, b);
    }
}

TEST(AllocTest, ReleasingNullDoesNothing)
{
    mxFree(nullptr);
    mxFreeByHeap(nullptr, nullptr);
}

} // namespace
