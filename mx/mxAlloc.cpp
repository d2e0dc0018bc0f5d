// Allocation entry points. Every block the layer allocates for itself comes
// from here, so a port can serve them from its own heaps; on Linux they go
// straight to the system allocator and work before anything is initialised.
#include "mx/mx.h"

#include <cstdlib>

extern "C" {

void* mxMallocByHeap(void* /*heap*/, unsigned size)
{
    return std::malloc(size);
}

void mxFreeByHeap(void* /*heap*/, void* block)
{
    std::free(block);
}

// The heap descriptor is never consulted on Linux, so the default heap is
// passed as null whether or not it has been set up.
void* mxMalloc(unsigned size)
{
    return mxMallocByHeap(nullptr, size);
}

void mxFree(void* block)
{
    mxFreeByHeap(nullptr, block);
}

} // extern "C"
