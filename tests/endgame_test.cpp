#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <vector>

#include "endgame/region_solver.h"
#include "endgame/regions.h"
#include "endgame/split_solver.h"
#include "model/move_generation.h"
#include "search/search_engine.h"
#include "search/stop_flag.h"
#include "support/search_run.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

using testing::positionFromRows;
using testing::runSearch;

constexpr std::int64_t PLENTY = std::int64_t{1} << 40;

// Empty squares joined to an amazon by king steps between free squares, worked out square by
// square with row and column arithmetic.
int emptyNearAmazons(const Board& b) {
    std::vector<bool> seen(100, false);
    std::vector<Square> todo;
    for (Square s = 0; s < 100; ++s)
        if (bits::has(b.amazons[0] | b.amazons[1], s))
            seen[static_cast<std::size_t>(s)] = true, todo.push_back(s);
    int n = 0;
    while (!todo.empty()) {
        const Square s = todo.back();
        todo.pop_back();
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                const int r = s / 10 + dr, c = s % 10 + dc;
                if (r < 0 || r > 9 || c < 0 || c > 9 || seen[static_cast<std::size_t>(10 * r + c)])
                    continue;
                if (bits::has(b.arrows, 10 * r + c)) continue;
                seen[static_cast<std::size_t>(10 * r + c)] = true;
                todo.push_back(10 * r + c);
                ++n;
            }
        }
    }
    return n;
}

// The count the solver must agree with: every move of the side to move tried in turn, no
// table, no pieces. Each move burns a square, so a sequence as long as the empty squares ends
// the search. Bounded, it also skips a move that leaves no more empty squares within reach of
// an amazon than the best sequence so far, which makes shapes of 12 to 14 squares affordable.
int bruteForceMoves(const Board& b, bool bounded) {
    const int bound = bounded ? emptyNearAmazons(b) : bits::count(b.emptySquares());
    MoveList moves;
    generateMoves(b, moves);
    int best = 0;
    for (const Move& m : moves) {
        Board child = b;
        child.applyMove(m);
        child.sideToMove = b.sideToMove;
        if (bounded && 1 + emptyNearAmazons(child) <= best) continue;
        best = std::max(best, 1 + bruteForceMoves(child, bounded));
        if (best == bound) break;
    }
    return best;
}

// The region alone: its amazons as White's, every other square an arrow.
Board regionBoard(Bits amazons, Bits squares) {
    Board b;
    b.amazons[0] = amazons;
    b.arrows = bits::ALL & ~squares;
    return b;
}

int bruteForce(const Region& r, bool bounded = false) {
    return bruteForceMoves(regionBoard(r.amazons, r.squares()), bounded);
}

// Every 8-connected shape of `size` squares up to rotation and reflection, in an 8 x 8 box (bit
// 8 * row + column), grown from the shapes one square smaller.
std::vector<std::uint64_t> shapesOfSize(int size) {
    auto canonical = [](const std::vector<std::pair<int, int>>& cells) {
        std::uint64_t best = ~std::uint64_t{0};
        for (int t = 0; t < 8; ++t) {
            std::vector<std::pair<int, int>> moved;
            for (auto [r, c] : cells) {
                const int a = t & 1 ? -r : r, b = t & 2 ? -c : c;
                moved.push_back(t & 4 ? std::pair{b, a} : std::pair{a, b});
            }
            int r0 = 99, c0 = 99;
            for (auto [r, c] : moved)
                r0 = std::min(r0, r), c0 = std::min(c0, c);
            std::uint64_t mask = 0;
            for (auto [r, c] : moved)
                mask |= std::uint64_t{1} << (8 * (r - r0) + (c - c0));
            best = std::min(best, mask);
        }
        return best;
    };
    std::set<std::uint64_t> level = {1};
    for (int n = 1; n < size; ++n) {
        std::set<std::uint64_t> next;
        for (std::uint64_t shape : level) {
            std::vector<std::pair<int, int>> cells;
            for (int b = 0; b < 64; ++b)
                if (shape >> b & 1) cells.push_back({b / 8, b % 8});
            for (auto [r, c] : std::vector(cells)) {
                for (int dr = -1; dr <= 1; ++dr) {
                    for (int dc = -1; dc <= 1; ++dc) {
                        const std::pair<int, int> added{r + dr, c + dc};
                        if (std::find(cells.begin(), cells.end(), added) != cells.end()) continue;
                        cells.push_back(added);
                        next.insert(canonical(cells));
                        cells.pop_back();
                    }
                }
            }
        }
        level = std::move(next);
    }
    return std::vector<std::uint64_t>(level.begin(), level.end());
}

std::vector<Square> squaresOfShape(std::uint64_t shape) {
    std::vector<Square> out;
    for (int b = 0; b < 64; ++b)
        if (shape >> b & 1) out.push_back(10 * (b / 8) + b % 8);
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

// A random 8-connected shape of n squares somewhere on the board. Thin ones grow only onto
// squares that touch the shape at one square, so they are trees of corridors, the shapes whose
// junctions an amazon cannot always clear.
std::vector<Square> randomShape(int n, bool thin, std::mt19937& rng) {
    std::vector<Square> shape = {static_cast<Square>(rng() % 100)};
    auto touching = [&shape](int r, int c) {
        int k = 0;
        for (Square s : shape)
            k += std::abs(s / 10 - r) <= 1 && std::abs(s % 10 - c) <= 1;
        return k;
    };
    for (int tries = 0; static_cast<int>(shape.size()) < n; ++tries) {
        if (tries > 10000) return randomShape(n, thin, rng);  // grew into a corner
        const Square s = shape[rng() % shape.size()];
        const int r = s / 10 + static_cast<int>(rng() % 3) - 1,
                  c = s % 10 + static_cast<int>(rng() % 3) - 1;
        if (r < 0 || r > 9 || c < 0 || c > 9) continue;
        if (std::find(shape.begin(), shape.end(), 10 * r + c) != shape.end()) continue;
        if (thin && touching(r, c) > 1) continue;
        shape.push_back(10 * r + c);
    }
    return shape;
}

Region randomRegion(int n, int amazons, bool thin, std::mt19937& rng) {
    std::vector<Square> shape = randomShape(n, thin, rng);
    std::shuffle(shape.begin(), shape.end(), rng);
    return regionOf(shape, std::vector<Square>(shape.begin(), shape.begin() + amazons));
}

// Replays the moves the solver's table holds for a region's lower bound and returns how many
// it played; every one must be a legal move of the region.
int replayLowerBound(RegionSolver& solver, Bits amazons, Bits squares) {
    std::vector<Region> pieces;
    regions::appendRegions(amazons, squares, pieces);
    int played = 0;
    for (const Region& piece : pieces) {
        std::int64_t none = 0;
        Move first;
        const RegionBounds b = solver.solve(piece, none, &first);
        if (b.lower == 0) continue;
        const Board board = regionBoard(piece.amazons, piece.squares());
        EXPECT_TRUE(isLegalMove(board.toPosition(), first)) << moveText(first);
        if (!isLegalMove(board.toPosition(), first)) return played;
        played +=
            1 + replayLowerBound(solver, piece.amazons ^ bits::of(first.from) ^ bits::of(first.to),
                                 piece.squares() & ~bits::of(first.arrow));
    }
    return played;
}

TEST(Regions, SplitOrMixed) {
    struct Row {
        std::vector<std::string> rows;
        bool split;
    };
    const std::vector<Row> table = {
        // Touching amazons of both colours share a region.
        {{"WB........", "xx........", "..........", "..........", "..........", "..........",
          "..........", "..........", "..........", ".........."},
         false},
        // A wall of arrows splits; a gap of one diagonal step between two arrows does not.
        {{"W.x.......", "..x.......", "..x.......", "xxx.......", "..........", "..........",
          "..........", "..........", "..........", ".........B"},
         true},
        {{"W.x.......", "..x.......", ".x........", "xx........", "..........", "..........",
          "..........", "..........", "..........", ".........B"},
         false},
        // A side without amazons has nothing to mix with.
        {{"W.........", "..........", "..........", "..........", "..........", "..........",
          "..........", "..........", "..........", ".........."},
         true},
        // Amazons of one colour walled in together, the other side's elsewhere.
        {{"WWx.......", "Wxx.......", "xx........", "..........", "..........", "..........",
          "..........", "..........", "..........", "........BB"},
         true},
    };
    for (const Row& row : table) {
        const Board b = Board::fromPosition(positionFromRows(row.rows, 0));
        EXPECT_EQ(isSplit(b), row.split) << row.rows[0] << " / " << row.rows[2];
    }
    Position start;
    start.setStartPosition();
    EXPECT_FALSE(isSplit(Board::fromPosition(start)));
}

TEST(Regions, RegionsAndCornerShift) {
    const Board b = Board::fromPosition(
        positionFromRows({"xxxxxxxxxx", "x.Wx..W..x", "x..x..xxxx", "xxxx..x.Bx", "xxxxxxx..x",
                          "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx"},
                         0));
    std::vector<Region> found;
    regions::appendRegions(b.amazons[0], freeSquares(b), found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(bits::count(found[0].squares()), 4);  // B9, B8, C8 and the amazon on C9
    EXPECT_EQ(bits::count(found[1].squares()), 9);
    EXPECT_EQ(regions::cornerShift(found[0].squares()), bits::bitOf(11));
    EXPECT_EQ(regions::cornerShift(found[1].squares()), bits::bitOf(14));
}

// Every shape of 1 to 7 squares with one amazon or two, and of 8 squares with one.
TEST(RegionSolver, AgreesWithBruteForceOnEveryShapeUpToEightSquares) {
    const std::vector<std::size_t> shapeCounts = {1, 2, 5, 22, 94, 524, 3031, 18770};
    RegionSolver solver;
    int cases = 0, defective = 0;
    for (int size = 1; size <= 8; ++size) {
        const std::vector<std::uint64_t> shapes = shapesOfSize(size);
        ASSERT_EQ(shapes.size(), shapeCounts[static_cast<std::size_t>(size - 1)]);
        for (std::uint64_t shape : shapes) {
            const std::vector<Square> squares = squaresOfShape(shape);
            for (std::size_t i = 0; i < squares.size(); ++i) {
                for (std::size_t j = i; j < (size < 8 ? squares.size() : i + 1); ++j) {
                    const Region r = regionOf(squares, {squares[i], squares[j]});  // i == j: one
                    const int expected = bruteForce(r);
                    std::int64_t budget = PLENTY;
                    ASSERT_EQ(solver.solve(r, budget), (RegionBounds{expected, expected}))
                        << "shape " << shape << " amazons on " << squares[i] << ", " << squares[j];
                    if (expected < bits::count(r.empty)) ++defective;
                    ++cases;
                }
            }
        }
    }
    EXPECT_EQ(cases, 97539 + 18770 * 8);
    EXPECT_EQ(defective, 2702 + 1977 + 17792);  // shapes that cannot be filled
}

TEST(RegionSolver, AgreesWithBruteForceOnRandomShapes) {
    std::mt19937 rng(18);
    RegionSolver solver;
    RegionSolver tiny(4);  // a table of 16 entries: replacement all the time
    int defective = 0;
    for (int i = 0; i < 600; ++i) {
        // Plain brute force up to 9 squares, the bounded one from 12 to 14.
        const bool bounded = i % 2 == 1;
        const int n = bounded ? 12 + i % 3 : 8 + i % 2;
        const Region r = randomRegion(n, 1 + i % 3, i % 4 < 2, rng);
        const int expected = bruteForce(r, bounded);
        if (expected < bits::count(r.empty)) ++defective;
        std::int64_t budget = PLENTY;
        EXPECT_EQ(solver.solve(r, budget), (RegionBounds{expected, expected})) << i;
        budget = PLENTY;
        EXPECT_EQ(tiny.solve(r, budget), (RegionBounds{expected, expected})) << i;
    }
    EXPECT_GT(defective, 40);  // regions that cannot be filled are the ones that test the search
}

TEST(RegionSolver, BoundsUnderASmallBudgetHoldAndTheLowerBoundIsPlayable) {
    std::mt19937 rng(7);
    for (int i = 0; i < 120; ++i) {
        const Region r = randomRegion(12 + i % 3, 1 + i % 2, i % 3 == 0, rng);
        const int expected = bruteForce(r, true);
        for (std::int64_t budget :
             {std::int64_t{0}, std::int64_t{1}, std::int64_t{4}, std::int64_t{30}}) {
            RegionSolver solver;
            std::int64_t left = budget;
            const RegionBounds b = solver.solve(r, left);
            EXPECT_LE(b.lower, expected) << i << " budget " << budget;
            EXPECT_GE(b.upper, expected) << i << " budget " << budget;
            EXPECT_GE(left, 0);
            EXPECT_GE(replayLowerBound(solver, r.amazons, r.squares()), b.lower) << i;
        }
    }
}

// Random games from the start until the board splits, then on while it stays split.
std::vector<Board> splitBoards(int games, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<Board> out;
    MoveList moves;
    for (int g = 0; g < games; ++g) {
        Board b;
        Position p;
        p.setStartPosition();
        b = Board::fromPosition(p);
        for (;;) {
            generateMoves(b, moves);
            if (moves.empty()) break;
            b.applyMove(moves[rng() % moves.size()]);
            if (isSplit(b)) out.push_back(b);
        }
    }
    return out;
}

int bruteForceSide(const std::vector<Region>& list) {
    int n = 0;
    for (const Region& r : list)
        n += bruteForce(r, true);
    return n;
}

TEST(SplitSolver, SelfPlaySplitsAgreeWithBruteForce) {
    SplitSolver solver;
    int compared = 0, moves = 0;
    for (const Board& b : splitBoards(300, 3)) {
        std::vector<Region> sides[2];
        int largest = 0;
        for (int side = 0; side < 2; ++side) {
            regions::appendRegions(b.amazons[side], freeSquares(b), sides[side]);
            for (const Region& r : sides[side])
                largest = std::max(largest, bits::count(r.empty));
        }
        if (largest > 11) {
            // Too large for brute force: the counts must still be proven and playable.
            const SplitResult r = solver.count(b, 5000);
            EXPECT_LE(r.mover.lower, r.mover.upper);
            EXPECT_GE(replayLowerBound(solver.regionSolver(), b.amazons[b.sideToMove],
                                       freeSquares(b) & ~b.amazons[b.sideToMove ^ 1]),
                      r.mover.lower);
            // Even on a small budget the move kept gives up no more than one move.
            Move kept;
            if (!solver.bestSplitMove(b, kept, 50)) continue;
            Board after = b;
            after.applyMove(kept);
            EXPECT_GE(solver.count(after, 0).opponent.lower, r.mover.lower - 1);
            continue;
        }
        const int m = bruteForceSide(sides[b.sideToMove]);
        const int n = bruteForceSide(sides[b.sideToMove ^ 1]);
        const SplitResult r = solver.count(b, PLENTY);
        ASSERT_TRUE(r.mover.exact() && r.opponent.exact());
        ASSERT_EQ(r.mover.lower, m);
        ASSERT_EQ(r.opponent.lower, n);
        EXPECT_EQ(r.outcome, m > n ? SplitOutcome::MoverWins : SplitOutcome::MoverLoses);
        EXPECT_EQ(r.score(), m > n ? SPLIT_WIN + m - n - 1 : -(SPLIT_WIN + n - m));
        ++compared;

        // The move kept: the first in generation order of those that keep the most.
        if (largest > 8) continue;
        Move chosen;
        MoveList list;
        generateMoves(b, list);
        ASSERT_EQ(solver.bestSplitMove(b, chosen), !list.empty());
        if (list.empty()) continue;
        int best = -1;
        Move expected;
        for (const Move& mv : list) {
            Board child = b;
            child.applyMove(mv);
            std::vector<Region> mine;
            regions::appendRegions(child.amazons[b.sideToMove], freeSquares(child), mine);
            const int kept = bruteForceSide(mine);
            if (kept > best) best = kept, expected = mv;
        }
        EXPECT_EQ(best, m - 1);
        EXPECT_EQ(chosen, expected) << moveText(chosen) << " " << moveText(expected);
        ++moves;
    }
    EXPECT_GT(compared, 300);
    EXPECT_GT(moves, 100);
}

// White's amazon on H9 and Black's on J9 meet only through I8 and J10. Stepping to G10 and
// shooting I8 walls them apart with White a move ahead; the evaluation alone prefers another
// move at depth 1.
Position whiteCanSplitToWin() {
    return positionFromRows({"xxxxxx.xx.", "xxxxxxxWxB", "xxBxxxx..x", "xxxx.xxxx.", "Wxxxxx.xxx",
                             "xxxxWx.xxx", "xx.xxxxxxx", ".xxxxxxxBx", "xxxxxxxxxx", "xxxxxBxxxW"},
                            0);
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

TEST_F(SplitSearch, ASplitRootIsWonOrLostAsTheSolverSays) {
    // With one ply to go every child is a solved split. Their scores stand on the bounds that
    // decided them, so the root's margin is at most the exact one; a won root's move keeps
    // the win.
    testing::TraceCapture quiet;
    SplitSolver solver;
    int won = 0, lost = 0;
    for (const Board& b : splitBoards(60, 11)) {
        if (hasNoLegalMove(b) || won + lost == 60) continue;
        const SplitResult r = solver.count(b);
        if (!r.mover.exact() || !r.opponent.exact()) continue;
        SearchEngine engine;
        engine.setSplitSolver(true);
        engine.setIterationDepth(1);
        engine.setPosition(b.toPosition());
        Move searched;
        ASSERT_TRUE(engine.rootSearch(searched));
        const int g = engine.lastScore();
        if (r.score() > 0) {
            EXPECT_TRUE(g >= SPLIT_WIN && g <= r.score()) << g << " " << r.score();
            Board after = b;
            after.applyMove(searched);
            EXPECT_EQ(solver.solve(after).outcome, SplitOutcome::MoverLoses) << moveText(searched);
            ++won;
        } else {
            EXPECT_TRUE(g <= -SPLIT_WIN && g >= r.score()) << g << " " << r.score();
            ++lost;
        }
    }
    EXPECT_GT(won, 20);
    EXPECT_GT(lost, 20);
}

TEST_F(SplitSearch, AnEnclosedSideStillLosesOutright) {
    // After J1 shoots B9 the board is split and Black has no move: the node scores -WIN_SCORE
    // as before, so the root's +10000 still decides.
    const Position p =
        positionFromRows({"Bx........", "x.........", "..........", "..........", "..........",
                          "..........", "..........", "..........", "..........", ".........W"},
                         0);
    const auto run = runSearch(p, 6, -1, false, true);
    EXPECT_EQ(run.status, "Depth = 2  Score = +10000");
}

TEST_F(SplitSearch, TheHelperThreadChangesNothing) {
    // The board splits a few moves into the search; the helper's scores of solved children go
    // unused, and everything else must come out as without it.
    const Position p =
        positionFromRows({"....x..B.x", "xxB.x..xxW", ".x.xxxxxx.", ".xxx.xx.xx", "..Wxx.B.xx",
                          ".xxx..x...", "xxxBxxxx..", ".Wxxxx.xxx", "....xW...x", "....x.xx.."},
                         0);
    const auto alone = runSearch(p, 4, -1, false, true);
    const auto helped = runSearch(p, 4, -1, true, true);
    EXPECT_NE(alone.evaluations, runSearch(p, 4, -1, false, false).evaluations);  // it solved
    EXPECT_EQ(testing::withoutTimings(alone.trace), testing::withoutTimings(helped.trace));
    EXPECT_EQ(alone.evaluations, helped.evaluations);
}

}  // namespace
}  // namespace wintarvo
