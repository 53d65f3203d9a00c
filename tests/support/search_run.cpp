#include "support/search_run.h"

#include <sstream>

#include "model/evaluator.h"
#include "search/search_engine.h"
#include "support/trace_capture.h"

namespace wintarvo::testing {

SearchRun runSearch(const Position& p, int depthLimit, int timeLimit,
                    std::optional<bool> helperThread, bool splitSolver) {
    SearchRun run;
    TraceCapture trace;
    SearchEngine engine;
    if (helperThread) engine.setHelperThread(*helperThread);
    if (splitSolver) engine.setSplitSolver(true);
    engine.setDepthLimit(depthLimit);
    engine.setTimeLimit(timeLimit);
    engine.setPosition(p);
    run.found = engine.think(run.move);
    run.status = engine.statusText();
    run.evaluations = g_nodeCount.load();
    engine.printStatistics();
    run.trace = trace.text();
    return run;
}

std::string withoutTimings(const std::string& trace) {
    std::istringstream in(trace);
    std::string line, out;
    while (std::getline(in, line)) {
        if (line.rfind("Elapsed time = ", 0) == 0 || line.rfind("Nodes per second = ", 0) == 0) continue;
        out += line;
        out += '\n';
    }
    return out;
}

Position positionFromRows(const std::vector<std::string>& rows, int sideToMove) {
    Position p;
    p.clearBoard();
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 10; ++c) {
            const char x = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            p.setCell(10 * r + c, x == 'W' ? WhiteAmazon : x == 'B' ? BlackAmazon : x == 'x' ? Arrow : Empty);
        }
    }
    p.sideToMove = sideToMove;
    p.recomputeHash();
    return p;
}

}  // namespace wintarvo::testing
