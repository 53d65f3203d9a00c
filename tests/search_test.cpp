#include <gtest/gtest.h>

#include <algorithm>

#include "model/evaluator.h"
#include "model/move_generation.h"
#include "model/position_diagram.h"
#include "model/test_positions.h"
#include "search/search_engine.h"
#include "search/stop_flag.h"
#include "support/random_games.h"
#include "support/search_run.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

using testing::runSearch;

Position start() {
    Position p;
    p.setStartPosition();
    return p;
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// White's amazon on J1 can shoot an arrow onto B9 along the long diagonal and shut Black's
// only amazon in on A10.
Position whiteWinsInOne() {
    return positionFromRows({"Bx........", "x.........", "..........", "..........", "..........",
                             "..........", "..........", "..........", "..........", ".........W"},
                            0);
}

class Search : public ::testing::Test {
protected:
    void SetUp() override { setStopRequested(false); }
    void TearDown() override { setStopRequested(false); }
};

TEST_F(Search, DepthLimitThreeRunsExactlyThreeIterations) {
    const auto run = runSearch(start(), 3);
    ASSERT_TRUE(run.found);
    EXPECT_EQ(count(run.trace, "Elapsed time = "), 3);
    EXPECT_EQ(run.trace.rfind("Estimated branch factor = 8\nDepth = 1\nFirst = 0\n", 0), 0u);
    EXPECT_NE(run.trace.find("Depth = 3\nFirst = "), std::string::npos);
    EXPECT_EQ(run.status.rfind("Depth = 3  Score = ", 0), 0u);
    EXPECT_TRUE(isLegalMove(start(), run.move));
    EXPECT_NE(run.trace.find("\n-- Transposition Table Stats --\n"), std::string::npos);
}

TEST_F(Search, DepthOneEvaluatesEveryRootMoveOnce) {
    const auto run = runSearch(start(), 1);
    EXPECT_EQ(run.evaluations, 2176);
}

TEST_F(Search, ADecidedScoreEndsTheSearchEarly) {
    const auto run = runSearch(whiteWinsInOne(), 6);
    ASSERT_TRUE(run.found);
    EXPECT_EQ(run.status, "Depth = 2  Score = +10000");
    EXPECT_EQ(count(run.trace, "Elapsed time = "), 2);
    Position after = whiteWinsInOne();
    after.applyMove(run.move);
    EXPECT_TRUE(hasNoLegalMove(after));
}

TEST_F(Search, ChildrenOfDepthOneNodesAreLeavesEvenWithoutMoves) {
    // At depth 1 the winning move is judged by its static value, not as a win.
    const auto run = runSearch(whiteWinsInOne(), 1);
    EXPECT_NE(run.status, "Depth = 1  Score = +10000");
    EXPECT_EQ(run.trace.find("10000"), std::string::npos);
}

TEST_F(Search, NoMoveAtTheRoot) {
    const Position p = positionFromRows({"Bx........", "xx........", "..........", "..........",
                                         "..........", "..........", "..........", "..........",
                                         "..........", ".........W"},
                                        1);
    testing::TraceCapture trace;
    SearchEngine engine;
    engine.setDepthLimit(5);
    engine.setTimeLimit(-1);
    engine.setPosition(p);
    Move out{1, 2, 3};
    EXPECT_FALSE(engine.think(out));
    EXPECT_EQ(out, (Move{1, 2, 3}));
    EXPECT_TRUE(engine.isDecided());
    EXPECT_EQ(engine.statusText(), "");
    EXPECT_EQ(trace.text(),
              "Estimated branch factor = 8\n"
              "Depth = 1\n"
              "First = 0\n"
              " iUpperBound = -10000\n"
              " iLowerBound = -10000\n"
              "iScore = -10000\n"
              " -10000: \n");
}

TEST_F(Search, StatusTextCarriesThePlusSignOnlyForPositiveScores) {
    const std::string prefix = "Depth = 1  Score = ";
    int positive = 0, zero = 0, negative = 0;
    const auto positions = testing::randomPositions(3, 5);
    for (std::size_t i = 0; i < positions.size(); i += 9) {
        if (hasNoLegalMove(positions[i])) continue;
        const auto run = runSearch(positions[i], 1);
        ASSERT_EQ(run.status.rfind(prefix, 0), 0u) << run.status;
        const std::string number = run.status.substr(prefix.size());
        const int score = std::stoi(number);
        std::string expected(score > 0 ? "+" : "");
        expected += std::to_string(score);
        EXPECT_EQ(number, expected);
        positive += score > 0;
        zero += score == 0;
        negative += score < 0;
        // The root line carries " +" for zero and positive scores, " " for negative ones.
        std::string root(score >= 0 ? "\n +" : "\n ");
        root += std::to_string(score);
        root += ": ";
        EXPECT_NE(run.trace.find(root), std::string::npos) << root;
    }
    EXPECT_GT(positive, 0);
    EXPECT_GT(negative, 0);
}

TEST_F(Search, AStopBeforeTheFirstIterationStillGivesThatIterationsMove) {
    setStopRequested(true);
    const auto run = runSearch(start(), -1, -1);
    ASSERT_TRUE(run.found);
    EXPECT_TRUE(isLegalMove(start(), run.move));
    EXPECT_EQ(count(run.trace, "Elapsed time = "), 1);
    EXPECT_EQ(run.status.rfind("Depth = 1  Score = ", 0), 0u);
}

TEST_F(Search, AStopDuringALaterIterationKeepsThePreviousMove) {
    // Depth 2 completes; the stop then arrives while depth 3 runs (every node of depth 3 polls
    // the flag, and the evaluator's report of the 100000th evaluation is our cue).
    testing::TraceCapture trace;
    SearchEngine engine;
    engine.setDepthLimit(2);
    engine.setTimeLimit(-1);
    engine.setPosition(start());
    Move depthTwo;
    ASSERT_TRUE(engine.think(depthTwo));

    TraceSink previous = setDebuggerChannel([](std::string_view piece) {
        if (piece.rfind("nodes = ", 0) == 0) setStopRequested(true);
    });
    SearchEngine interrupted;
    interrupted.setDepthLimit(-1);
    interrupted.setTimeLimit(-1);
    interrupted.setPosition(start());
    Move out;
    ASSERT_TRUE(interrupted.think(out));
    setDebuggerChannel(previous);
    EXPECT_EQ(out, depthTwo);
    EXPECT_EQ(interrupted.statusText().rfind("Depth = 3  Score = ", 0), 0u);
}

TEST_F(Search, AStopBetweenTwoIterationsIsNotLost) {
    // The stop arrives after iteration 2 has ended and before iteration 3 begins: iteration 3
    // must still see it, end at once and give way to iteration 2's move.
    testing::TraceCapture trace;
    Move depthTwo;
    {
        SearchEngine engine;
        engine.setDepthLimit(2);
        engine.setTimeLimit(-1);
        engine.setPosition(start());
        ASSERT_TRUE(engine.think(depthTwo));
    }
    int iterationsDone = 0;
    TraceSink previous = setDebuggerChannel([&](std::string_view piece) {
        if (piece.rfind("Nodes = ", 0) == 0 && ++iterationsDone == 2) setStopRequested(true);
    });
    SearchEngine engine;
    engine.setDepthLimit(-1);
    engine.setTimeLimit(-1);
    engine.setPosition(start());
    Move out;
    const bool found = engine.think(out);
    setDebuggerChannel(previous);
    ASSERT_TRUE(found);
    EXPECT_EQ(out, depthTwo);
    EXPECT_EQ(engine.statusText().rfind("Depth = 3  Score = ", 0), 0u);
}

TEST_F(Search, EqualOrderingKeysKeepGenerationOrderAndTheCutFollowsTheKeys) {
    for (const Position& p : {start(), positionFromRows(
                                           {"..........", "...x......", "..B....B..", "..........",
                                            "....xx....", "....xx....", "..........", "..W....W..",
                                            "......x...", ".........."},
                                           0)}) {
        const Board b = Board::fromPosition(p);
        MoveList generated;
        generateMoves(b, generated);
        // Any order the caller hands in: generation order, and the reverse of it.
        for (const bool reversed : {false, true}) {
            MoveList moves = generated;
            if (reversed) std::reverse(moves.begin(), moves.end());
            // Expected: a stable sort by the child's static value, then the cut.
            std::vector<std::pair<int, Move>> keyed;
            Evaluator e;
            for (const Move& m : moves) {
                Board child = b;
                child.applyMove(m);
                keyed.emplace_back(e.evaluate(child), m);
            }
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto& x, const auto& y) { return x.first < y.first; });
            MoveList expected;
            for (const auto& [key, m] : keyed) {
                expected.push_back(m);
                if (expected.size() >= 50) break;
                if (expected.size() >= 10 && key >= keyed.front().first + 8) break;
            }
            SearchEngine engine;
            engine.setHelperThread(true);
            engine.setIterationDepth(5);  // a depth-2 node is not the root: static values only
            engine.orderMoves(b, 2, moves, 1);
            EXPECT_EQ(moves, expected);
        }
    }
}

TEST_F(Search, RepeatedSearchesGiveIdenticalTraces) {
    for (const Position& p : {start(), testing::randomPositions(1, 11)[40]}) {
        const auto a = runSearch(p, 3);
        const auto b = runSearch(p, 3);
        EXPECT_EQ(testing::withoutTimings(a.trace), testing::withoutTimings(b.trace));
        EXPECT_EQ(a.move, b.move);
        EXPECT_EQ(a.evaluations, b.evaluations);
        EXPECT_EQ(a.status, b.status);
    }
}

TEST_F(Search, TheHelperThreadChangesNoResult) {
    // The same trace, table statistics included, move, score and evaluation count whether a
    // second thread evaluates ahead or not: on the test positions at the depths their searches
    // reach in a moment, and on random positions from every stage of a game.
    std::vector<std::pair<Position, int>> cases;
    for (int n = 1; n <= 3; ++n) {
        Position p;
        setTestPosition(p, n);
        cases.emplace_back(p, 4);
    }
    cases.emplace_back(start(), 3);
    const auto positions = testing::randomPositions(2, 31337);
    for (std::size_t i = 0; i < positions.size(); i += 12) cases.emplace_back(positions[i], 3);
    for (const auto& [p, depth] : cases) {
        const auto alone = runSearch(p, depth, -1, false);
        const auto helped = runSearch(p, depth, -1, true);
        ASSERT_EQ(testing::withoutTimings(helped.trace), testing::withoutTimings(alone.trace));
        ASSERT_EQ(helped.move, alone.move);
        ASSERT_EQ(helped.status, alone.status);
        ASSERT_EQ(helped.evaluations, alone.evaluations);
    }
}

}  // namespace
}  // namespace wintarvo
