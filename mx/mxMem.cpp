// The default heap descriptor and its life cycle.
#include "mx/mxMem.h"
#include "mx/mxLog.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

const uint32_t kClassSizes[MX_MEM_CLASSES] = {48, 128, 512, 1024, 2304, 4352, 10240, 18432, 26624, 34816};

MxHeap* g_defaultHeap = nullptr;
MxLogger* g_memLog = nullptr;
// Serialises init and de-init against each other; the heap's own lock guards its lists.
std::mutex g_lifecycle;

void releaseChain(void* block)
{
    while (block) {
        void* next = *static_cast<void**>(block);
        std::free(block);
        block = next;
    }
}

} // namespace

extern "C" {

void mxMemInit(void)
{
    {
        std::lock_guard<std::mutex> hold(g_lifecycle);
        MxHeap* heap = __atomic_load_n(&g_defaultHeap, __ATOMIC_ACQUIRE);
        // A live heap is kept as it is: setting it up again would drop its lists.
        if (!heap || !heap->lock) {
            bool fresh = heap == nullptr;
            if (fresh) heap = static_cast<MxHeap*>(std::malloc(sizeof(MxHeap)));
            if (heap) {
                MxMutex lock = mxMutexCreate();
                if (lock) {
                    mxMutexLock(lock, MX_WAIT_FOREVER);
                    heap->lock = lock;
                    heap->classCount = MX_MEM_CLASSES;
                    std::memcpy(heap->sizes, kClassSizes, sizeof heap->sizes);
                    for (void*& list : heap->freeLists) list = nullptr;
                    mxMutexUnlock(lock);
                    __atomic_store_n(&g_defaultHeap, heap, __ATOMIC_RELEASE);
                } else if (fresh) {
                    std::free(heap);
                }
            }
        }
    }
    g_memLog = mxLogGetLogger("comps.mxMem");
}

void mxMemDeinit(void)
{
    std::lock_guard<std::mutex> hold(g_lifecycle);
    MxHeap* heap = __atomic_load_n(&g_defaultHeap, __ATOMIC_ACQUIRE);
    if (!heap || !heap->lock) return;
    mxMutexLock(heap->lock, MX_WAIT_FOREVER);
    for (unsigned i = 0; i < heap->classCount && i < MX_MEM_CLASSES; ++i) {
        releaseChain(heap->freeLists[i]);
        heap->freeLists[i] = nullptr;
    }
    mxMutexUnlock(heap->lock);
    mxMutexDestroy(heap->lock);
    heap->lock = nullptr;
}

unsigned mxMemGetMaxSize(void)
{
    return MX_MEM_MAX_SIZE;
}

MxHeap* mxMemDefaultHeap(void)
{
    return __atomic_load_n(&g_defaultHeap, __ATOMIC_ACQUIRE);
}

} // extern "C"
