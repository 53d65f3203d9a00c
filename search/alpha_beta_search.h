// One search of a position to a fixed depth: MTD(f) over null-window, fail-soft negamax
// alpha-beta with a transposition table, move ordering by static values and shallow
// re-searches, a table move and one killer per side and depth.
//
// Built for one think request together with its table, killers and score history, and used
// only by the engine thread. Depth counts whole moves (an amazon step with its arrow). Scores
// are from the side to move's point of view: a node with a ply to go whose side to move has no
// move scores -WIN_SCORE; a root score of exactly +-WIN_SCORE decides the game.
//
// A stop request (g_stopRequested) turns every node below the root into a leaf, so the running
// iteration ends quickly on static values. The root itself still expands, so an iteration
// always ends with a move when the position has one.
//
// With the split solver switched on (off by default), a node below the root whose board is
// split and that the solver decides within its small budget takes the solved score
// (SPLIT_WIN and more, split_solver.h) in place of its static value or its search; everything
// else is searched as before.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "endgame/split_solver.h"
#include "model/board.h"
#include "model/evaluator.h"
#include "model/move_generation.h"
#include "model/move_list.h"
#include "search/engine_base.h"
#include "search/sibling_evaluator.h"
#include "search/transposition_table.h"

namespace wintarvo {

constexpr int WIN_SCORE = 10000;
constexpr int MAX_ITERATION_DEPTH = 25;

// The deepest move first, the node's own best move last.
using PrincipalVariation = std::vector<Move>;

// Told of each pass of mtdf as it ends (the clocked driver's way of seeing what a pass proved).
class PassObserver {
  public:
    virtual ~PassObserver() = default;
    // failedHigh: the pass's value reached its test value; rootMove: the root move it returned
    // (null when none). False ends mtdf at once, with that pass's value.
    virtual bool afterPass(bool failedHigh, const Move& rootMove) = 0;
};

class AlphaBetaSearch : public EngineBase {
  public:
    AlphaBetaSearch();

    void setPosition(const Position& p) override;
    bool chooseMove(Move& out) override { return rootSearch(out); }
    bool isDecided() const override { return decided_; }
    int lastScore() const override { return lastScore_; }

    // Depths above 25 search 25.
    void setIterationDepth(int n) { iterationDepth_ = n < 26 ? n : MAX_ITERATION_DEPTH; }
    int iterationDepth() const { return iterationDepth_; }

    // One iteration at the current depth; false (out unchanged) when it produced no move.
    bool rootSearch(Move& out);
    int mtdf(const Board& p, int depth, int iFirstGuess, PrincipalVariation& pv,
             PassObserver* observer = nullptr);
    // The first guess of an iteration at depth d: the score two iterations back, one for
    // depth 2, none for depth 1 (scores holds the completed iterations' scores by depth).
    template <class Scores>
    static int firstGuess(const Scores& scores, int d) {
        return d >= 3 ? scores[static_cast<std::size_t>(d - 2)] : d == 2 ? scores[1] : 0;
    }
    // The root line of the trace: the score with its sign, then the variation from the root move.
    static void traceRootLine(int g, const PrincipalVariation& pv);
    int alphaBeta(const Board& p, int depth, int alpha, int beta, PrincipalVariation& pv, int ply);
    // Reorders and shortens the moves of p (in generation order) in place (depth > 1 only).
    void orderMoves(const Board& p, int depth, MoveList& moves, int ply);

    const TranspositionTable& table() const { return table_; }
    void printStatistics() const { table_.printStatistics(); }
    const Move& killer(int side, int depth) const { return killers_[side][depth]; }

    // The move the root node searched first in the last call of alphaBeta at ply 0 that searched
    // moves; the caller clears it before the call, so it stays clear after a table cut-off. The
    // clocked driver reads from it what a cut iteration has proven.
    const Move& rootFirstMove() const { return rootFirst_; }
    void clearRootFirstMove() { rootFirst_ = Move::null(); }

    // Whether a second thread evaluates children ahead of the search (the results are the
    // same either way). On by default where the process may use two processors or more.
    void setHelperThread(bool on) { siblings_.setEnabled(on); }
    bool helperThread() const { return siblings_.enabled(); }
    // Ends the helper thread until the next search needs it.
    void releaseHelperThread() { siblings_.stop(); }

    // Solved scores for split boards below the root. Set before the first search of the
    // object: the bounds in the table are those of the setting they were searched with.
    void setSplitSolver(bool on);
    bool splitSolverEnabled() const { return split_ != nullptr; }
    // The solver the search uses (with what it has learnt of the regions so far), for questions
    // about the root; nullptr while switched off.
    SplitSolver* splitSolver() { return split_.get(); }

  protected:
    Board position_;

  private:
    // The static value of p: the table's cached value if it has one, else a fresh evaluation,
    // which is then cached.
    int staticValue(const Board& p);
    // The same for the child with generation index j of the list the sibling evaluator was
    // last given, visited in generation order or not.
    int childValue(const Board& child, std::size_t j, bool inOrder = true);
    // childValue with the split solver on: the solved score of a split child that the solver
    // decides, where m made the child from a node known to be mixed or not.
    int splitChildValue(const Board& child, const Move& m, bool parentMixed, std::size_t j,
                        bool inOrder = true);
    // With the split solver on: whether p is split and decided, and then its score. A node
    // also notes in its ply whether it is mixed; one whose side to move has no move at all is
    // left to the search, which scores it -WIN_SCORE as the rules say.
    bool solvedLeaf(const Board& p, int& score);
    bool solvedNode(const Board& p, int plyIndex, int& score);

    // A move waiting in the ordering: its key, and its place in the list it came from, which
    // breaks ties so that equal keys keep their order.
    struct Keyed {
        int key;
        int order;
        Move move;
    };
    // Buffers reused by every node at one distance from the root, so that no node allocates.
    struct Ply {
        MoveList moves;
        MoveGroups groups;
        PrincipalVariation childPv;
        std::vector<Keyed> keyed;
        std::vector<Keyed> rescored;
        PrincipalVariation scratchPv;
        // With the split solver on: the node's board is known to be mixed, so a child is mixed
        // too unless its arrow cut a region.
        bool mixed = false;
    };
    Ply& ply(int n);
    // Fetches the table lines of the children the loop over `count` moves will reach soon: the
    // index line eight children ahead, the entry four ahead. moveAt(j) is the j-th move.
    template <class MoveAt>
    void fetchAhead(const Board& p, std::size_t i, std::size_t count, MoveAt&& moveAt) {
        if (i + 8 < count) table_.prefetchIndex(p.childHashValue0(moveAt(i + 8)));
        if (i + 4 < count) table_.prefetchEntry(p.childHashValue0(moveAt(i + 4)));
    }
    template <class MoveAt>
    void fetchFirst(const Board& p, std::size_t count, MoveAt&& moveAt) {
        for (std::size_t j = 0; j < 8 && j < count; ++j)
            table_.prefetchIndex(p.childHashValue0(moveAt(j)));
    }

    int iterationDepth_ = 0;
    int lastScore_ = 0;
    bool decided_ = false;
    std::array<std::array<Move, MAX_ITERATION_DEPTH + 1>, 2> killers_{};
    TranspositionTable table_;
    Evaluator evaluator_;
    SiblingEvaluator siblings_;
    std::array<int, 100> scoreHistory_{};
    PrincipalVariation rootPv_;
    Move rootFirst_ = Move::null();
    std::vector<Ply> plies_;
    std::unique_ptr<SplitSolver> split_;  // only while switched on
};

}  // namespace wintarvo
