// A stopwatch over the monotonic clock, in counts of one nanosecond.
//
// Each timer belongs to one thread. The search keeps one process-wide timer whose total is the
// accumulated thinking time of the process, and a local one per think for its own reports.
#pragma once

#include <cstdint>

namespace wintarvo {

class PerfTimer {
public:
    PerfTimer() { initialise(); }

    void initialise();
    void start();
    std::int64_t elapsedCounts() const;
    double elapsedSeconds() const;
    void accumulate();

    std::int64_t total() const { return total_; }
    std::int64_t frequency() const { return frequency_; }

private:
    std::int64_t start_ = 0;
    std::int64_t frequency_ = 0;
    std::int64_t total_ = 0;
};

// The search timer: started by every think, accumulated on every way out of it.
// Used only by the engine thread.
PerfTimer& searchTimer();

}  // namespace wintarvo
