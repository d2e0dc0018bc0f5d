#include "contract/HandlerRecord.h"

#include <atomic>

namespace {
std::atomic<int> g_live(0);
}

HandlerRecord::HandlerRecord() {
  ++g_live;
}

HandlerRecord::~HandlerRecord() {
  --g_live;
}

int HandlerRecord::liveHandlers() {
  return g_live.load();
}
