#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <set>
#include <vector>

#include "endgame/region_solver.h"
#include "endgame/regions.h"
#include "endgame/split_solver.h"
#include "model/move_generation.h"
#include "model/position_diagram.h"
#include "search/search_engine.h"
#include "search/stop_flag.h"
#include "support/random_games.h"
#include "support/search_run.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

using testing::runSearch;

constexpr std::int64_t PLENTY = std::int64_t{1} << 40;

// Ten rows of ten squares, rank 10 first, written one after another: W, B, x, and . empty.
Position positionOf(const std::string& squares, int side = 0) {
    return positionFromDiagram(squares, side);
}

// Empty squares joined to an amazon by king steps, worked out with row and column arithmetic.
int emptyNearAmazons(const Board& b) {
    std::array<bool, 100> seen{};
    std::vector<Square> todo;
    for (Square s = 0; s < 100; ++s)
        if (bits::has(b.amazons[0], s)) seen[static_cast<std::size_t>(s)] = true, todo.push_back(s);
    int n = 0;
    while (!todo.empty()) {
        const Square s = todo.back();
        todo.pop_back();
        for (Square t = 0; t < 100; ++t) {
            if (seen[static_cast<std::size_t>(t)] || bits::has(b.arrows, t)) continue;
            if (std::abs(t / 10 - s / 10) > 1 || std::abs(t % 10 - s % 10) > 1) continue;
            seen[static_cast<std::size_t>(t)] = true, todo.push_back(t), ++n;
        }
    }
    return n;
}

// The count the solver must agree with: every move of White's amazons tried in turn, no table,
// no pieces, until a sequence uses every empty square. Bounded, it also skips a move that
// leaves no more empty squares near an amazon than the best sequence so far: that makes 12 to
// 14 squares affordable.
int bruteForceMoves(const Board& b, bool bounded) {
    const int bound = bounded ? emptyNearAmazons(b) : bits::count(b.emptySquares());
    MoveList moves;
    generateMoves(b, moves);
    int best = 0;
    for (const Move& m : moves) {
        Board child = b;
        child.applyMove(m);
        child.sideToMove = 0;
        if (bounded && 1 + emptyNearAmazons(child) <= best) continue;
        best = std::max(best, 1 + bruteForceMoves(child, bounded));
        if (best == bound) break;
    }
    return best;
}

// The region alone: its amazons as White's, every other square an arrow.
Board regionBoard(const Region& r) {
    Board b;
    b.amazons[0] = r.amazons;
    b.arrows = bits::ALL & ~r.squares();
    return b;
}

// Every 8-connected shape of `size` squares up to rotation and reflection, as squares from A10,
// grown from the shapes one square smaller (in an 8 x 8 box, bit 8 * row + column).
std::vector<std::vector<Square>> shapesOfSize(int size) {
    auto canonical = [](const std::vector<std::pair<int, int>>& cells) {
        std::uint64_t best = ~std::uint64_t{0};
        for (int t = 0; t < 8; ++t) {
            std::vector<std::pair<int, int>> moved;
            for (auto [r, c] : cells) {
                const int a = t & 1 ? -r : r, b = t & 2 ? -c : c;
                moved.push_back(t & 4 ? std::pair{b, a} : std::pair{a, b});
            }
            int r0 = 9, c0 = 9;
            for (auto [r, c] : moved)
                r0 = std::min(r0, r), c0 = std::min(c0, c);
            std::uint64_t mask = 0;
            for (auto [r, c] : moved)
                mask |= std::uint64_t{1} << (8 * (r - r0) + (c - c0));
            best = std::min(best, mask);
        }
        return best;
    };
    auto cellsOf = [](std::uint64_t shape) {
        std::vector<std::pair<int, int>> cells;
        for (int b = 0; b < 64; ++b)
            if (shape >> b & 1) cells.push_back({b / 8, b % 8});
        return cells;
    };
    std::set<std::uint64_t> level = {1};
    for (int n = 1; n < size; ++n) {
        std::set<std::uint64_t> next;
        for (std::uint64_t shape : level) {
            std::vector<std::pair<int, int>> cells = cellsOf(shape);
            for (int i = 0; i < 9 * n; ++i) {
                const auto [r, c] = cells[static_cast<std::size_t>(i / 9)];
                const std::pair added{r + i % 9 / 3 - 1, c + i % 3 - 1};
                if (std::find(cells.begin(), cells.end(), added) != cells.end()) continue;
                cells.push_back(added);
                next.insert(canonical(cells));
                cells.pop_back();
            }
        }
        level = std::move(next);
    }
    std::vector<std::vector<Square>> out(level.size());
    auto shape = level.begin();
    for (auto& squares : out)
        for (auto [r, c] : cellsOf(*shape++))
            squares.push_back(10 * r + c);
    return out;
}

Region regionOf(const std::vector<Square>& squares, const std::vector<Square>& amazons) {
    Region r;
    for (Square s : squares)
        r.empty |= bits::of(s);
    for (Square s : amazons)
        r.amazons |= bits::of(s);
    r.empty &= ~r.amazons;
    return r;
}

// A random 8-connected region of n squares, the first `amazons` of them (shuffled) amazons.
// Thin ones grow only onto squares that touch the shape at one square: trees of corridors,
// whose junctions an amazon cannot always clear.
Region randomRegion(int n, int amazons, bool thin, std::mt19937& rng) {
    std::vector<Square> shape;
    for (int tries = 0; static_cast<int>(shape.size()) < n; ++tries) {
        if (tries % 10000 == 0) shape = {static_cast<Square>(rng() % 100)};  // stuck: start again
        const Square s = shape[rng() % shape.size()];
        const int r = s / 10 + static_cast<int>(rng() % 3) - 1;
        const int c = s % 10 + static_cast<int>(rng() % 3) - 1;
        if (r < 0 || r > 9 || c < 0 || c > 9) continue;
        if (std::find(shape.begin(), shape.end(), 10 * r + c) != shape.end()) continue;
        int touching = 0;
        for (Square x : shape)
            touching += std::abs(x / 10 - r) <= 1 && std::abs(x % 10 - c) <= 1;
        if (!thin || touching == 1) shape.push_back(10 * r + c);
    }
    std::shuffle(shape.begin(), shape.end(), rng);
    return regionOf(shape, std::vector<Square>(shape.begin(), shape.begin() + amazons));
}

// Plays the moves the solver's table holds for the lower bounds of the regions of a set of
// squares, each checked for legality, and returns how many it played.
int replayLowerBound(RegionSolver& solver, Bits amazons, Bits squares) {
    std::vector<Region> pieces;
    regions::appendRegions(amazons, squares, pieces);
    int played = 0;
    for (const Region& piece : pieces) {
        std::int64_t none = 0;
        Move first;
        if (solver.solve(piece, none, &first).lower == 0) continue;
        const bool legal = isLegalMove(regionBoard(piece).toPosition(), first);
        EXPECT_TRUE(legal) << moveText(first);
        if (!legal) return played;
        played +=
            1 + replayLowerBound(solver, piece.amazons ^ bits::of(first.from) ^ bits::of(first.to),
                                 piece.squares() & ~bits::of(first.arrow));
    }
    return played;
}

// The boards of random games from the first split on.
std::vector<Board> splitBoards(int games, std::uint32_t seed) {
    std::vector<Board> out;
    for (const Position& p : testing::randomPositions(games, seed)) {
        const Board b = Board::fromPosition(p);
        if (isSplit(b)) out.push_back(b);
    }
    return out;
}

std::vector<Region> regionsOf(const Board& b, int side) {
    std::vector<Region> list;
    regions::appendRegions(b.amazons[side], freeSquares(b), list);
    return list;
}

int bruteForceSide(const Board& b, int side) {
    int n = 0;
    for (const Region& r : regionsOf(b, side))
        n += bruteForceMoves(regionBoard(r), true);
    return n;
}

TEST(Regions, SplitOrMixed) {
    const std::vector<std::pair<std::string, bool>> table = {
        // Touching amazons of both colours share a region.
        {"WB........xx", false},
        // A wall of arrows splits; one diagonal step between two arrows does not.
        {"W.x.........x.........x.......xxx", true},
        {"W.x.........x........x........xx", false},
        // A side without amazons has nothing to mix with.
        {"W", true},
        // Amazons of one colour walled in together.
        {"WWx.......Wxx.......xx", true},
    };
    for (const auto& [rows, split] : table) {
        std::string squares = rows + std::string(100 - rows.size(), '.');
        if (rows != "W") squares[99] = 'B';
        EXPECT_EQ(isSplit(Board::fromPosition(positionOf(squares))), split) << rows;
    }
    Position start;
    start.setStartPosition();
    EXPECT_FALSE(isSplit(Board::fromPosition(start)));
}

TEST(Regions, AnArrowThatCutsNoRegionLeavesAMixedBoardMixed) {
    MoveList moves;
    int splits = 0;
    for (const Position& p : testing::randomPositions(20, 5)) {
        const Board b = Board::fromPosition(p);
        if (isSplit(b)) continue;
        generateMoves(b, moves);
        for (const Move& m : moves) {
            Board child = b;
            child.applyMove(m);
            splits += isSplit(child);
            ASSERT_FALSE(staysMixed(child, m.arrow) && isSplit(child)) << moveText(m);
        }
    }
    EXPECT_GT(splits, 100);  // the arrows that do split were there to be missed
}

// Every shape of 1 to 7 squares with one amazon or two, and of 8 squares with one.
TEST(RegionSolver, AgreesWithBruteForceOnEveryShapeUpToEightSquares) {
    const std::vector<std::size_t> shapeCounts = {1, 2, 5, 22, 94, 524, 3031, 18770};
    RegionSolver solver;
    int defective = 0;
    for (int size = 1; size <= 8; ++size) {
        const std::vector<std::vector<Square>> shapes = shapesOfSize(size);
        ASSERT_EQ(shapes.size(), shapeCounts[static_cast<std::size_t>(size - 1)]);
        for (const std::vector<Square>& squares : shapes) {
            for (std::size_t i = 0; i < squares.size(); ++i) {
                for (std::size_t j = i; j < (size < 8 ? squares.size() : i + 1); ++j) {
                    const Region r = regionOf(squares, {squares[i], squares[j]});  // i == j: one
                    const int expected = bruteForceMoves(regionBoard(r), false);
                    std::int64_t budget = PLENTY;
                    ASSERT_EQ(solver.solve(r, budget), (RegionBounds{expected, expected}))
                        << "amazons on " << squares[i] << ", " << squares[j] << " of " << size;
                    defective += expected < bits::count(r.empty);
                }
            }
        }
    }
    EXPECT_EQ(defective, 2702 + 1977 + 17792);  // shapes that cannot be filled
}

// Plain brute force on 8 and 9 squares, the bounded one on 12 to 14. A second solver has a
// table of 16 entries, replacing all the time; a third a budget of a few nodes, whose bounds
// must hold and whose lower bound must be playable.
TEST(RegionSolver, AgreesWithBruteForceOnRandomShapes) {
    std::mt19937 rng(18);
    RegionSolver solver, tiny(4);
    int defective = 0;
    for (int i = 0; i < 600; ++i) {
        const bool bounded = i % 2 == 1;
        const Region r = randomRegion(bounded ? 12 + i % 3 : 8 + i % 2, 1 + i % 3, i % 4 < 2, rng);
        const int expected = bruteForceMoves(regionBoard(r), bounded);
        defective += expected < bits::count(r.empty);
        std::int64_t budget = PLENTY, again = PLENTY, little = i % 5 * 6;
        EXPECT_EQ(solver.solve(r, budget), (RegionBounds{expected, expected})) << i;
        EXPECT_EQ(tiny.solve(r, again), (RegionBounds{expected, expected})) << i;
        RegionSolver hurried(8);
        const RegionBounds b = hurried.solve(r, little);
        EXPECT_TRUE(b.lower <= expected && expected <= b.upper && little >= 0) << i;
        EXPECT_GE(replayLowerBound(hurried, r.amazons, r.squares()), b.lower) << i;
    }
    EXPECT_GT(defective, 40);  // regions that cannot be filled are the ones that test the search
}

TEST(SplitSolver, SelfPlaySplitsAgreeWithBruteForce) {
    SplitSolver solver;
    int compared = 0, kept = 0;
    for (const Board& b : splitBoards(300, 3)) {
        const int mover = b.sideToMove;
        int largest = 0;
        for (int side = 0; side < 2; ++side)
            for (const Region& r : regionsOf(b, side))
                largest = std::max(largest, bits::count(r.empty));
        if (largest > 11) {
            // Too large for brute force: the move kept on a small budget gives up one move.
            const SplitResult r = solver.count(b, 5000);
            Move m;
            if (!solver.bestSplitMove(b, m, 50)) continue;
            Board after = b;
            after.applyMove(m);
            EXPECT_GE(solver.count(after, 0).opponent.lower, r.mover.lower - 1);
            continue;
        }
        const int m = bruteForceSide(b, mover), n = bruteForceSide(b, mover ^ 1);
        const SplitResult r = solver.count(b, PLENTY);
        ASSERT_TRUE(r.mover.exact() && r.opponent.exact());
        ASSERT_EQ(r.mover.lower, m);
        ASSERT_EQ(r.opponent.lower, n);
        EXPECT_EQ(r.outcome, m > n ? SplitOutcome::MoverWins : SplitOutcome::MoverLoses);
        EXPECT_EQ(r.score(), m > n ? SPLIT_WIN + m - n - 1 : -(SPLIT_WIN + n - m));
        ++compared;

        // The move kept: the first in generation order of those that keep the most.
        MoveList list;
        generateMoves(b, list);
        Move chosen, expected;
        ASSERT_EQ(solver.bestSplitMove(b, chosen), !list.empty());
        if (largest > 8 || list.empty()) continue;
        int best = -1;
        for (const Move& move : list) {
            Board child = b;
            child.applyMove(move);
            if (const int left = bruteForceSide(child, mover); left > best)
                best = left, expected = move;
        }
        EXPECT_EQ(best, m - 1);
        EXPECT_EQ(chosen, expected) << moveText(chosen) << " " << moveText(expected);
        ++kept;
    }
    EXPECT_GT(compared, 300);
    EXPECT_GT(kept, 100);
}

TEST(SplitSolver, TheWholeBoardForOneSideIsBoundedAndPlayable) {
    // 96 empty squares: a sequence as deep as the board, within a budget of 300 nodes.
    Position p;
    p.setStartPosition();
    for (Square s : {3, 6, 30, 39})
        p.setCell(s, Empty);
    p.recomputeHash();
    const Board b = Board::fromPosition(p);
    SplitSolver solver;
    const SplitResult r = solver.count(b, 300);
    EXPECT_EQ(r.outcome, SplitOutcome::MoverWins);
    EXPECT_EQ(r.mover.upper, 96);
    EXPECT_GE(replayLowerBound(solver.regionSolver(), b.amazons[0], freeSquares(b)), r.mover.lower);
    EXPECT_GT(r.mover.lower, 90);
}

// White's amazon on H9 and Black's on J9 meet only through I8 and J10. Stepping to G10 and
// shooting I8 walls them apart with White a move ahead; the evaluation alone prefers another
// move at depth 1.
Position whiteCanSplitToWin() {
    return positionOf(
        "xxxxxx.xx.xxxxxxxWxB"
        "xxBxxxx..xxxxx.xxxx."
        "Wxxxxx.xxxxxxxWx.xxx"
        "xx.xxxxxxx.xxxxxxxBx"
        "xxxxxxxxxxxxxxxBxxxW");
}

class SplitSearch : public ::testing::Test {
  protected:
    void SetUp() override { setStopRequested(false); }
};

TEST_F(SplitSearch, SwitchedOnTheSearchSeesTheWinningSplit) {
    const Position p = whiteCanSplitToWin();
    const auto on = runSearch(p, 1, -1, false, true);
    const auto off = runSearch(p, 1, -1, false, false);
    EXPECT_EQ(moveText(on.move), "H9-G10 (I8)");
    EXPECT_EQ(on.status.rfind("Depth = 1  Score = +50", 0), 0u) << on.status;
    EXPECT_NE(off.move, on.move);
    EXPECT_EQ(off.status.find("Score = +50"), std::string::npos) << off.status;

    SplitSolver solver;
    Position after = p;
    after.applyMove(on.move);
    EXPECT_EQ(solver.solve(Board::fromPosition(after)).outcome, SplitOutcome::MoverLoses);
    after = p;
    after.applyMove(off.move);
    EXPECT_FALSE(isSplit(Board::fromPosition(after)));
}

// With one ply to go every child is a solved split. Their scores stand on the bounds that
// decided them, so the root's margin is at most the exact one; a won root's move keeps the win.
TEST_F(SplitSearch, ASplitRootIsWonOrLostAsTheSolverSays) {
    testing::TraceCapture quiet;
    SplitSolver solver;
    int won = 0, lost = 0;
    for (const Board& b : splitBoards(60, 11)) {
        const SplitResult r = solver.count(b);
        if (hasNoLegalMove(b) || !r.mover.exact() || !r.opponent.exact() || won + lost == 60)
            continue;
        SearchEngine engine;
        engine.setSplitSolver(true);
        engine.setIterationDepth(1);
        engine.setPosition(b.toPosition());
        Move searched;
        ASSERT_TRUE(engine.rootSearch(searched));
        Board after = b;
        after.applyMove(searched);
        const int g = engine.lastScore(), exact = r.score();
        EXPECT_TRUE(exact < 0 || solver.solve(after).outcome == SplitOutcome::MoverLoses);
        EXPECT_TRUE(exact > 0 ? g >= SPLIT_WIN && g <= exact : g <= -SPLIT_WIN && g >= exact) << g;
        ++(exact > 0 ? won : lost);
    }
    EXPECT_GT(won, 20);
    EXPECT_GT(lost, 20);
}

TEST_F(SplitSearch, AnEnclosedSideStillLosesOutright) {
    // After J1 shoots B9 the board is split and Black has no move: the node scores -WIN_SCORE
    // as before, so the root's +10000 still decides.
    const auto run =
        runSearch(positionOf("Bx........x" + std::string(88, '.') + "W"), 6, -1, false, true);
    EXPECT_EQ(run.status, "Depth = 2  Score = +10000");
}

TEST_F(SplitSearch, TheHelperThreadChangesNothing) {
    // The board splits a few moves into the search; the helper's scores of solved children go
    // unused, and everything else must come out as without it.
    const Position p = positionOf(
        "....x..B.xxxB.x..xxW"
        ".x.xxxxxx..xxx.xx.xx"
        "..Wxx.B.xx.xxx..x..."
        "xxxBxxxx...Wxxxx.xxx"
        "....xW...x....x.xx..");
    const auto alone = runSearch(p, 4, -1, false, true);
    const auto helped = runSearch(p, 4, -1, true, true);
    EXPECT_NE(alone.evaluations, runSearch(p, 4, -1, false, false).evaluations);  // it solved
    EXPECT_EQ(testing::withoutTimings(alone.trace), testing::withoutTimings(helped.trace));
    EXPECT_EQ(alone.evaluations, helped.evaluations);
}

}  // namespace
}  // namespace wintarvo
