#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "model/board.h"
#include "model/evaluator.h"
#include "model/move_generation.h"
#include "model/position_diagram.h"
#include "search/sibling_evaluator.h"
#include "support/random_games.h"
#include "support/search_run.h"

namespace wintarvo {
namespace {

// The children of one position, with the score each must get.
struct Family {
    Board parent;
    MoveList moves;
    std::vector<Board> children;
    std::vector<int> scores;
};

Family familyOf(const Position& p) {
    Family f;
    f.parent = Board::fromPosition(p);
    generateMoves(f.parent, f.moves);
    for (const Move& m : f.moves) {
        Board child = f.parent;
        child.applyMove(m);
        f.children.push_back(child);
        f.scores.push_back(Evaluator::whiteScore(child));
    }
    return f;
}

// Asks for the children `wanted` (increasing) of f's list, as a search would, and checks each.
void expectScores(SiblingEvaluator& s, const Family& f, const std::vector<std::size_t>& wanted) {
    s.begin(f.parent);
    for (std::size_t j : wanted) {
        SCOPED_TRACE(j);
        ASSERT_EQ(s.whiteScore(j, f.children[j]), f.scores[j]);
    }
    s.end();
}

std::vector<std::size_t> upTo(std::size_t n, std::size_t step = 1, std::size_t from = 0) {
    std::vector<std::size_t> v;
    for (std::size_t j = from; j < n; j += step) v.push_back(j);
    return v;
}

TEST(SiblingEvaluator, ScoresAreTheEvaluatorsWhicheverChildrenTheSearchAsksFor) {
    SiblingEvaluator s;
    s.setEnabled(true);
    std::mt19937 rng(4242);
    const auto positions = testing::randomPositions(3, 99);
    for (std::size_t i = 0; i < positions.size(); i += 3) {
        SCOPED_TRACE(i);
        const Family f = familyOf(positions[i]);
        const std::size_t n = f.moves.size();
        if (n == 0) continue;
        std::uniform_int_distribution<std::size_t> any(0, n - 1);
        switch (i % 5) {
            case 0: expectScores(s, f, upTo(n)); break;                // every child
            case 1: expectScores(s, f, upTo(n, 3)); break;             // table hits skipped
            case 2: expectScores(s, f, upTo(any(rng) + 1)); break;     // a cut-off
            case 3: expectScores(s, f, upTo(n, 1, any(rng))); break;   // a late start
            default: expectScores(s, f, {n - 1}); break;               // only the last child
        }
    }
    // How many of the scores came from the helper depends on how the two threads were
    // scheduled; that the helper delivers at all is the slow search's test below.
}

TEST(SiblingEvaluator, ASlowSearchGetsTheScoresAndAFastOneWorksAlongside) {
    Position p;
    p.setStartPosition();
    const Family f = familyOf(p);  // 2176 children
    for (auto pause : {std::chrono::microseconds(20), std::chrono::microseconds(0)}) {
        SiblingEvaluator s;
        s.setEnabled(true);
        s.begin(f.parent);
        ASSERT_TRUE(s.shared());
        ASSERT_TRUE(s.isListOf(f.parent));
        // The slow search gives the helper a long head start, so that a busy machine that
        // keeps it off a processor for a while still leaves it time to deliver.
        if (pause.count() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (std::size_t j = 0; j < 400; ++j) {
            if (pause.count() > 0) std::this_thread::sleep_for(pause);
            ASSERT_EQ(s.whiteScore(j, f.children[j]), f.scores[j]) << j;
        }
        s.end();
        // While the search sleeps, the helper runs ahead and delivers nearly everything.
        if (pause.count() > 0) {
            EXPECT_GT(s.scoresFromHelper(), 0);
        }
    }
}

TEST(SiblingEvaluator, ChildrenVisitedOutOfOrderGetTheirOwnScores) {
    // As a node with a table move and a killer visits them: two moves from far down the list
    // first, then the list in order with the first two moves in the places they left.
    const auto positions = testing::randomPositions(2, 7);
    SiblingEvaluator s;
    s.setEnabled(true);
    for (std::size_t i = 0; i < positions.size(); i += 4) {
        SCOPED_TRACE(i);
        const Family f = familyOf(positions[i]);
        const std::size_t n = f.moves.size();
        if (n < 4) continue;
        const std::size_t t = n - 1, k = n / 2;
        s.begin(f.parent);
        auto check = [&](std::size_t j, bool inOrder) {
            ASSERT_EQ(s.whiteScore(j, f.children[j], inOrder), f.scores[j]) << j;
        };
        check(t, false);
        check(k, false);
        for (std::size_t j = 2; j < n; ++j) {
            if (j == k) check(1, false);
            else if (j == t) check(0, false);
            else check(j, true);
        }
        s.end();
    }
}

TEST(SiblingEvaluator, FewMovesAndADisabledHelperWorkAlone) {
    // One amazon each; White's can only step to two squares.
    const Position cramped = positionFromRows(
        {"W.x.......", "xxx.......", "..........", "..........", "..........", "..........",
         "..........", "..........", "..........", ".........B"},
        0);
    const Family few = familyOf(cramped);
    ASSERT_LT(few.moves.size(), SiblingEvaluator::RUN);
    SiblingEvaluator s;
    s.setEnabled(true);
    expectScores(s, few, upTo(few.moves.size()));

    Position p;
    p.setStartPosition();
    const Family f = familyOf(p);
    s.setEnabled(false);
    const std::int64_t before = s.scoresFromHelper();
    s.begin(f.parent);
    EXPECT_FALSE(s.shared());
    EXPECT_FALSE(s.isListOf(f.parent));
    s.end();
    expectScores(s, f, upTo(f.moves.size(), 5));
    EXPECT_EQ(s.scoresFromHelper(), before);

    // Without a list, a score is simply worked out.
    EXPECT_EQ(s.whiteScore(3, f.children[3]), f.scores[3]);
}

TEST(SiblingEvaluator, ScoresOfAListFromBeforeTheNumbersWrappedAreNeverUsed) {
    // Runs know their list by 24 bits of its number. List 1 leaves scores behind; list
    // 0x1000001 carries the same 24 bits, so unless the wrap forgets them the search would take
    // list 1's scores for the children of another position.
    Position a;
    a.setStartPosition();
    const Family first = familyOf(a);
    const auto positions = testing::randomPositions(1, 5);
    const Family later = familyOf(positions[2]);
    // A child far down both lists (beyond what the helper reaches in an instant) whose
    // scores differ.
    std::size_t k = 600;
    while (k < later.moves.size() && first.scores[k] == later.scores[k]) ++k;
    ASSERT_LT(k, later.moves.size());

    SiblingEvaluator s;
    s.setEnabled(true);
    s.setLastListNumber(0);
    s.begin(first.parent);  // list 1
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the helper fills its runs
    EXPECT_EQ(s.whiteScore(k, first.children[k]), first.scores[k]);
    EXPECT_EQ(s.scoresFromHelper(), 1);
    s.end();

    s.setLastListNumber(0xFFFFFE);
    for (int i = 0; i < 2; ++i) {  // lists 0xFFFFFF and 0x1000000, the wrap
        s.begin(later.parent);
        s.end();
    }
    s.begin(later.parent);  // list 0x1000001
    EXPECT_EQ(s.whiteScore(k, later.children[k]), later.scores[k]);
    s.end();
}

TEST(SiblingEvaluator, TheHelperSleepsWhenIdleAndWakesForTheNextList) {
    Position p;
    p.setStartPosition();
    const Family f = familyOf(p);
    SiblingEvaluator s;
    s.setEnabled(true);
    expectScores(s, f, upTo(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the helper falls asleep
    const std::int64_t before = s.scoresFromHelper();
    s.begin(f.parent);
    for (std::size_t j = 0; j < 300; ++j) {
        std::this_thread::sleep_for(std::chrono::microseconds(20));
        ASSERT_EQ(s.whiteScore(j, f.children[j]), f.scores[j]);
    }
    s.end();
    EXPECT_GT(s.scoresFromHelper(), before);
}

TEST(SiblingEvaluator, EndsPromptlyMidListAndWithoutEverStarting) {
    Position p;
    p.setStartPosition();
    const Family f = familyOf(p);
    { SiblingEvaluator idle; }
    {
        // Stopped between lists, the helper comes back for the next one.
        SiblingEvaluator s;
        s.setEnabled(true);
        expectScores(s, f, upTo(200));
        s.stop();
        s.stop();
        s.begin(f.parent);
        EXPECT_TRUE(s.shared());
        for (std::size_t j = 0; j < 300; ++j) {
            std::this_thread::sleep_for(std::chrono::microseconds(10));
            ASSERT_EQ(s.whiteScore(j, f.children[j]), f.scores[j]);
        }
        s.end();
        EXPECT_GT(s.scoresFromHelper(), 0);
    }
    {
        SiblingEvaluator s;
        s.setEnabled(true);
        s.begin(f.parent);
        EXPECT_EQ(s.whiteScore(0, f.children[0]), f.scores[0]);
        // Destroyed without end(): the helper finishes the list's runs it can take and quits.
    }
}

}  // namespace
}  // namespace wintarvo
