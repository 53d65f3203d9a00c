// The tournament engine's clock: the budget arithmetic, the engine's own copy of a GTP clock,
// the measured margin, what a cut iteration proves, and the clocked driver against the
// program's driver where no clock decides.
#include <gtest/gtest.h>

#include "endgame/split_solver.h"
#include "gtp/time_budget.h"
#include "model/move_generation.h"
#include "model/position_diagram.h"
#include "model/test_positions.h"
#include "search/clock_manager.h"
#include "search/clocked_search.h"
#include "search/moves_to_go.h"
#include "search/think_request.h"
#include "support/search_run.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

TEST(ClockManager, BudgetsEveryKindOfClock) {
    struct Row {
        GameClock clock;
        ClockReading now;
        int movesToGo, movesLeft;
        std::int64_t margin, soft, hard;
    };
    const std::vector<Row> rows = {
        // Byo-yomi, one stone a period (time per move): all of it but the margin.
        {{0, 1000, 1}, {1000, 1}, 30, 40, 50, 950, 950},
        {{0, 5000, 1}, {5000, 1}, 1, 1, 20, 4980, 4980},
        // Where unspent time is kept for later moves, no iteration starts after half the
        // share, and the deadline is two shares. Canadian byo-yomi: the period shared by
        // its stones, 10 ms kept for each other stone.
        {{0, 60000, 10}, {60000, 10}, 30, 40, 50, 3000, 12000},
        {{0, 60000, 10}, {1000, 10}, 30, 40, 50, 50, 200},
        {{0, 60000, 10}, {200, 10}, 30, 40, 50, 10, 40},
        {{0, 60000, 10}, {300, 10}, 30, 40, 50, 15, 60},
        // Sudden death: what is left over the moves to think about, 10 ms kept for every other
        // move the side may still have to make.
        {{60000, 0, 0}, {60000, 0}, 30, 46, 50, 1000, 4000},
        {{60000, 0, 0}, {3000, 0}, 3, 10, 50, 500, 2000},
        {{60000, 0, 0}, {1000, 0}, 2, 10, 50, 250, 860},
        {{60000, 0, 0}, {300, 0}, 1, 30, 50, 150, 250},
        {{60000, 0, 0}, {0, 0}, 10, 20, 50, 0, 1},
        {{60000, 0, 0}, {-500, 0}, 10, 20, 50, 0, 1},
        // Main time with byo-yomi to follow: a byo-yomi move's worth on top.
        {{30000, 10000, 5}, {30000, 0}, 30, 46, 50, 1500, 6000},
        {{30000, 10000, 1}, {100, 0}, 30, 46, 50, 5001, 10050},
        // Byo-yomi time without stones is no limit at all.
        {{0, 30000, 0}, {30000, 0}, 30, 46, 50, -1, -1},
        // However large the clock.
        {{INT64_MAX / 4, 0, 0}, {INT64_MAX / 4, 0}, 1, 1, 50, INT64_MAX / 8, INT64_MAX / 4 - 50},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const MoveBudget b = budgetForClock(r.clock, r.now, r.movesToGo, r.movesLeft, r.margin);
        EXPECT_EQ(b.softMs, std::min(r.soft, r.hard)) << i;
        EXPECT_EQ(b.hardMs, r.hard) << i;
        if (b.hardMs >= 0) {
            EXPECT_LE(b.softMs, b.hardMs) << i;
        }
    }
    EXPECT_EQ(budgetForMoveTime(1000, 30).softMs, 970);
    EXPECT_EQ(budgetForMoveTime(1000, 30).hardMs, 970);
    EXPECT_EQ(budgetForMoveTime(10, 30).hardMs, 1);  // never a deadline already passed
}

// The moves a clock is shared among, by empty squares, with the split solver (until the board
// splits) and without it (to the end): the fit to real games in docs/PERFORMANCE.md.
TEST(ClockManager, MovesToThinkFollowTheFit) {
    struct Row {
        int empty, withSolver, without;
    };
    for (const Row& r : std::vector<Row>{{92, 33, 44},
                                         {60, 17, 28},
                                         {44, 12, 20},
                                         {28, 8, 12},
                                         {12, 4, 4},
                                         {3, 1, 1},
                                         {0, 1, 1}}) {
        Position p;
        p.setStartPosition();
        int empty = 92;
        for (Square s = 0; s < BOARD_SQUARES && empty > r.empty; ++s)
            if (p.cell(s) == Empty) p.setCell(s, Arrow), --empty;
        EXPECT_EQ(expectedMovesToThink(p, true), r.withSolver) << r.empty;
        EXPECT_EQ(expectedMovesToThink(p, false), r.without) << r.empty;
    }
}

TEST(ClockManager, EngineKeepsItsOwnCopyOfTheClock) {
    struct Row {
        gtp::TimeSettings settings;
        gtp::Clock before;
        std::int64_t spent;
        gtp::Clock after;
    };
    const std::vector<Row> rows = {
        {{60, 0, 0}, {60000, 0}, 1500, {58500, 0}},
        {{60, 0, 0}, {1000, 0}, 1500, {0, 0}},       // flagged: nothing left, never less
        {{0, 1, 1}, {1000, 1}, 700, {1000, 1}},      // a new period for every move
        {{0, 60, 3}, {60000, 3}, 5000, {55000, 2}},  // a stone of the period played
        {{0, 60, 3}, {9000, 1}, 5000, {60000, 3}},   // the last stone: a new period
        {{10, 30, 2}, {1000, 0}, 3000, {28000, 1}},  // main time ran out during the move
        {{10, 30, 1}, {1000, 0}, 3000, {30000, 1}},
        {{0, 30, 0}, {30000, 0}, 3000, {30000, 0}},  // no limit: nothing to count
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        gtp::Clock clock = rows[i].before;
        gtp::spendTime(rows[i].settings, clock, rows[i].spent);
        EXPECT_EQ(clock.leftMs, rows[i].after.leftMs) << i;
        EXPECT_EQ(clock.stones, rows[i].after.stones) << i;
    }
}

TEST(ClockManager, MarginFollowsTheLongestRecentTail) {
    OverheadMeter meter;
    EXPECT_EQ(meter.marginMs(), OverheadMeter::INITIAL_MS);
    meter.record(2);
    EXPECT_EQ(meter.marginMs(), OverheadMeter::FLOOR_MS);
    meter.record(40);
    EXPECT_EQ(meter.marginMs(), 65);
    for (int i = 0; i < 32; ++i)
        meter.record(20);  // the long one is forgotten
    EXPECT_EQ(meter.marginMs(), 35);
}

TEST(ClockedSearch, CutIterationTakesOnlyAProvenBetterMove) {
    const Move p{1, 11, 21}, m{2, 12, 22}, n{3, 13, 23}, none = Move::null();
    struct Pass {
        bool high;
        Move first, root;
    };
    struct Row {
        Move previous;
        std::vector<Pass> passes;
        Move best;
    };
    const std::vector<Row> rows = {
        {p, {}, p},
        {p, {{false, p, p}}, p},               // failing low proves nothing about others
        {p, {{true, p, p}}, p},                // the old move holds
        {p, {{true, p, m}}, m},                // p below the test value, m at least
        {p, {{true, n, m}}, p},                // n searched first: nothing about p
        {p, {{true, none, m}}, p},             // a table cut-off searched nothing
        {p, {{true, p, m}, {true, m, n}}, n},  // a chain of proofs
        {p, {{true, p, m}, {true, p, n}}, m},  // n beat p, not m
        {none, {{true, p, m}}, none},          // a first iteration has nothing to beat
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        RootProof proof(rows[i].previous);
        for (const Pass& pass : rows[i].passes)
            proof.pass(pass.high, pass.first, pass.root);
        EXPECT_EQ(proof.best(), rows[i].best) << i;
        EXPECT_EQ(proof.improved(), !(rows[i].best == rows[i].previous)) << i;
    }
}

// Where the clock never decides, the clocked driver runs the program's passes: the same move,
// score and evaluation count as the program's driver at the same depth.
TEST(ClockedSearch, WithoutAClockPlaysTheProgramsMove) {
    for (int n = 0; n <= TEST_POSITION_COUNT; ++n) {
        Position p;
        if (n == 0)
            p.setStartPosition();
        else
            setTestPosition(p, n);
        const testing::SearchRun program = testing::runSearch(p, 3, -1, false);
        ThinkRequest request;
        request.position = p;
        request.depthLimit = 3;
        request.helperThread = false;
        request.tournament = TournamentThink{};
        testing::TraceCapture quiet;
        const ThinkAnswer answer = runThinkRequest(request);
        EXPECT_EQ(answer.move, program.move) << n;
        EXPECT_EQ(answer.statusText, program.status) << n;
        EXPECT_EQ(answer.evaluations, program.evaluations) << n;
        EXPECT_EQ(answer.completedDepth, 3) << n;
    }
}

TEST(ClockedSearch, DeadlineAlreadyPassedStillGivesALegalMove) {
    ThinkRequest request;
    request.position.setStartPosition();
    TournamentThink tournament;
    tournament.clock.softMs = 0;
    tournament.clock.hardMs = 0;
    request.tournament = tournament;
    testing::TraceCapture quiet;
    const ThinkAnswer answer = runThinkRequest(request);
    ASSERT_TRUE(answer.found);
    EXPECT_TRUE(isLegalMove(request.position, answer.move));
    EXPECT_FALSE(answer.movedByCutIteration);
}

// A split board the solver decides is not searched: the solver's move at once.
TEST(ClockedSearch, PlaysTheSolversMoveOnADecidedSplitBoard) {
    const std::string rows = "W..xxxxxxx" + std::string(80, 'x') + "xxxxxxxx.B";
    ThinkRequest request;
    request.position = positionFromDiagram(rows, 0);
    request.tournament = TournamentThink{};
    request.splitSolver = true;
    testing::TraceCapture quiet;
    const ThinkAnswer answer = runThinkRequest(request);
    ASSERT_TRUE(answer.found);
    SplitSolver solver;
    Move expected;
    ASSERT_TRUE(solver.bestSplitMove(Board::fromPosition(request.position), expected));
    EXPECT_EQ(answer.move, expected);
    EXPECT_EQ(answer.statusText, "Split  Score = +" + std::to_string(SPLIT_WIN));
    EXPECT_EQ(answer.completedDepth, 0);
    // Without the solver the same board is searched.
    request.splitSolver = false;
    request.depthLimit = 2;
    EXPECT_EQ(runThinkRequest(request).completedDepth, 2);
}

// From a game: Black to move. Up to depth 8 the search sees a game (about -18); from depth 9
// every line it keeps ends in a lost split, the least lost being J4-J5 (J4), which splits the
// board at once. The driver plays the depth-8 move instead.
TEST(ClockedSearch, AProvenLossPlaysTheLastMoveThatSawAGame) {
    ThinkRequest request;
    request.position = positionFromDiagram(
        "..xxBxx......xxxx.W.xxx.xxxxxxxxx.xx..xxx.xxxxBxx.x.xx.x.xx."
        "xW..xxxxxB..xxxxxxWxxxx.x..xxxBx...Wx.xx",
        1);
    request.depthLimit = 9;
    request.helperThread = false;
    request.tournament = TournamentThink{};
    request.splitSolver = true;
    testing::TraceCapture trace;
    const ThinkAnswer answer = runThinkRequest(request);
    EXPECT_EQ(answer.statusText, "Depth = 9  Score = -5002");
    EXPECT_EQ(moveText(answer.move), "G6-G7 (H7)");
    request.depthLimit = 8;
    EXPECT_EQ(runThinkRequest(request).move, answer.move);
}

}  // namespace
}  // namespace wintarvo
