// The literal form of the engine: evaluation, transposition table and search written step by
// step, as plainly as possible and without regard to speed, kept as an oracle for the fast
// engine. Given the same position and limits, the fast engine's trace, move, status text and
// evaluation count must equal this one's byte for byte.
//
// Everything here runs on the calling (test) thread. The evaluation counter is this file's own
// plain global, not the program's g_nodeCount, so the two engines can run side by side. The
// stop flag is never set in oracle runs and is left out: every place that would poll it reads
// it as false.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/move.h"
#include "model/move_list.h"
#include "model/position.h"

namespace wintarvo::testing::literal {

// ---- Evaluation ---------------------------------------------------------------------------

// The wave-by-wave territory fill on w, a copy the caller made for the purpose. Afterwards w
// holds the marked board and the counts hold the totals (amazons included).
void computeTerritory(Position& w, int& whiteCount, int& blackCount);

// Territory plus a quarter of the mobility difference, from the side to move's point of view.
// The verbose form writes the marked board and the terms to the trace. Every call counts one
// evaluation and writes "nodes = N" at every multiple of 100000.
int evaluate(const Position& p, bool verbose);

// The oracle's evaluation counter; think sets it to 0 when it starts.
std::int32_t evaluationCount();
void setEvaluationCount(std::int32_t value);

// ---- Transposition table ------------------------------------------------------------------

// key0, key1, depth, lower, upper, move from, move to, move arrow.
using TableEntry = std::array<std::int32_t, 8>;

// The fields in the order the table is described, all public so that tests can look inside.
// Construction allocates all 524288 (empty) bucket lists at once.
struct TranspositionTable {
    static constexpr std::int32_t BUCKET_COUNT = 0x80000;
    static constexpr std::int32_t MAXIMUM_ENTRIES = 0x80000;

    std::vector<TableEntry> entries;
    std::vector<std::vector<std::int32_t>> buckets;
    std::int32_t bucketCount = BUCKET_COUNT;
    std::int32_t maximumEntries = MAXIMUM_ENTRIES;
    std::int32_t replaceCursor = -1;
    std::int32_t maximumListSize = 0;
    std::int32_t addFailures = 0;
    std::int32_t addSuccesses = 0;
    std::int32_t lookupFailures = 0;
    std::int32_t lookupSuccesses = 0;
    std::int32_t lockCollisions = 0;

    TranspositionTable();

    bool probe(const Position& p, int& depth, int& lower, int& upper, Move& move);
    bool store(const Position& p, int depth, int lower, int upper, const Move& move);
    bool probeEvaluation(const Position& p, int& value);
    void storeEvaluation(const Position& p, int value);
    void printStatistics() const;
};

// ---- Search ---------------------------------------------------------------------------------

constexpr int WIN_SCORE = 10000;
constexpr int BOUND_INFINITY = 20000;
constexpr int BRANCH_FACTOR_ESTIMATE = 8;

// Deepest move first, the node's own best move last.
using PrincipalVariation = std::vector<Move>;

// One think request's searcher: MTD(f) over fail-soft alpha-beta, the ordering, and iterative
// deepening on top. Built fresh for every request, so table, killers and history start empty.
// The table makes the object large (half a million bucket lists); build one per think.
class SearchEngine {
  public:
    Position position;
    int iterationDepth = 0;
    int lastScore = 0;
    bool decided = false;
    std::array<std::array<Move, 26>, 2> killers{};  // [side to move][remaining depth]
    TranspositionTable table;
    std::array<int, 100> scoreHistory{};  // only entries already written are ever read
    int depthLimit = 0;
    int timeLimit = 0;
    std::string statusText;

    void setIterationDepth(int n);
    bool rootSearch(Move& out);
    int mtdf(const Position& p, int depth, int iFirstGuess, PrincipalVariation& pv);
    int alphaBeta(const Position& p, int depth, int alpha, int beta, PrincipalVariation& pv);
    void orderMoves(const Position& p, int depth, MoveList& list);
    bool think(Move& out);

    // The table's cached static value, else a fresh evaluation that is then cached.
    int staticValue(const Position& p);
};

struct ThinkResult {
    bool found = false;
    Move move;
    std::string statusText;
    std::int64_t evaluations = 0;
};

// One think request as the engine thread runs it: a fresh search object (empty table, killers,
// history), the limits, the position, think with the move starting as the null move, then the
// statistics block. Everything goes through traceWrite/traceLine.
ThinkResult think(const Position& p, int depthLimit, int timeLimit);

}  // namespace wintarvo::testing::literal
