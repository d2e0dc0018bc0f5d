/* The heap descriptor of the portability layer.
 *
 * A port to another system can serve the allocation entry points from its own heaps with
 * these size classes; on Linux the entry points go straight to the system allocator and
 * never consult the descriptor, so allocation works whether or not mxMemInit has run.
 */
#ifndef MX_MXMEM_H
#define MX_MXMEM_H

#include "mx/mx.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MX_MEM_CLASSES 10
#define MX_MEM_MAX_SIZE 34816u /* the largest size class, 0x8800 */

typedef struct MxHeap {
    uint32_t sizes[MX_MEM_CLASSES];  /* 48 ... 34816 bytes */
    void* freeLists[MX_MEM_CLASSES]; /* chains of free blocks; a block's first word links the next */
    uint16_t classCount;
    MxMutex lock;                    /* guards the lists */
} MxHeap;

/* Creates the default heap (once) and opens the log channel "comps.mxMem". */
void mxMemInit(void);
/* Releases the blocks kept on the free lists and destroys the heap's lock; the descriptor
 * stays, and a later mxMemInit sets it up again. */
void mxMemDeinit(void);
unsigned mxMemGetMaxSize(void);
/* The default heap, or null before mxMemInit (or if it could not be allocated). */
MxHeap* mxMemDefaultHeap(void);

#ifdef __cplusplus
}
#endif

#endif
