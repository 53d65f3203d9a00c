// Runs one think request the way the engine thread does and keeps everything it wrote.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/move.h"
#include "model/position.h"

namespace wintarvo::testing {

struct SearchRun {
    bool found = false;
    Move move;
    std::string status;
    std::int64_t evaluations = 0;
    std::string trace;  // the whole trace, statistics block included
};

// A fresh engine with the limits, the position, think (the move starting as the null move),
// the status text and the table statistics.
// helperThread chooses whether a second thread evaluates ahead (unset: the engine's default);
// splitSolver switches the solved scores of split boards on.
SearchRun runSearch(const Position& p, int depthLimit, int timeLimit = -1,
                    std::optional<bool> helperThread = std::nullopt, bool splitSolver = false);

// The trace without the lines that depend on the clock ("Elapsed time = ", "Nodes per second = ").
std::string withoutTimings(const std::string& trace);

// A position from ten rows of text (rank 10 first): W, B amazons, x arrow, anything else empty.
Position positionFromRows(const std::vector<std::string>& rows, int sideToMove);

}  // namespace wintarvo::testing
