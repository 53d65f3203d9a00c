// Runs one think request as the program does and keeps everything it wrote.
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

// The program's think request (search/think_request.h) with the limits and the position,
// leaving the stop flag as it is, with its trace captured. helperThread chooses whether a second
// thread evaluates ahead (unset: the engine's default); splitSolver switches the solved scores of
// split boards on.
SearchRun runSearch(const Position& p, int depthLimit, int timeLimit = -1,
                    std::optional<bool> helperThread = std::nullopt, bool splitSolver = false);

// The trace without the lines that depend on the clock ("Elapsed time = ", "Nodes per second = ").
std::string withoutTimings(const std::string& trace);

}  // namespace wintarvo::testing
