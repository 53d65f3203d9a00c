// Checks on the literal engine itself, so that it can be trusted as the reference for the fast
// one: hand-worked evaluations, the table's merge and replacement rules, and the shape of a
// think's trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/move_generation.h"
#include "model/position.h"
#include "support/literal_engine.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

namespace literal = testing::literal;

Position startPosition() {
    Position p;
    p.setStartPosition();
    return p;
}

// Every cell an arrow except the given amazons and empty squares; hash words recomputed.
Position walledBoard(std::vector<Square> white, std::vector<Square> black,
                     std::vector<Square> empty, int sideToMove) {
    Position p;
    p.clearBoard();
    for (CellCode& c : p.cells)
        c = Arrow;
    for (Square s : white)
        p.setCell(s, WhiteAmazon);
    for (Square s : black)
        p.setCell(s, BlackAmazon);
    for (Square s : empty)
        p.setCell(s, Empty);
    p.sideToMove = sideToMove;
    p.recomputeHash();
    return p;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// ---- Evaluation ---------------------------------------------------------------------------

TEST(LiteralEvaluation, StartPositionIsBalancedForEitherSide) {
    testing::TraceCapture trace;
    Position p = startPosition();
    Position w = p;
    int wt = -1;
    int bt = -1;
    literal::computeTerritory(w, wt, bt);
    EXPECT_EQ(wt, 30);
    EXPECT_EQ(bt, 30);
    EXPECT_EQ(literal::evaluate(p, false), 0);
    p.sideToMove = 1;
    EXPECT_EQ(literal::evaluate(p, false), 0);
}

TEST(LiteralEvaluation, VerboseTextIsTheBoardThenThreeTotalLines) {
    testing::TraceCapture trace;
    literal::setEvaluationCount(0);
    EXPECT_EQ(literal::evaluate(startPosition(), true), 0);
    const std::vector<std::string> lines = trace.lines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "Territory board:");
    EXPECT_EQ(lines[1], "   a  b  c  d  e  f  g  h  i  j");
    EXPECT_EQ(lines[12], "   a  b  c  d  e  f  g  h  i  j");
    EXPECT_EQ(lines[13], "Side to play:  White.");
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "White territory = 30  mobility = 80");
    EXPECT_EQ(lines[16], "Black territory = 30  mobility = 80");
    EXPECT_EQ(lines[17], "Total score = 0");
    // Only the marked codes remain on the dumped board.
    for (int row = 2; row <= 11; ++row) {
        EXPECT_EQ(lines[static_cast<std::size_t>(row)].find("WP"), std::string::npos);
        EXPECT_EQ(lines[static_cast<std::size_t>(row)].find("WE"), std::string::npos);
    }
    EXPECT_EQ(literal::evaluationCount(), 1);
}

TEST(LiteralEvaluation, ContestedSquaresBlockAndWalledSquaresStayEmpty) {
    // White on B9 (11) and Black on C7 (32) both reach C10, C9 and C8 (2, 12, 22) in the first
    // wave. White's second wave from B10 (1) would reach D10 (3) through C10 but the contested
    // square stops it; J1 (99) is walled in by arrows.
    const Position p = walledBoard({11}, {32}, {1, 2, 3, 12, 22, 99}, 0);
    Position w = p;
    int wt = 0;
    int bt = 0;
    literal::computeTerritory(w, wt, bt);
    EXPECT_EQ(wt, 2);
    EXPECT_EQ(bt, 1);
    EXPECT_EQ(w.cell(11), WhiteTerritory);
    EXPECT_EQ(w.cell(1), WhiteTerritory);
    EXPECT_EQ(w.cell(32), BlackTerritory);
    for (Square s : {2, 12, 22})
        EXPECT_EQ(w.cell(s), Contested) << s;
    EXPECT_EQ(w.cell(3), Empty);
    EXPECT_EQ(w.cell(99), Empty);

    // Mobility 4 against 3 adds 1 / 4 = 0: the score is territory alone.
    testing::TraceCapture trace;
    EXPECT_EQ(literal::evaluate(p, false), 1);
    Position blackToMove = p;
    blackToMove.sideToMove = 1;
    EXPECT_EQ(literal::evaluate(blackToMove, false), -1);
}

TEST(LiteralEvaluation, MobilityQuarterTruncatesTowardZero) {
    struct Row {
        std::vector<Square> white, black, empty;
        int expected;  // White's point of view
    };
    const Row rows[] = {
        // Nothing can move: the amazons alone are counted.
        {{0, 99}, {50, 55, 59}, {}, 2 - 3},
        // White A10 reaches B10..F10 (mobility 5); Black on J1 none: 1 + 5 + 5/4 - 1.
        {{0}, {99}, {1, 2, 3, 4, 5}, 1 + 5 + 1 - 1},
        // The mirror: -5 / 4 is -1, not -2.
        {{99}, {0}, {1, 2, 3, 4, 5}, 1 - 1 - 5 - 1},
        // Black mobility 3: -3 / 4 is 0.
        {{99}, {0}, {1, 2, 3}, 1 - 1 - 3},
    };
    testing::TraceCapture trace;
    for (const Row& row : rows) {
        const Position white = walledBoard(row.white, row.black, row.empty, 0);
        const Position black = walledBoard(row.white, row.black, row.empty, 1);
        EXPECT_EQ(literal::evaluate(white, false), row.expected);
        EXPECT_EQ(literal::evaluate(black, false), -row.expected);
    }
}

TEST(LiteralEvaluation, CounterReportsEveryHundredThousandth) {
    testing::TraceCapture trace;
    const Position p = startPosition();
    literal::setEvaluationCount(99998);
    literal::evaluate(p, false);
    EXPECT_EQ(trace.text(), "");
    literal::evaluate(p, false);
    EXPECT_EQ(trace.text(), "nodes = 100000\n");
    ASSERT_EQ(trace.pieces().size(), 1u);
    EXPECT_EQ(literal::evaluationCount(), 100000);
}

// ---- Transposition table ------------------------------------------------------------------

// A position that stands only for its two table keys.
Position keyed(std::uint32_t key0, std::uint32_t key1) {
    Position p;
    p.hashKey = {key0, key1};
    return p;
}

struct Probed {
    bool hit = false;
    int depth = 0, lower = 0, upper = 0;
    Move move;
};

Probed probe(literal::TranspositionTable& table, const Position& p) {
    Probed r;
    r.hit = table.probe(p, r.depth, r.lower, r.upper, r.move);
    return r;
}

TEST(LiteralTable, SameDepthMergesBoundsAndKeepsTheBetterMidpointsMove) {
    literal::TranspositionTable table;
    const Position p = keyed(1234, 5678);
    const Move first{60, 50, 40};
    const Move second{69, 59, 49};
    const Move third{93, 83, 73};
    EXPECT_TRUE(table.store(p, 5, -20000, 5, first));
    EXPECT_TRUE(table.store(p, 5, 5, 20000, second));  // midpoint 10002 > -9997: new move
    Probed r = probe(table, p);
    ASSERT_TRUE(r.hit);
    EXPECT_EQ(r.depth, 5);
    EXPECT_EQ(r.lower, 5);
    EXPECT_EQ(r.upper, 5);
    EXPECT_EQ(r.move, second);
    // Midpoint (-20000 + 3) / 2 = -9998 is not above (5 + 5) / 2: the move stays, upper drops.
    EXPECT_TRUE(table.store(p, 5, -20000, 3, third));
    r = probe(table, p);
    EXPECT_EQ(r.lower, 5);
    EXPECT_EQ(r.upper, 3);
    EXPECT_EQ(r.move, second);
    EXPECT_EQ(table.entries.size(), 1u);
    EXPECT_EQ(table.addSuccesses, 3);
}

TEST(LiteralTable, SmallerDepthFailsAndGreaterDepthOverwrites) {
    literal::TranspositionTable table;
    const Position p = keyed(77, 88);
    const Move m{60, 50, 40};
    ASSERT_TRUE(table.store(p, 5, -20000, 5, m));
    EXPECT_FALSE(table.store(p, 3, 1, 1, Move{}));
    EXPECT_EQ(table.addFailures, 1);
    Probed r = probe(table, p);
    EXPECT_EQ(r.depth, 5);
    EXPECT_EQ(r.lower, -20000);
    EXPECT_EQ(r.upper, 5);
    EXPECT_EQ(r.move, m);
    // A static value cannot replace the searched entry, nor does the unequal pair serve as one.
    table.storeEvaluation(p, 7);
    EXPECT_EQ(table.addFailures, 2);
    int value = 0;
    EXPECT_FALSE(table.probeEvaluation(p, value));
    ASSERT_TRUE(table.store(p, 6, 9, 9, Move{}));
    r = probe(table, p);
    EXPECT_EQ(r.depth, 6);
    EXPECT_EQ(r.lower, 9);
    EXPECT_EQ(r.move, Move{});
    EXPECT_TRUE(table.probeEvaluation(p, value));  // an exact entry of any depth serves
    EXPECT_EQ(value, 9);
}

TEST(LiteralTable, EqualFirstKeyIsALockCollision) {
    literal::TranspositionTable table;
    const Position a = keyed(5, 1);
    const Position b = keyed(5, 2);
    const Position c = keyed(5 + 0x80000, 3);  // same bucket, other first key: no collision
    table.storeEvaluation(a, 10);
    table.storeEvaluation(c, 30);
    table.storeEvaluation(b, 20);
    EXPECT_EQ(table.lockCollisions, 1);  // b's store passed a
    EXPECT_EQ(table.buckets[5], (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(table.maximumListSize, 3);
    int value = 0;
    ASSERT_TRUE(table.probeEvaluation(b, value));
    EXPECT_EQ(value, 20);
    EXPECT_EQ(table.lockCollisions, 2);
    EXPECT_FALSE(table.probeEvaluation(keyed(5, 4), value));
    EXPECT_EQ(table.lockCollisions, 4);
    EXPECT_EQ(table.lookupSuccesses, 1);
    EXPECT_EQ(table.lookupFailures, 1);
}

TEST(LiteralTable, FullTableReplacesInCursorOrderSkippingDeeperEntries) {
    literal::TranspositionTable table;
    const std::int32_t max = literal::TranspositionTable::MAXIMUM_ENTRIES;
    // Entries 0..8 searched to depth 3, the rest static values; key0 = entry number.
    for (std::int32_t i = 0; i < max; ++i) {
        ASSERT_TRUE(
            table.store(keyed(static_cast<std::uint32_t>(i), 1), i < 9 ? 3 : 0, 0, 0, Move{}));
    }
    EXPECT_EQ(table.replaceCursor, max - 1);
    // The 524289th position, at depth 3, takes entry 0 (not deeper than 3).
    ASSERT_TRUE(table.store(keyed(0x80000, 2), 3, 0, 0, Move{}));
    EXPECT_EQ(table.replaceCursor, 0);
    EXPECT_EQ(table.buckets[0], (std::vector<std::int32_t>{0}));
    EXPECT_EQ(table.entries[0][0], 0x80000);
    // At depth 2 the cursor passes entries 1..8 and takes 9, leaving bucket 9 empty.
    ASSERT_TRUE(table.store(keyed(0x80001, 2), 2, 0, 0, Move{}));
    EXPECT_EQ(table.replaceCursor, 9);
    EXPECT_TRUE(table.buckets[9].empty());
    EXPECT_EQ(table.buckets[1], (std::vector<std::int32_t>{1, 9}));
    ASSERT_TRUE(table.store(keyed(0x80002, 2), 0, 0, 0, Move{}));
    EXPECT_EQ(table.replaceCursor, 10);
    EXPECT_EQ(table.entries.size(), static_cast<std::size_t>(max));
    int value = 0;
    EXPECT_FALSE(table.probeEvaluation(keyed(9, 1), value));
    EXPECT_TRUE(table.probeEvaluation(keyed(0x80001, 2), value));
    EXPECT_TRUE(table.probeEvaluation(keyed(1, 1), value));
}

TEST(LiteralTable, TenthAdvanceTakesTheEntryWhateverItsDepth) {
    literal::TranspositionTable table;
    const std::int32_t max = literal::TranspositionTable::MAXIMUM_ENTRIES;
    for (std::int32_t i = 0; i < max; ++i) {
        ASSERT_TRUE(
            table.store(keyed(static_cast<std::uint32_t>(i), 1), i < 20 ? 9 : 0, 0, 0, Move{}));
    }
    ASSERT_TRUE(table.store(keyed(0x80000, 2), 1, 0, 0, Move{}));
    EXPECT_EQ(table.replaceCursor, 9);
    EXPECT_EQ(table.entries[9][2], 1);
    EXPECT_TRUE(table.buckets[9].empty());
}

TEST(LiteralTable, FreshStatisticsBlock) {
    testing::TraceCapture trace;
    literal::TranspositionTable table;
    table.printStatistics();
    EXPECT_EQ(trace.text(),
              "\n-- Transposition Table Stats --\n"
              "Maximum Table Size    : 524288\n"
              "Current Table Size    : 0\n"
              "Table Index Size      : 524288\n"
              "Add Successes         : 0\n"
              "Add Failures          : 0\n"
              "Lookup Successes      : 0\n"
              "Lookup Failures       : 0\n"
              "Lock Collisions       : 0\n"
              "Maximum list-size     : 0\n"
              "\n");
}

// ---- Search -------------------------------------------------------------------------------

// The lines of one iteration: "Depth = d", "First = g0", pass lines, "iScore = g", root line.
struct Iteration {
    int depth = 0;
    int firstGuess = 0;
    std::vector<std::string> passes;
    int score = 0;
    std::string rootLine;
};

// Reads a think's trace from just after the branch-factor line, checking the driver's lines
// as it goes. Returns the iterations; `next` is left at the "Nodes per second" line.
std::vector<Iteration> readIterations(const std::vector<std::string>& lines, std::size_t& next) {
    std::vector<Iteration> out;
    while (next < lines.size() && startsWith(lines[next], "Depth = ")) {
        Iteration it;
        it.depth = std::stoi(lines[next++].substr(8));
        EXPECT_TRUE(startsWith(lines[next], "First = "));
        it.firstGuess = std::stoi(lines[next++].substr(8));
        while (lines[next].find(" iUpperBound = ") != std::string::npos ||
               lines[next].find(" iLowerBound = ") != std::string::npos) {
            it.passes.push_back(lines[next++]);
        }
        EXPECT_TRUE(startsWith(lines[next], "iScore = ")) << lines[next];
        it.score = std::stoi(lines[next++].substr(9));
        it.rootLine = lines[next++];
        EXPECT_EQ(lines[next++], "Depth = " + std::to_string(out.size() + 1));
        EXPECT_TRUE(startsWith(lines[next++], "Elapsed time = "));
        EXPECT_TRUE(startsWith(lines[next++], "Nodes = "));
        EXPECT_EQ(lines[next++], "");
        out.push_back(it);
    }
    return out;
}

std::string rootLineStart(int score, const Move& m) {
    return (score >= 0 ? " +" : " ") + std::to_string(score) + ": " + moveText(m) + "  ";
}

TEST(LiteralSearch, DepthOneThinkFromTheStart) {
    testing::TraceCapture trace;
    const literal::ThinkResult r = literal::think(startPosition(), 1, -1);
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(isLegalMove(startPosition(), r.move));
    const std::vector<std::string> lines = trace.lines();
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Estimated branch factor = 8");
    std::size_t next = 1;
    const std::vector<Iteration> its = readIterations(lines, next);
    ASSERT_EQ(its.size(), 1u);
    EXPECT_EQ(its[0].depth, 1);
    EXPECT_EQ(its[0].firstGuess, 0);
    ASSERT_FALSE(its[0].passes.empty());
    const std::string& last = its[0].passes.back();
    EXPECT_TRUE(startsWith(last, moveText(r.move) + " i")) << last;
    EXPECT_EQ(last.substr(last.rfind(' ') + 1), std::to_string(its[0].score));
    EXPECT_TRUE(startsWith(its[0].rootLine, rootLineStart(its[0].score, r.move)))
        << its[0].rootLine;
    EXPECT_EQ(r.statusText, "Depth = 1  Score = " + std::string(its[0].score > 0 ? "+" : "") +
                                std::to_string(its[0].score));
    // Each of White's 2176 children is evaluated at most once; their values are cached.
    EXPECT_GT(r.evaluations, 0);
    EXPECT_LE(r.evaluations, 2176);
    EXPECT_EQ(lines[next - 2], "Nodes = " + std::to_string(r.evaluations));
    EXPECT_TRUE(startsWith(lines[next++], "Nodes per second = "));
    EXPECT_EQ(lines[next++], "");
    EXPECT_EQ(lines[next++], "-- Transposition Table Stats --");
    EXPECT_EQ(lines.size(), next + 10);
    EXPECT_EQ(lines.back(), "");
}

TEST(LiteralSearch, DepthTwoThinkStartsFromTheFirstIterationsScore) {
    testing::TraceCapture trace;
    const literal::ThinkResult r = literal::think(startPosition(), 2, -1);
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(isLegalMove(startPosition(), r.move));
    const std::vector<std::string> lines = trace.lines();
    EXPECT_EQ(lines[0], "Estimated branch factor = 8");
    std::size_t next = 1;
    const std::vector<Iteration> its = readIterations(lines, next);
    ASSERT_EQ(its.size(), 2u);
    EXPECT_EQ(its[1].depth, 2);
    EXPECT_EQ(its[1].firstGuess, its[0].score);
    EXPECT_TRUE(startsWith(its[1].rootLine, rootLineStart(its[1].score, r.move)))
        << its[1].rootLine;
    EXPECT_EQ(r.statusText, "Depth = 2  Score = " + std::string(its[1].score > 0 ? "+" : "") +
                                std::to_string(its[1].score));
    EXPECT_TRUE(startsWith(lines[next], "Nodes per second = "));
}

TEST(LiteralSearch, TimeLimitZeroStopsAfterTheFirstIteration) {
    testing::TraceCapture trace;
    const literal::ThinkResult r = literal::think(startPosition(), -1, 0);
    ASSERT_TRUE(r.found);
    std::size_t next = 1;
    EXPECT_EQ(readIterations(trace.lines(), next).size(), 1u);
}

TEST(LiteralSearch, NoLegalMoveAtTheRoot) {
    // White on A10 is boxed in by arrows; Black has room.
    const Position p = walledBoard({0}, {99}, {98, 97}, 0);
    testing::TraceCapture trace;
    const literal::ThinkResult r = literal::think(p, 3, -1);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.move, Move{});
    EXPECT_EQ(r.statusText, "");
    EXPECT_EQ(r.evaluations, 0);
    const std::string expected =
        "Estimated branch factor = 8\n"
        "Depth = 1\n"
        "First = 0\n"
        " iUpperBound = -10000\n"
        " iLowerBound = -10000\n"
        "iScore = -10000\n"
        " -10000: \n"
        "\n-- Transposition Table Stats --\n"
        "Maximum Table Size    : 524288\n"
        "Current Table Size    : 0\n"
        "Table Index Size      : 524288\n"
        "Add Successes         : 0\n"
        "Add Failures          : 0\n"
        "Lookup Successes      : 0\n"
        "Lookup Failures       : 2\n"
        "Lock Collisions       : 0\n"
        "Maximum list-size     : 0\n"
        "\n";
    EXPECT_EQ(trace.text(), expected);
}

TEST(LiteralSearch, AWonGameEndsTheIterationsAtTwoPlies) {
    // Black on A10 is boxed in; White on J1 has a little room. One ply sees only static values;
    // two see Black without a move.
    const Position p = walledBoard({99}, {0}, {98, 97, 89}, 0);
    testing::TraceCapture trace;
    const literal::ThinkResult r = literal::think(p, -1, -1);
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(isLegalMove(p, r.move));
    EXPECT_EQ(r.statusText, "Depth = 2  Score = +10000");
    std::size_t next = 1;
    const std::vector<Iteration> its = readIterations(trace.lines(), next);
    ASSERT_EQ(its.size(), 2u);
    EXPECT_LT(its[0].score, 1000);
    EXPECT_EQ(its[1].score, 10000);
}

}  // namespace
}  // namespace wintarvo
