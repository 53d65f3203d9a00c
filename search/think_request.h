// One think request, run to its end on the calling thread: a fresh SearchEngine given the
// limits and the position, one think, its status text, the table statistics on the trace.
// The command-line tool's search and the GTP engine's genmove both go through it, so the same
// position and limits give the same move in both.
//
// A request may carry a deadline: a second thread raises the stop flag if the think is still
// running then, so that the answer (the last finished iteration's move) comes in time. Nothing
// else differs from a request without one; a think that ends before the deadline is untouched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/move.h"
#include "model/position.h"

namespace wintarvo {

struct ThinkRequest {
    Position position;
    int depthLimit = -1;  // plies, -1 for none
    int timeLimit = 10;   // whole seconds, -1 for none
    // Unset: the engine's own choice (a helper thread where two processors are free).
    std::optional<bool> helperThread;
    // Seconds after which a running think is told to stop; unset for none.
    std::optional<double> deadlineSeconds;
};

struct ThinkAnswer {
    bool found = false;  // false: the side to move has no move
    Move move;
    std::string statusText;
    std::int64_t evaluations = 0;
    bool stoppedAtDeadline = false;
};

// Clears a stop left over from an earlier request first, as the game document does when it
// hands the engine a request.
ThinkAnswer runThinkRequest(const ThinkRequest& request);

}  // namespace wintarvo
