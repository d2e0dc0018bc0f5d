#include "contract/CHeap.h"

#include <stdlib.h>
#include <string.h>

#include <atomic>

namespace {
std::atomic<long> g_blocks(0);
}

CHeap::CHeap() {}

CHeap* CHeap::Instance() {
  // Never destroyed: static tables of plug-ins free into it while they unload.
  static CHeap* heap = new CHeap;
  return heap;
}

void* CHeap::New(size_t size, int flags) {
  void* block = malloc(size ? size : 1);
  if (!block) return nullptr;
  if (flags & ZERO_FILL) memset(block, 0, size ? size : 1);
  ++g_blocks;
  return block;
}

void CHeap::Delete(void* block) {
  if (!block) return;
  free(block);
  --g_blocks;
}

long CHeap::liveBlocks() const {
  return g_blocks.load();
}
