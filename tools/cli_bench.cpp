// The bench: a fixed list of positions, each searched to a fixed depth with no time limit.
// The total number of evaluations is the engine's signature: any change of the search's
// behaviour changes it, so a test pins it.
#include <chrono>
#include <iostream>
#include <string_view>

#include "diag/trace.h"
#include "model/evaluator.h"
#include "search/search_engine.h"
#include "tools/bench_positions.h"
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
        const Position p = entry.position();
        StandardOutputOff quiet;
        const auto started = std::chrono::steady_clock::now();
        SearchEngine engine;
        applyThreadsOption(o, engine);
        engine.setDepthLimit(entry.depth);
        engine.setTimeLimit(-1);
        engine.setPosition(p);
        Move result = Move::null();
        const bool found = engine.think(result);
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - started)
                                .count();
        quiet.restore();
        const std::int64_t evaluations = g_nodeCount.load();
        totalEvaluations += evaluations;
        totalMicros += micros;
        std::cout << entry.name << '\t' << entry.depth << '\t'
                  << (found ? moveText(result) : std::string("none")) << '\t' << engine.statusText()
                  << '\t' << evaluations << '\t' << micros / 1000 << std::endl;
    }
    const std::int64_t perSecond =
        totalMicros > 0 ? totalEvaluations * 1'000'000 / totalMicros : 0;
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
