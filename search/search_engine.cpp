#include "search/search_engine.h"

#include <cstdio>

#include "diag/perf_timer.h"
#include "diag/trace.h"
#include "search/stop_flag.h"

namespace wintarvo {
namespace {

std::string format(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

// Adds the think's time to the process-wide search timer on every way out.
class SearchTimerScope {
public:
    SearchTimerScope() { searchTimer().start(); }
    ~SearchTimerScope() { searchTimer().accumulate(); }
    SearchTimerScope(const SearchTimerScope&) = delete;
    SearchTimerScope& operator=(const SearchTimerScope&) = delete;
};

}  // namespace

bool SearchEngine::think(Move& out) {
    // The helper thread lives as long as the think: the answer goes out without it.
    struct HelperScope {
        SearchEngine& engine;
        ~HelperScope() { engine.releaseHelperThread(); }
    } helperScope{*this};

    // 1.
    SearchTimerScope timerScope;
    g_nodeCount.store(0, std::memory_order_relaxed);
    PerfTimer timer;
    timer.start();

    // 2.
    traceLine("Estimated branch factor = " + intToString(BRANCH_FACTOR_ESTIMATE));

    // 3.
    bool stop = false;
    int i = 0;
    Move saved = Move::null();
    double elapsed = 0.0;

    // 4.
    for (;;) {
        ++i;
        setIterationDepth(i);
        if (i >= 2) saved = out;
        if (!rootSearch(out)) return false;
        if (stopRequested()) {
            // The interrupted iteration's move gives way to the previous one, if any.
            stop = true;
            if (saved.isValid()) out = saved;
        }
        statusText_ = "Depth = " + intToString(i) + "  Score = " + (lastScore() > 0 ? "+" : "") +
                      intToString(lastScore());
        traceWrite("Depth = " + intToString(i) + "\n");
        elapsed = timer.elapsedSeconds();
        traceLine(format("Elapsed time = %.3f [s]", elapsed));
        traceLine("Nodes = " + intToString(g_nodeCount.load(std::memory_order_relaxed)));
        if (i > MAX_ITERATION_DEPTH || i == depthLimit_) stop = true;
        if (timeLimit_ != -1 && elapsed * BRANCH_FACTOR_ESTIMATE > timeLimit_) stop = true;
        if (isDecided()) stop = true;
        traceLine("");
        if (stop) break;
    }

    // 5.
    const std::int64_t nodes = g_nodeCount.load(std::memory_order_relaxed);
    const std::int64_t perSecond =
        elapsed > 0 ? static_cast<std::int64_t>(static_cast<double>(nodes) / elapsed) : 0;
    traceLine("Nodes per second = " + intToString(perSecond));
    return true;
}

}  // namespace wintarvo
