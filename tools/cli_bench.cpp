// The bench: a fixed list of positions, each searched to a fixed depth with no time limit.
// The total number of evaluations is the engine's signature: any change of the search's
// behaviour changes it, so a test pins it.
#include <iostream>

#include "diag/trace.h"
#include "search/bench_positions.h"
#include "search/think_request.h"
#include "tools/cli_arguments.h"
#include "tools/cli_commands.h"

namespace wintarvo::cli {
namespace {

int runBench(const Args& args) {
    const Options o = splitOptions(args, {"--threads"}, {});
    if (!o.positional.empty()) throw UsageError("usage: bench [--threads N]");

    std::int64_t totalEvaluations = 0;
    std::int64_t totalMicros = 0;
    for (const BenchPosition& entry : benchPositions()) {
        StandardOutputOff quiet;
        const ThinkAnswer answer =
            runThinkRequest(thinkRequest(entry.position(), entry.depth, -1, threadsOption(o)));
        quiet.restore();
        totalEvaluations += answer.evaluations;
        totalMicros += answer.microseconds;
        std::cout << entry.name << '\t' << entry.depth << '\t'
                  << (answer.found ? moveText(answer.move) : std::string("none")) << '\t'
                  << answer.statusText << '\t' << answer.evaluations << '\t'
                  << answer.microseconds / 1000 << std::endl;
    }
    const std::int64_t perSecond = totalMicros > 0 ? totalEvaluations * 1'000'000 / totalMicros : 0;
    std::cout << "bench\t" << totalEvaluations << '\t' << totalMicros / 1000 << '\t' << perSecond
              << std::endl;
    return 0;
}

}  // namespace

const Command BENCH_COMMAND = {
    runBench, "bench [--threads N]",
    "      Search a fixed list of positions to fixed depths; one line each, then\n"
    "      \"bench<TAB>EVALUATIONS<TAB>MILLISECONDS<TAB>EVALUATIONS_PER_SECOND\".\n"
    "      The total evaluation count is the engine's signature.\n"};

}  // namespace wintarvo::cli
