#include "diag/perf_timer.h"

#include <chrono>

namespace wintarvo {
namespace {

std::int64_t counterNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void PerfTimer::initialise() {
    total_ = 0;
    frequency_ = 1'000'000'000;
    start_ = counterNow();
}

void PerfTimer::start() { start_ = counterNow(); }

std::int64_t PerfTimer::elapsedCounts() const { return counterNow() - start_; }

double PerfTimer::elapsedSeconds() const {
    return static_cast<double>(elapsedCounts()) / static_cast<double>(frequency_);
}

void PerfTimer::accumulate() { total_ += elapsedCounts(); }

PerfTimer& searchTimer() {
    static PerfTimer timer;
    return timer;
}

}  // namespace wintarvo
