// The process-wide stop request: set by Force Move (through the game document) and by the
// engine service's shutdown, polled at every search node. Relaxed loads and stores suffice: it
// carries no data, only "finish now".
#pragma once

#include <atomic>

namespace wintarvo {

extern std::atomic<bool> g_stopRequested;

inline bool stopRequested() { return g_stopRequested.load(std::memory_order_relaxed); }
inline void setStopRequested(bool value) { g_stopRequested.store(value, std::memory_order_relaxed); }

}  // namespace wintarvo
