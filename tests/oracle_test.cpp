// The fast engine against the literal one kept in tests/support: evaluation, territory marking,
// the transposition table under random traffic, and whole think requests, which must agree
// byte for byte in their traces.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "model/evaluator.h"
#include "model/move_generation.h"
#include "model/territory.h"
#include "model/territory_fill.h"
#include "search/transposition_table.h"
#include "support/literal_engine.h"
#include "support/random_games.h"
#include "support/search_run.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

namespace literal = testing::literal;

TEST(Oracle, EvaluationAndTerritoryOnRandomPositions) {
    int checked = 0;
    Evaluator fast;
    for (const Position& base : testing::randomPositions(60, 31337)) {
        for (int side : {0, 1}) {
            Position p = base;
            p.sideToMove = side;
            ASSERT_EQ(fast.evaluate(Board::fromPosition(p)), literal::evaluate(p, false));
            Position marked = p, literalMarked = p;
            TerritoryCounter counter;
            counter.computeTerritory(marked);
            int wc = 0, bc = 0;
            literal::computeTerritory(literalMarked, wc, bc);
            ASSERT_EQ(marked.cells, literalMarked.cells);
            ASSERT_EQ(counter.whiteCount, wc);
            ASSERT_EQ(counter.blackCount, bc);
            ++checked;
        }
    }
    EXPECT_GT(checked, 8000);
}

TEST(Oracle, EveryBuildOfTheFillAgrees) {
    // The plain 128-bit build, the SSE build and whatever this processor runs (AVX2 where it
    // has it) must give the same sets, counts and mobilities.
    int checked = 0;
    for (const Position& p : testing::randomPositions(30, 8080)) {
        const Board b = Board::fromPosition(p);
        const Bits open = b.emptySquares();
        TerritoryFill generic, portable, fast;
        const FillCounts g = fill::run<fill::GenericOps, true>(b.amazons[0], b.amazons[1], open, &generic, 0, 0);
        const FillCounts q = fill::run<fill::PortableOps, true>(b.amazons[0], b.amazons[1], open, &portable, 0, 0);
        const FillCounts f = fill::runFast(b.amazons[0], b.amazons[1], open, fast);
        const FillCounts c = fill::countFast(b.amazons[0], b.amazons[1], open);
        for (const TerritoryFill* t : {&portable, &fast}) {
            ASSERT_TRUE(t->white == generic.white && t->black == generic.black &&
                        t->contested == generic.contested);
            ASSERT_EQ(t->whiteCount, generic.whiteCount);
            ASSERT_EQ(t->blackCount, generic.blackCount);
        }
        for (const FillCounts* x : {&q, &f, &c}) {
            ASSERT_EQ(x->whiteCount, g.whiteCount);
            ASSERT_EQ(x->blackCount, g.blackCount);
            ASSERT_EQ(x->whiteMobility, g.whiteMobility);
            ASSERT_EQ(x->blackMobility, g.blackMobility);
        }
        ++checked;
    }
    EXPECT_GT(checked, 2000);
    RecordProperty("fast_fill", fill::fastKind());
}

TEST(Oracle, VerboseEvaluationText) {
    for (const Position& p : testing::randomPositions(2, 99)) {
        std::string fastText, literalText;
        int a, b;
        {
            testing::TraceCapture trace;
            Evaluator e;
            a = e.evaluate(p, true);
            fastText = trace.text();
        }
        {
            testing::TraceCapture trace;
            b = literal::evaluate(p, true);
            literalText = trace.text();
        }
        ASSERT_EQ(a, b);
        ASSERT_EQ(fastText, literalText);
    }
}

TEST(Oracle, TableUnderRandomTrafficWithCollisionsAndReplacement) {
    // Few distinct key 0 values and buckets, so that lock collisions, shared buckets and
    // removals from the middle of bucket lists are common; enough positions to fill the table
    // and replace for a while.
    std::mt19937 rng(4242);
    auto fast = std::make_unique<TranspositionTable>();
    auto slow = std::make_unique<literal::TranspositionTable>();
    std::uniform_int_distribution<std::uint32_t> bucket(0, 2047), high(0, 199), key1(0, 3),
        depth(0, 6), score(0, 40), kind(0, 9);
    for (int op = 0; op < 2'000'000; ++op) {
        Position p;
        p.hashKey[0] = high(rng) * 0x80000u + bucket(rng);  // 2048 buckets, 200 keys each
        p.hashKey[1] = key1(rng);
        const Board b = Board::fromPosition(p);
        const int k = static_cast<int>(kind(rng));
        if (k < 4) {
            ProbeResult r;
            int d = 0, lo = 0, up = 0;
            Move m;
            const bool hit = fast->probe(b, r);
            ASSERT_EQ(hit, slow->probe(p, d, lo, up, m)) << op;
            if (hit) {
                ASSERT_EQ(r.depth, d);
                ASSERT_EQ(r.lower, lo);
                ASSERT_EQ(r.upper, up);
                ASSERT_EQ(r.move, m);
            }
        } else if (k < 6) {
            const int v = static_cast<int>(score(rng)) - 20;
            fast->storeEvaluation(b, v);
            slow->storeEvaluation(p, v);
        } else {
            const int d = static_cast<int>(depth(rng));
            const int lo = static_cast<int>(score(rng)) - 20;
            const int up = lo + static_cast<int>(score(rng)) % 3 * 5;
            const Move m{static_cast<Square>(op % 100), static_cast<Square>((op / 7) % 100), 5};
            ASSERT_EQ(fast->store(b, d, lo, up, m), slow->store(p, d, lo, up, m)) << op;
        }
    }
    ASSERT_EQ(fast->size(), static_cast<std::int32_t>(slow->entries.size()));
    EXPECT_EQ(fast->size(), TranspositionTable::MAXIMUM_SIZE);
    EXPECT_EQ(fast->replaceCursor(), slow->replaceCursor);
    EXPECT_GT(fast->lockCollisions(), 1000);
    EXPECT_GT(fast->maximumListSize(), 255);  // buckets longer than a byte can count
    std::string a, b;
    {
        testing::TraceCapture trace;
        fast->printStatistics();
        a = trace.text();
    }
    {
        testing::TraceCapture trace;
        slow->printStatistics();
        b = trace.text();
    }
    EXPECT_EQ(a, b);
}

void expectSameThink(const Position& p, int depth) {
    const testing::SearchRun run = testing::runSearch(p, depth);
    literal::ThinkResult expected;
    std::string literalTrace;
    {
        testing::TraceCapture trace;
        expected = literal::think(p, depth, -1);
        literalTrace = trace.text();
    }
    ASSERT_EQ(run.found, expected.found);
    if (run.found) {
        ASSERT_EQ(run.move, expected.move);
    }
    ASSERT_EQ(run.status, expected.statusText);
    ASSERT_EQ(run.evaluations, expected.evaluations);
    ASSERT_EQ(testing::withoutTimings(run.trace), testing::withoutTimings(literalTrace));
}

TEST(Oracle, ShallowThinksOnRandomPositions) {
    const auto positions = testing::randomPositions(6, 777);
    for (std::size_t i = 0; i < positions.size(); i += 5) {
        SCOPED_TRACE(i);
        expectSameThink(positions[i], 2);
    }
}

TEST(Oracle, DeeperThinksFromTheMiddleGameOn) {
    // Depth 3 re-scores at the root; depth 4 and more re-score below it too.
    const auto positions = testing::randomPositions(2, 2718);
    for (std::size_t i = 30; i < positions.size(); i += 15) {
        SCOPED_TRACE(i);
        expectSameThink(positions[i], i % 2 ? 3 : 4);
    }
}

}  // namespace
}  // namespace wintarvo
