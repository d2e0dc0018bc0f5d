#ifndef CONTRACT_CHEAP_H
#define CONTRACT_CHEAP_H

#include <stddef.h>

#include "contract/Visibility.h"

// The host heap behind GfString. Thread-safe; the instance lives as long as the process,
// so objects of a plug-in's static tables may free into it while the plug-in unloads.
class TP_FRAMEWORK CHeap {
 public:
  enum { ZERO_FILL = 1 };  // flag of New: the block starts zeroed

  static CHeap* Instance();

  // A block of `size` bytes (at least one), or null when memory is exhausted.
  void* New(size_t size, int flags);
  // Frees a block of New; null is ignored.
  void Delete(void* block);

  // Blocks handed out and not yet freed.
  long liveBlocks() const;

 private:
  CHeap();
  CHeap(const CHeap&) = delete;
  CHeap& operator=(const CHeap&) = delete;
};

#endif
