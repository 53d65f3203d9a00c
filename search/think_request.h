// One think request, run to its end on the calling thread: a fresh SearchEngine given the
// limits and the position, one think, its status text, the table statistics on the trace.
// Every think of the program goes through it: the engine thread's, the command-line tool's
// search and bench, the GTP engine's genmove and the tests', so the same position and limits
// give the same move, trace and evaluation count in all of them.
//
// A request may carry a deadline: a second thread raises the stop flag if the think is still
// running then, so that the answer (the last finished iteration's move) comes in time. Nothing
// else differs from a request without one; a think that ends before the deadline is untouched.
//
// A request for the tournament engine runs ClockedSearch instead (search/clocked_search.h):
// iterative deepening under a clock in milliseconds, with the deadline thread at its hard
// deadline; its whole-second time limit is not used. Without one, nothing of it is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/move.h"
#include "model/position.h"
#include "search/clocked_search.h"

namespace wintarvo {

struct TournamentThink {
    ThinkClock clock;
};

struct ThinkRequest {
    Position position;
    int depthLimit = -1;  // plies, -1 for none
    int timeLimit = 10;   // whole seconds, -1 for none
    // Unset: the engine's own choice (a helper thread where two processors are free).
    std::optional<bool> helperThread;
    // Seconds after which a running think is told to stop; unset for none.
    std::optional<double> deadlineSeconds;
    // Whether this call is the request itself, which clears a stop left over from an earlier
    // one. The engine thread's think was requested earlier, by the game document, which cleared
    // the flag then: a stop that came in since must still end it.
    bool clearsStop = true;
    // Set: the tournament engine's think under this clock.
    std::optional<TournamentThink> tournament;
    // Split boards solved exactly (endgame/): below the root by either driver, and at the root
    // by the tournament engine's, which plays the solver's move there.
    bool splitSolver = false;
};

struct ThinkAnswer {
    bool found = false;  // false: the side to move has no move
    Move move;
    std::string statusText;
    std::int64_t evaluations = 0;
    bool stoppedAtDeadline = false;
    std::int64_t microseconds = 0;  // from the engine's construction to the end of the think
    // The tournament engine's: the deepest completed iteration, and whether the move is one a
    // cut iteration proved better than that iteration's.
    int completedDepth = 0;
    bool movedByCutIteration = false;
};

// A request for the program's think of p under these limits; the rest as by default.
inline ThinkRequest thinkRequest(const Position& p, int depthLimit, int timeLimit,
                                 std::optional<bool> helperThread = std::nullopt) {
    ThinkRequest request;
    request.position = p;
    request.depthLimit = depthLimit;
    request.timeLimit = timeLimit;
    request.helperThread = helperThread;
    return request;
}

ThinkAnswer runThinkRequest(const ThinkRequest& request);

}  // namespace wintarvo
