// The default heap descriptor.
#include "mx/mxLog.h"
#include "mx/mxMem.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Runs first: nothing has set the heap up yet.
TEST(Mem, BeforeInitThereIsNoHeapAndDeinitIsHarmless)
{
    EXPECT_EQ(mxMemDefaultHeap(), nullptr);
    mxMemDeinit();
    void* block = mxMalloc(100);
    ASSERT_NE(block, nullptr);
    mxFree(block);
}

TEST(Mem, MaxSizeIsTheLargestClass)
{
    EXPECT_EQ(mxMemGetMaxSize(), 34816u);
}

TEST(Mem, InitBuildsTheDescriptorAndOpensTheMemoryChannel)
{
    mxLogReset();
    mxMemInit();
    MxHeap* heap = mxMemDefaultHeap();
    ASSERT_NE(heap, nullptr);
    EXPECT_EQ(heap->classCount, 10);
    const uint32_t sizes[] = {48, 128, 512, 1024, 2304, 4352, 10240, 18432, 26624, 34816};
    for (int i = 0; i < MX_MEM_CLASSES; ++i) {
        EXPECT_EQ(heap->sizes[i], sizes[i]) << i;
        EXPECT_EQ(heap->freeLists[i], nullptr) << i;
    }
    EXPECT_EQ(heap->sizes[MX_MEM_CLASSES - 1], mxMemGetMaxSize());
    EXPECT_NE(heap->lock, nullptr);

    MxLogger* channel = getLogger("comps.mxMem");
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(mxLogGetLevel(channel), mxLogGetLevel(getLogger("")));
    EXPECT_EQ(mxLogGetLevel(channel), 4);

    mxMemInit();
    EXPECT_EQ(mxMemDefaultHeap(), heap) << "a second init keeps the heap it has";
}

// The free lists hold blocks of the system allocator; the leak checker of the
// sanitizer build proves that de-init gives every one of them back.
TEST(Mem, DeinitReleasesTheFreeListsAndInitSetsTheHeapUpAgain)
{
    mxMemInit();
    MxHeap* heap = mxMemDefaultHeap();
    ASSERT_NE(heap, nullptr);
    for (int c : {0, 4, 9}) {
        for (int n = 0; n < 3; ++n) {
            void** block = static_cast<void**>(std::malloc(heap->sizes[c]));
            ASSERT_NE(block, nullptr);
            *block = heap->freeLists[c];
            heap->freeLists[c] = block;
        }
    }
    mxMemDeinit();
    for (void* list : heap->freeLists) EXPECT_EQ(list, nullptr);
    EXPECT_EQ(heap->lock, nullptr);
    mxMemDeinit(); // twice is harmless

    void* block = mxMalloc(64); // allocation does not depend on the heap
    ASSERT_NE(block, nullptr);
    mxFree(block);

    mxMemInit();
    EXPECT_EQ(mxMemDefaultHeap(), heap) << "the kept descriptor is set up again";
    EXPECT_NE(heap->lock, nullptr);
    EXPECT_EQ(heap->classCount, 10);
    mxMemDeinit();
    mxLogReset();
}

} // namespace
