#include <gtest/gtest.h>

#include <random>

#include "model/board.h"
#include "model/move_generation.h"
#include "model/position.h"
#include "model/test_positions.h"
#include "model/zobrist_keys.h"
#include "support/random_games.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

TEST(ZobristKeys, FollowTheGeneratorSeedAndFillOrder) {
    std::uint32_t state = 260990773u;
    auto next = [&state]() {
        state = state * 214013u + 2531011u;
        return (state >> 16) & 0x7FFFu;
    };
    for (int i = 0; i < 600; ++i) {
        const std::uint32_t hi = next();
        const std::uint32_t lo = next();
        ASSERT_EQ(ZobristKeys::entry(i), (hi << 16) | lo) << i;
        ASSERT_EQ(ZobristKeys::entry(i) & 0x80008000u, 0u) << i;
    }
    // Word 1, black amazon, square 99 is the very last entry; word 0, arrow, square 0 the first.
    EXPECT_EQ(ZobristKeys::key(1, BlackAmazon, 99), ZobristKeys::entry(599));
    EXPECT_EQ(ZobristKeys::key(0, Arrow, 0), ZobristKeys::entry(0));
    EXPECT_EQ(ZobristKeys::key(1, Arrow, 5), ZobristKeys::entry(305));
    EXPECT_EQ(ZobristKeys::key(0, WhiteAmazon, 7), ZobristKeys::entry(107));
}

TEST(Position, StartPosition) {
    Position p;
    p.setStartPosition();
    EXPECT_EQ(p.sideToMove, 0);
    EXPECT_EQ(p.arrowCount(), 0);
    for (Square s : {3, 6, 30, 39}) EXPECT_EQ(p.cell(s), BlackAmazon);
    for (Square s : {60, 69, 93, 96}) EXPECT_EQ(p.cell(s), WhiteAmazon);
    int pieces = 0;
    for (CellCode c : p.cells) pieces += c != Empty;
    EXPECT_EQ(pieces, 8);
    std::uint32_t h0 = 0;
    for (Square s : {3, 6, 30, 39}) h0 ^= ZobristKeys::key(0, BlackAmazon, s);
    for (Square s : {60, 69, 93, 96}) h0 ^= ZobristKeys::key(0, WhiteAmazon, s);
    EXPECT_EQ(p.hashKey[0], h0);
}

TEST(Position, OneMoveFlipsSideAndAddsOneToTheTableKey) {
    Position p;
    p.setStartPosition();
    p.applyMove(Move{60, 50, 40});
    EXPECT_EQ(p.arrowCount(), 1);
    EXPECT_EQ(p.sideToMove, 1);
    EXPECT_EQ(p.hashValue(0), p.hashKey[0] + 1);
    EXPECT_EQ(p.hashValue(1), p.hashKey[1] + 1);
    p.sideToMove = 0;
    EXPECT_EQ(p.hashValue(0), p.hashKey[0]);
}

TEST(Position, ClearBoardKeepsHashWords) {
    Position p;
    p.setStartPosition();
    const auto words = p.hashKey;
    p.sideToMove = 1;
    p.clearBoard();
    EXPECT_EQ(p.sideToMove, 0);
    EXPECT_EQ(p.hashKey, words);
    p.recomputeHash();
    EXPECT_EQ(p.hashKey[0], 0u);
    EXPECT_EQ(p.hashKey[1], 0u);
}

TEST(Position, ArrowShotBackToTheOldSquareRoundTrips) {
    Position p;
    p.setStartPosition();
    const Position before = p;
    const Move m{60, 50, 60};
    p.applyMove(m);
    EXPECT_EQ(p.cell(60), Arrow);
    EXPECT_EQ(p.cell(50), WhiteAmazon);
    p.undoMove(m);
    EXPECT_FALSE(p.differs(before));
}

TEST(Position, ApplyAndUndoRestoreCellsAndHashOverRandomGames) {
    std::mt19937 rng(12345);
    for (int game = 0; game < 40; ++game) {
        Position p;
        p.setStartPosition();
        std::vector<Position> history{p};
        const std::vector<Move> moves = testing::playRandomGame(p, 92, rng);
        Position replay = history[0];
        for (const Move& m : moves) {
            replay.applyMove(m);
            Position fresh = replay;
            fresh.recomputeHash();
            ASSERT_EQ(fresh.hashKey, replay.hashKey);  // incremental == recomputed
            history.push_back(replay);
        }
        for (std::size_t i = moves.size(); i-- > 0;) {
            replay.undoMove(moves[i]);
            ASSERT_FALSE(replay.differs(history[i])) << "game " << game << " ply " << i;
            ASSERT_EQ(replay.cells, history[i].cells);
        }
    }
}

TEST(Position, DiffersComparesSideHashAndCells) {
    Position a;
    a.setStartPosition();
    Position b = a;
    EXPECT_FALSE(a.differs(b));
    b.sideToMove = 1;
    EXPECT_TRUE(a.differs(b));
    b = a;
    b.hashKey[1] ^= 1;
    EXPECT_TRUE(a.differs(b));
    b = a;
    b.setCell(55, Arrow);  // cells alone, hash untouched
    EXPECT_TRUE(a.differs(b));
}

TEST(Position, BoardConversionIsExact) {
    for (const Position& p : testing::randomPositions(10, 77)) {
        const Board b = Board::fromPosition(p);
        const Position back = b.toPosition();
        ASSERT_FALSE(back.differs(p));
        ASSERT_EQ(b.hashValue(0), p.hashValue(0));
        ASSERT_EQ(b.hashValue(1), p.hashValue(1));
    }
}

TEST(Position, BoardApplyMoveMatchesPosition) {
    std::mt19937 rng(99);
    Position p;
    p.setStartPosition();
    Board b = Board::fromPosition(p);
    MoveList list;
    for (int ply = 0; ply < 92; ++ply) {
        generateMoves(p, list);
        if (list.empty()) break;
        const Move m = list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(rng)];
        p.applyMove(m);
        b.applyMove(m);
        ASSERT_FALSE(b.toPosition().differs(p)) << ply;
    }
}

TEST(DumpPosition, StartPositionText) {
    Position p;
    p.setStartPosition();
    testing::TraceCapture trace;
    dumpPosition(p);
    const std::string expected =
        "   a  b  c  d  e  f  g  h  i  j\n"
        "X  == -- == BP == -- BP -- == --  X  \n"
        "9  -- == -- == -- == -- == -- ==  9  \n"
        "8  == -- == -- == -- == -- == --  8  \n"
        "7  BP == -- == -- == -- == -- BP  7  \n"
        "6  == -- == -- == -- == -- == --  6  \n"
        "5  -- == -- == -- == -- == -- ==  5  \n"
        "4  WP -- == -- == -- == -- == WP  4  \n"
        "3  -- == -- == -- == -- == -- ==  3  \n"
        "2  == -- == -- == -- == -- == --  2  \n"
        "1  -- == -- WP -- == WP == -- ==  1  \n"
        "   a  b  c  d  e  f  g  h  i  j\n"
        "Side to play:  White.\n"
        "\n";
    EXPECT_EQ(trace.text(), expected);
}

TEST(DumpPosition, MarkingCodesAndBlackToMove) {
    Position p;
    p.clearBoard();
    const CellCode codes[] = {Arrow, WhiteTerritory, BlackTerritory, WhiteFront, BlackFront, Contested, 9};
    for (int i = 0; i < 7; ++i) p.setCell(90 + i, codes[i]);
    p.sideToMove = 1;
    testing::TraceCapture trace;
    dumpPosition(p);
    const auto lines = trace.lines();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[10], "1  [] WT BT WE BE DE ?? == -- ==  1  ");
    EXPECT_EQ(lines[12], "Side to play:  Black.");
    EXPECT_EQ(lines[13], "");
}

TEST(DumpMoveSequence, WritesElevenMovesFromTheLastThenAnEllipsis) {
    MoveList moves;
    for (int i = 0; i < 12; ++i) moves.push_back(Move{i, i + 10, i + 20});
    testing::TraceCapture trace;
    dumpMoveSequence(moves);
    std::string expected;
    for (int i = 11; i >= 1; --i) expected += moveText(Move{i, i + 10, i + 20}) + "  ";
    EXPECT_EQ(trace.text(), expected + "... ");
    trace.clear();
    moves.pop_back();  // exactly eleven: no ellipsis
    dumpMoveSequence(moves);
    EXPECT_EQ(trace.text().find("..."), std::string::npos);
    trace.clear();
    dumpMoveSequence(MoveList{});
    EXPECT_EQ(trace.text(), "");
}

TEST(TestPositions, ArrowCountsAndAmazons) {
    const int arrows[] = {19, 32, 10};
    for (int n = 1; n <= 3; ++n) {
        Position p;
        setTestPosition(p, n);
        EXPECT_EQ(p.arrowCount(), arrows[n - 1]);
        EXPECT_EQ(p.sideToMove, 0);
        int w = 0, b = 0;
        for (CellCode c : p.cells) {
            w += c == WhiteAmazon;
            b += c == BlackAmazon;
        }
        EXPECT_EQ(w, 4);
        EXPECT_EQ(b, 4);
        Position fresh = p;
        fresh.recomputeHash();
        EXPECT_EQ(fresh.hashKey, p.hashKey);
    }
    Position p;
    setTestPosition(p, 3);
    for (Square s : {6, 41, 45, 64}) EXPECT_EQ(p.cell(s), BlackAmazon) << s;
    for (Square s : {36, 65, 78, 93}) EXPECT_EQ(p.cell(s), WhiteAmazon) << s;
    for (Square s : {25, 33, 40, 42, 43, 57, 75, 81, 85, 94}) EXPECT_EQ(p.cell(s), Arrow) << s;
}

}  // namespace
}  // namespace wintarvo
