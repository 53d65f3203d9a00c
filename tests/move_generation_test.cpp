#include <gtest/gtest.h>

#include "model/board.h"
#include "model/move_generation.h"
#include "model/test_positions.h"
#include "support/random_games.h"
#include "support/slow_rules.h"

namespace wintarvo {
namespace {

Position start() {
    Position p;
    p.setStartPosition();
    return p;
}

Position testPosition(int n) {
    Position p;
    setTestPosition(p, n);
    return p;
}

TEST(MoveGeneration, StartPositionCountsAndEnds) {
    const Position p = start();
    MoveList list;
    generateMoves(p, list);
    ASSERT_EQ(list.size(), 2176u);
    EXPECT_EQ(moveText(list.front()), "A4-A5 (A6)");
    EXPECT_EQ(moveText(list.back()), "G1-J1 (E1)");
    for (Square s : {60, 69, 93, 96, 3, 6, 30, 39}) EXPECT_EQ(mobility(p, s), 20) << s;
}

TEST(MoveGeneration, DestinationsOfA4InDirectionOrder) {
    const Position p = start();
    SquareList list;
    destinations(p, 60, list);
    const std::vector<Square> expected = {50, 40, 51, 42, 33, 24, 15, 61, 62, 63, 64,
                                          65, 66, 67, 68, 70, 80, 90, 71, 82};
    ASSERT_EQ(list.count, static_cast<int>(expected.size()));
    for (int i = 0; i < list.count; ++i) EXPECT_EQ(list[i], expected[static_cast<std::size_t>(i)]);
    SquareList more = list;  // appends after what is there
    destinations(p, 60, more);
    EXPECT_EQ(more.count, 40);
}

TEST(MoveGeneration, MatchesTheSlowGeneratorMoveForMoveOnRandomPositions) {
    MoveList list;
    int checked = 0;
    for (const Position& p : testing::randomPositions(30, 2024)) {
        generateMoves(p, list);
        const std::vector<Move> slow = testing::slowGenerateMoves(p);
        ASSERT_EQ(list.size(), slow.size());
        for (std::size_t i = 0; i < slow.size(); ++i) ASSERT_EQ(list[i], slow[i]) << i;
        ASSERT_EQ(countMoves(Board::fromPosition(p)), slow.size());
        ASSERT_EQ(hasNoLegalMove(p), slow.empty());
        for (Square s = 0; s < 100; ++s) {
            SquareList d;
            destinations(p, s, d);
            const auto expected = testing::slowDestinations(p, s);
            ASSERT_EQ(d.count, static_cast<int>(expected.size()));
            ASSERT_EQ(mobility(p, s), d.count);
        }
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

struct PerftRow {
    int position;  // 0 = start, 1..3 test positions
    int depth;
    std::uint64_t nodes;
};

class PerftRows : public ::testing::TestWithParam<PerftRow> {};

TEST_P(PerftRows, AgreesWithTheSlowGenerator) {
    const PerftRow row = GetParam();
    const Position p = row.position == 0 ? start() : testPosition(row.position);
    const std::uint64_t fast = perft(Board::fromPosition(p), row.depth);
    EXPECT_EQ(fast, row.nodes);
    EXPECT_EQ(testing::slowPerft(p, row.depth), fast);
}

INSTANTIATE_TEST_SUITE_P(Positions, PerftRows,
                         ::testing::Values(PerftRow{0, 1, 2176}, PerftRow{0, 2, 4307152},
                                           PerftRow{1, 1, 511}, PerftRow{1, 2, 298730},
                                           PerftRow{2, 1, 227}, PerftRow{2, 2, 45043},
                                           PerftRow{3, 1, 967}, PerftRow{3, 2, 1125449}));

TEST(MoveGeneration, ArrowMayLandOnTheSquareJustLeft) {
    const Position p = start();
    EXPECT_TRUE(isLegalMove(p, Move{60, 50, 60}));
}

TEST(MoveGeneration, IsLegalMoveRejections) {
    Position p = start();
    EXPECT_TRUE(isLegalMove(p, Move{60, 50, 40}));
    EXPECT_FALSE(isLegalMove(p, Move{-1, 50, 40}));
    EXPECT_FALSE(isLegalMove(p, Move{60, 50, -1}));
    EXPECT_FALSE(isLegalMove(p, Move{30, 40, 50}));    // Black's amazon, White to move
    EXPECT_FALSE(isLegalMove(p, Move{60, 20, 10}));    // through the black amazon on A7
    EXPECT_FALSE(isLegalMove(p, Move{60, 30, 20}));    // onto an amazon
    EXPECT_FALSE(isLegalMove(p, Move{93, 83, 3}));     // arrow onto an amazon
    EXPECT_FALSE(isLegalMove(p, Move{60, 50, 255}));   // off the board
    EXPECT_FALSE(isLegalMove(p, Move{60, 52, 40}));    // not a queen line
    p.applyMove(Move{60, 50, 40});
    EXPECT_FALSE(isLegalMove(p, Move{30, 40, 41}));    // onto an arrow
    EXPECT_FALSE(isLegalMove(p, Move{30, 50, 51}));    // through an arrow
}

TEST(MoveGeneration, EnclosedAmazonsHaveNoMove) {
    Position p;
    p.clearBoard();
    // A white amazon in the corner walled in by arrows; a black one free.
    p.setCell(0, WhiteAmazon);
    p.setCell(1, Arrow);
    p.setCell(10, Arrow);
    p.setCell(11, Arrow);
    p.setCell(55, BlackAmazon);
    p.recomputeHash();
    MoveList list;
    generateAmazonMoves(p, 0, list);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(hasNoLegalMove(p));
    p.sideToMove = 1;
    EXPECT_FALSE(hasNoLegalMove(p));
    p.setCell(11, Empty);  // one opening is enough: step there and shoot back
    p.sideToMove = 0;
    generateMoves(p, list);
    EXPECT_FALSE(list.empty());
    EXPECT_EQ(list.front(), (Move{0, 11, 0}));
}

TEST(RayTable, NoRayWrapsBetweenTheEdgeFiles) {
    for (Square s = 0; s < 100; ++s) {
        for (int d = 0; d < DIRECTIONS; ++d) {
            const auto& ray = RayTable::ray(s, d);
            EXPECT_EQ(ray[9], -1);
            int prevColumn = s % 10;
            for (std::int8_t t : ray) {
                if (t < 0) break;
                EXPECT_LE(std::abs(t % 10 - prevColumn), 1) << s << " dir " << d;
                prevColumn = t % 10;
            }
        }
    }
    // Directions that step left have no square from file A; those that step right none from J.
    for (Square s = 0; s < 100; s += 10) {
        for (int d : {0, 3, 5}) EXPECT_EQ(RayTable::ray(s, d)[0], -1) << s << " dir " << d;
        for (int d : {2, 4, 7}) EXPECT_EQ(RayTable::ray(s + 9, d)[0], -1) << s + 9 << " dir " << d;
    }
}

TEST(MoveGeneration, AmazonMovesOnAMarkedWorkingCopyStopAtEveryCode) {
    // Marking codes block like arrows.
    Position p;
    p.clearBoard();
    p.setCell(0, WhiteAmazon);
    p.setCell(2, Contested);
    p.setCell(20, WhiteTerritory);
    p.setCell(22, BlackFront);
    p.recomputeHash();
    SquareList d;
    destinations(p, 0, d);
    EXPECT_EQ(d.count, 3);  // 1, 11, 10
    MoveList list;
    generateMoves(p, list);
    EXPECT_EQ(list.size(), testing::slowGenerateMoves(p).size());
}

}  // namespace
}  // namespace wintarvo
