// Benchmarks of the engine's hot paths and of whole searches. Run from a Release build:
//   build/release/bench/wintarvo_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

#include "diag/trace.h"
#include "endgame/split_solver.h"
#include "model/board.h"
#include "model/evaluator.h"
#include "model/move_generation.h"
#include "model/test_positions.h"
#include "search/bench_positions.h"
#include "search/search_engine.h"
#include "search/stop_flag.h"
#include "search/transposition_table.h"

namespace wintarvo {
namespace {

Position named(int n) {
    Position p;
    if (n == 0) p.setStartPosition();
    else setTestPosition(p, n);
    return p;
}

// The bench's positions that still have moves: a spread from the opening to the last moves.
std::vector<Board> benchBoards() {
    std::vector<Board> boards;
    for (const auto& entry : benchPositions()) {
        const Position p = entry.position();
        if (!hasNoLegalMove(p)) boards.push_back(Board::fromPosition(p));
    }
    return boards;
}

// Children of the bench positions: the kind of position the search evaluates.
std::vector<Board> leafBoards() {
    std::vector<Board> leaves;
    MoveList moves;
    for (const Board& b : benchBoards()) {
        generateMoves(b, moves);
        for (std::size_t i = 0; i < moves.size(); i += 7) {
            Board child = b;
            child.applyMove(moves[i]);
            leaves.push_back(child);
        }
    }
    return leaves;
}

void BM_GenerateMoves(benchmark::State& state) {
    const Board b = Board::fromPosition(named(static_cast<int>(state.range(0))));
    MoveList moves;
    std::size_t n = 0;
    for (auto _ : state) {
        generateMoves(b, moves);
        n += moves.size();
        benchmark::DoNotOptimize(moves.data());
    }
    state.counters["moves/s"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GenerateMoves)->Arg(0)->Arg(1)->Arg(2)->Arg(3);

void BM_Perft(benchmark::State& state) {
    const Board b = Board::fromPosition(named(0));
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t n = 0;
    for (auto _ : state) n += perft(b, depth);
    state.counters["moves/s"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Perft)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_Evaluate(benchmark::State& state) {
    const std::vector<Board> leaves = leafBoards();
    Evaluator e;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(e.evaluate(leaves[i]));
        if (++i == leaves.size()) i = 0;
    }
    g_nodeCount.store(0);
    state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Evaluate);

// Probe and store of evaluation-cache entries, the table's commonest traffic.
void BM_TableProbeStore(benchmark::State& state) {
    const std::vector<Board> leaves = leafBoards();
    auto table = std::make_unique<TranspositionTable>();
    std::size_t i = 0;
    int value = 0;
    for (auto _ : state) {
        if (!table->probeEvaluation(leaves[i], value)) table->storeEvaluation(leaves[i], static_cast<int>(i & 63));
        if (++i == leaves.size()) i = 0;
    }
    benchmark::DoNotOptimize(value);
}
BENCHMARK(BM_TableProbeStore);

// One interior node's ordering at depth 2 (static values and the cut) with a fresh table.
void BM_OrderMovesNode(benchmark::State& state) {
    const Board b = Board::fromPosition(named(static_cast<int>(state.range(0))));
    MoveList moves;
    for (auto _ : state) {
        state.PauseTiming();
        auto engine = std::make_unique<SearchEngine>();
        engine->setIterationDepth(5);
        generateMoves(b, moves);
        state.ResumeTiming();
        engine->orderMoves(b, 2, moves, 1);
        benchmark::DoNotOptimize(moves.data());
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
    g_nodeCount.store(0);
}
BENCHMARK(BM_OrderMovesNode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Whole think requests as `wintarvo-cli search POSITION --depth N --time -1 --threads T` runs
// them.
void BM_Search(benchmark::State& state) {
    const Position p = named(static_cast<int>(state.range(0)));
    const int depth = static_cast<int>(state.range(1));
    const bool helper = state.range(2) == 2;
    setStandardOutputEnabled(false);
    for (auto _ : state) {
        setStopRequested(false);
        SearchEngine engine;
        engine.setHelperThread(helper);
        engine.setDepthLimit(depth);
        engine.setTimeLimit(-1);
        engine.setPosition(p);
        Move m;
        benchmark::DoNotOptimize(engine.think(m));
        engine.printStatistics();
    }
    setStandardOutputEnabled(true);
    state.counters["evals"] = static_cast<double>(g_nodeCount.load());
}
BENCHMARK(BM_Search)
    ->ArgNames({"position", "depth", "threads"})
    ->ArgsProduct({{0}, {4}, {1, 2}})
    ->ArgsProduct({{1, 2}, {5}, {1, 2}})
    ->ArgsProduct({{3}, {4}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// Boards of random games: every position from the first split on (split), or every position
// before it (mixed). The same boards on every run.
std::vector<Board> randomGameBoards(bool split) {
    std::mt19937 rng(1018);
    std::vector<Board> out;
    MoveList moves;
    for (int game = 0; game < 40; ++game) {
        Board b = Board::fromPosition(named(0));
        for (;;) {
            generateMoves(b, moves);
            if (moves.empty()) break;
            b.applyMove(moves[rng() % moves.size()]);
            if (isSplit(b) == split) out.push_back(b);
        }
    }
    return out;
}

// The split test, as the search runs it on every node with the solver on: on boards of the
// middle game, where it stops at the first step that meets the other side, and on split
// boards, where it fills every region of one side.
void BM_SplitTest(benchmark::State& state) {
    const std::vector<Board> boards = randomGameBoards(state.range(0) == 1);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(isSplit(boards[i]));
        if (++i == boards.size()) i = 0;
    }
    state.SetLabel(state.range(0) == 1 ? "split" : "mixed");
}
BENCHMARK(BM_SplitTest)->Arg(0)->Arg(1);

// A solver whose table is made (a search makes it once, with its first split board), holding
// one region of two squares that no random game produces.
std::unique_ptr<SplitSolver> primedSolver() {
    auto solver = std::make_unique<SplitSolver>();
    Position p;
    p.clearBoard();
    for (Square s = 3; s < 100; ++s) p.setCell(s, Arrow);
    p.setCell(0, WhiteAmazon);
    p.setCell(99, BlackAmazon);
    p.recomputeHash();
    solver->count(Board::fromPosition(p));
    return solver;
}

// Counting split boards of random games exactly (all regions, both sides), with an empty
// table for every board (cold) or one table for all of them (warm, as in a search, where
// most regions come back).
void BM_SplitCount(benchmark::State& state) {
    const std::vector<Board> boards = randomGameBoards(true);
    const bool warm = state.range(0) == 1;
    auto solver = primedSolver();
    std::size_t i = 0;
    std::int64_t exact = 0, nodes = 0;
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            nodes += solver->regionSolver().nodes() - 1;
            solver = primedSolver();
            state.ResumeTiming();
        }
        const SplitResult r = solver->count(boards[i]);
        exact += r.mover.exact() && r.opponent.exact();
        if (++i == boards.size()) i = 0;
    }
    nodes += solver->regionSolver().nodes() - 1;  // less the priming board's node
    const auto perSolve = [&state](std::int64_t n) {
        return static_cast<double>(n) / static_cast<double>(state.iterations());
    };
    state.counters["exact"] = perSolve(exact);
    state.counters["nodes/solve"] = perSolve(nodes);
    state.SetLabel(warm ? "warm" : "cold");
}
BENCHMARK(BM_SplitCount)->Arg(0)->Arg(1);

// The search with the split solver off and on at equal depth, on bench positions by name:
// on mixed boards the trees are the same and the difference is the split test's cost; on
// split boards the solved scores cut the tree.
void BM_SearchSplitSolver(benchmark::State& state) {
    const auto& entry = benchPositions()[static_cast<std::size_t>(state.range(0))];
    const bool on = state.range(1) == 1;
    setStandardOutputEnabled(false);
    for (auto _ : state) {
        setStopRequested(false);
        SearchEngine engine;
        engine.setHelperThread(false);
        engine.setSplitSolver(on);
        engine.setDepthLimit(entry.depth);
        engine.setTimeLimit(-1);
        engine.setPosition(entry.position());
        Move m;
        benchmark::DoNotOptimize(engine.think(m));
    }
    setStandardOutputEnabled(true);
    state.counters["evals"] = static_cast<double>(g_nodeCount.load());
    state.SetLabel(std::string(entry.name) + (on ? " solver on" : " solver off"));
}
BENCHMARK(BM_SearchSplitSolver)
    ->ArgNames({"position", "solver"})
    ->ArgsProduct({{4, 5, 10}, {0, 1}})  // middle, middle-closed, test1-middle: mixed
    ->ArgsProduct({{6, 11, 14}, {0, 1}})  // separating, test1-late, test3-late: split
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// A field of /proc/self/status in kilobytes ("VmRSS", "VmHWM"), or -1 where there is none.
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

// The memory one think request adds to the process: the peak resident size during the search
// less the resident size before it, for test2 at depth 5, which fills the table. Writing 5 to
// clear_refs restarts the kernel's peak count, so earlier benchmarks do not count.
void BM_ThinkPeakMemory(benchmark::State& state) {
    setStandardOutputEnabled(false);
    long before = -1;
    long peak = -1;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        before = statusKilobytes("VmRSS");
        setStopRequested(false);
        SearchEngine engine;
        engine.setDepthLimit(5);
        engine.setTimeLimit(-1);
        engine.setPosition(named(2));
        Move m;
        benchmark::DoNotOptimize(engine.think(m));
        peak = statusKilobytes("VmHWM");
    }
    if (before < 0 || peak < 0) {
        state.SkipWithError("no /proc/self/status here");
        return;
    }
    state.counters["before_MiB"] = static_cast<double>(before) / 1024.0;
    state.counters["added_MiB"] = static_cast<double>(peak - before) / 1024.0;
}
BENCHMARK(BM_ThinkPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace wintarvo

int main(int argc, char** argv) {
    // The trace would drown the report; the searches here only need to run.
    wintarvo::setStandardOutputEnabled(false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
