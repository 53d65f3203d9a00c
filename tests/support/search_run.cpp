#include "support/search_run.h"

#include <sstream>

#include "search/think_request.h"
#include "support/trace_capture.h"

namespace wintarvo::testing {

SearchRun runSearch(const Position& p, int depthLimit, int timeLimit,
                    std::optional<bool> helperThread, bool splitSolver) {
    ThinkRequest request = thinkRequest(p, depthLimit, timeLimit, helperThread);
    request.clearsStop = false;
    request.splitSolver = splitSolver;
    TraceCapture trace;
    const ThinkAnswer answer = runThinkRequest(request);
    SearchRun run;
    run.found = answer.found;
    run.move = answer.move;
    run.status = answer.statusText;
    run.evaluations = answer.evaluations;
    run.trace = trace.text();
    return run;
}

std::string withoutTimings(const std::string& trace) {
    std::istringstream in(trace);
    std::string line, out;
    while (std::getline(in, line)) {
        if (line.rfind("Elapsed time = ", 0) == 0 || line.rfind("Nodes per second = ", 0) == 0)
            continue;
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace wintarvo::testing
