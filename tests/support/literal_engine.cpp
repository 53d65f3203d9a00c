#include "support/literal_engine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "diag/trace.h"
#include "model/move_generation.h"

namespace wintarvo::testing::literal {
namespace {

std::int32_t g_evaluations = 0;

CellCode& at(Position& p, Square s) {
    return p.cells[static_cast<std::size_t>(s)];
}
CellCode at(const Position& p, Square s) {
    return p.cells[static_cast<std::size_t>(s)];
}

void appendDestinations(const Position& w, Square s, std::vector<Square>& list) {
    SquareList reached;
    reached.count = 0;
    destinations(w, s, reached);
    for (int i = 0; i < reached.count; ++i)
        list.push_back(reached[i]);
}

std::string formatted(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string formatted(const char* format, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

bool contains(const MoveList& list, const Move& m, std::size_t& index) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == m) {
            index = i;
            return true;
        }
    }
    return false;
}

}  // namespace

// ---- Evaluation ---------------------------------------------------------------------------

void computeTerritory(Position& w, int& whiteCount, int& blackCount) {
    // 1.
    whiteCount = 0;
    blackCount = 0;
    for (;;) {
        // 2. Fresh reach lists; a square may be listed more than once.
        std::vector<Square> whiteList;
        std::vector<Square> blackList;
        // 3. This wave's sources become counted squares and spread.
        for (Square s = 0; s < 100; ++s) {
            if (at(w, s) == WhiteAmazon) {
                at(w, s) = WhiteTerritory;
                whiteCount += 1;
                appendDestinations(w, s, whiteList);
            } else if (at(w, s) == BlackAmazon) {
                at(w, s) = BlackTerritory;
                blackCount += 1;
                appendDestinations(w, s, blackList);
            }
        }
        // 4.
        for (Square e : whiteList) {
            if (at(w, e) == Empty) {
                at(w, e) = WhiteFront;
            } else if (at(w, e) == BlackFront) {
                at(w, e) = Contested;
            }
        }
        // 5.
        for (Square e : blackList) {
            if (at(w, e) == Empty) {
                at(w, e) = BlackFront;
            } else if (at(w, e) == WhiteFront) {
                at(w, e) = Contested;
            }
        }
        // 6. Fronts are the next wave's sources.
        bool turned = false;
        for (Square s = 0; s < 100; ++s) {
            if (at(w, s) == WhiteFront) {
                at(w, s) = WhiteAmazon;
                turned = true;
            } else if (at(w, s) == BlackFront) {
                at(w, s) = BlackAmazon;
                turned = true;
            }
        }
        if (!turned) break;
    }
}

int evaluate(const Position& p, bool verbose) {
    // 1. Mobility on the unmarked position.
    int wm = 0;
    int bm = 0;
    for (Square s = 0; s < 100; ++s) {
        if (at(p, s) == WhiteAmazon) wm += mobility(p, s);
        if (at(p, s) == BlackAmazon) bm += mobility(p, s);
    }
    // 2.
    Position w = p;
    int wt = 0;
    int bt = 0;
    computeTerritory(w, wt, bt);
    // 3.
    if (verbose) {
        traceLine("Territory board:");
        dumpPosition(w);
    }
    // 4. Division truncates toward zero, as C++ integer division does.
    const int score = wt + (wm - bm) / 4 - bt;
    // 5.
    if (verbose) {
        traceWrite("White territory = " + intToString(wt));
        traceLine("  mobility = " + intToString(wm));
        traceWrite("Black territory = " + intToString(bt));
        traceLine("  mobility = " + intToString(bm));
        traceLine("Total score = " + intToString(score));
    }
    // 6.
    g_evaluations += 1;
    if (g_evaluations % 100000 == 0) traceWrite("nodes = " + intToString(g_evaluations) + "\n");
    // 7.
    return p.sideToMove == 0 ? score : -score;
}

std::int32_t evaluationCount() {
    return g_evaluations;
}

void setEvaluationCount(std::int32_t value) {
    g_evaluations = value;
}

// ---- Transposition table ------------------------------------------------------------------

TranspositionTable::TranspositionTable() : buckets(static_cast<std::size_t>(BUCKET_COUNT)) {}

bool TranspositionTable::probe(const Position& p, int& depth, int& lower, int& upper, Move& move) {
    // 1.
    const std::uint32_t key0 = p.hashValue(0);
    const std::vector<std::int32_t>& list = buckets[key0 % static_cast<std::uint32_t>(bucketCount)];
    // 2.
    for (std::int32_t number : list) {
        const TableEntry& e = entries[static_cast<std::size_t>(number)];
        if (e[0] != static_cast<std::int32_t>(key0)) continue;
        if (e[1] == static_cast<std::int32_t>(p.hashValue(1))) {
            depth = e[2];
            lower = e[3];
            upper = e[4];
            move = Move{e[5], e[6], e[7]};
            lookupSuccesses += 1;
            return true;
        }
        lockCollisions += 1;
    }
    // 3.
    lookupFailures += 1;
    return false;
}

bool TranspositionTable::store(const Position& p, int depth, int lower, int upper,
                               const Move& move) {
    const std::uint32_t key0 = p.hashValue(0);
    const std::uint32_t key1 = p.hashValue(1);
    std::vector<std::int32_t>& list = buckets[key0 % static_cast<std::uint32_t>(bucketCount)];
    // 1. An entry for the same position?
    for (std::int32_t number : list) {
        TableEntry& e = entries[static_cast<std::size_t>(number)];
        if (e[0] != static_cast<std::int32_t>(key0)) continue;
        if (e[1] != static_cast<std::int32_t>(key1)) {
            lockCollisions += 1;
            continue;
        }
        if (depth < e[2]) {  // 1.1
            addFailures += 1;
            return false;
        }
        if (depth == e[2]) {  // 1.2: merge the bounds, not replace them
            if ((lower + upper) / 2 > (e[3] + e[4]) / 2) {
                e[5] = move.from;
                e[6] = move.to;
                e[7] = move.arrow;
            }
            if (lower > e[3]) e[3] = lower;
            if (upper < e[4]) e[4] = upper;
        } else {  // 1.3
            e[2] = depth;
            e[3] = lower;
            e[4] = upper;
            e[5] = move.from;
            e[6] = move.to;
            e[7] = move.arrow;
        }
        addSuccesses += 1;  // 1.4
        return true;
    }
    // 2. A new entry.
    const TableEntry fresh{static_cast<std::int32_t>(key0),
                           static_cast<std::int32_t>(key1),
                           depth,
                           lower,
                           upper,
                           move.from,
                           move.to,
                           move.arrow};
    if (static_cast<std::int32_t>(entries.size()) < maximumEntries) {  // 2.1
        replaceCursor = static_cast<std::int32_t>(entries.size());
        entries.push_back(fresh);
    } else {  // 2.2
        for (int advance = 1; advance <= 10; ++advance) {
            replaceCursor = (replaceCursor + 1) % maximumEntries;
            if (entries[static_cast<std::size_t>(replaceCursor)][2] <= depth) break;
        }
        TableEntry& victim = entries[static_cast<std::size_t>(replaceCursor)];
        std::vector<std::int32_t>& victimList = buckets[static_cast<std::uint32_t>(victim[0]) %
                                                        static_cast<std::uint32_t>(bucketCount)];
        for (std::size_t i = 0; i < victimList.size(); ++i) {
            if (victimList[i] == replaceCursor) {
                victimList.erase(victimList.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
        victim = fresh;
    }
    list.push_back(replaceCursor);                                   // 2.3
    if (static_cast<std::int32_t>(list.size()) > maximumListSize) {  // 2.4
        maximumListSize = static_cast<std::int32_t>(list.size());
    }
    addSuccesses += 1;  // 2.5
    return true;
}

bool TranspositionTable::probeEvaluation(const Position& p, int& value) {
    int depth = 0;
    int lower = 0;
    int upper = 0;
    Move move;
    if (!probe(p, depth, lower, upper, move)) return false;
    if (lower != upper) return false;
    value = lower;
    return true;
}

void TranspositionTable::storeEvaluation(const Position& p, int value) {
    store(p, 0, value, value, Move::null());
}

void TranspositionTable::printStatistics() const {
    traceLine("\n-- Transposition Table Stats --");
    traceLine("Maximum Table Size    : " + intToString(maximumEntries));
    traceLine("Current Table Size    : " + intToString(static_cast<int>(entries.size())));
    traceLine("Table Index Size      : " + intToString(bucketCount));
    traceLine("Add Successes         : " + intToString(addSuccesses));
    traceLine("Add Failures          : " + intToString(addFailures));
    traceLine("Lookup Successes      : " + intToString(lookupSuccesses));
    traceLine("Lookup Failures       : " + intToString(lookupFailures));
    traceLine("Lock Collisions       : " + intToString(lockCollisions));
    traceLine("Maximum list-size     : " + intToString(maximumListSize));
    traceLine("");
}

// ---- Search ---------------------------------------------------------------------------------

void SearchEngine::setIterationDepth(int n) {
    iterationDepth = n < 26 ? n : 25;
}

bool SearchEngine::rootSearch(Move& out) {
    // 1. (The stop flag would be cleared here.)
    decided = false;
    PrincipalVariation pv;
    // 2.
    const int d = iterationDepth;
    int firstGuess = 0;
    if (d >= 3) {
        firstGuess = scoreHistory[static_cast<std::size_t>(d - 2)];
    } else if (d == 2) {
        firstGuess = scoreHistory[1];
    }
    // 3.
    const int g = mtdf(position, d, firstGuess, pv);
    // 4.
    scoreHistory[static_cast<std::size_t>(d)] = g;
    if (std::abs(g) == WIN_SCORE) decided = true;
    // 5. The root line.
    std::string rootLine = g >= 0 ? " +" : " ";
    rootLine += intToString(g);
    rootLine += ": ";
    traceWrite(rootLine);
    dumpMoveSequence(pv);
    traceLine("");
    // 6.
    if (pv.empty()) return false;
    out = pv.back();
    lastScore = g;
    return true;
}

int SearchEngine::mtdf(const Position& p, int depth, int iFirstGuess, PrincipalVariation& pv) {
    // 1.
    traceLine("Depth = " + intToString(depth));
    traceLine("First = " + intToString(iFirstGuess));
    // 2.
    int iLowerBound = -BOUND_INFINITY;
    int iUpperBound = BOUND_INFINITY;
    int g = iFirstGuess;
    int highs = 0;
    int lows = 0;
    // 3.
    while (iLowerBound < iUpperBound) {
        int beta = g == iLowerBound ? g + 1 : g;  // 3.1
        if (lows > 2) {                           // 3.2
            beta = beta + 1 - lows;
            if (beta < iLowerBound + 1) beta = iLowerBound + 1;
        }
        if (highs > 2) {  // 3.3
            beta = beta + highs - 1;
            if (beta > iUpperBound) beta = iUpperBound;
        }
        g = alphaBeta(p, depth, beta - 1, beta, pv);       // 3.4
        if (!pv.empty()) traceWrite(moveText(pv.back()));  // 3.5
        if (g < beta) {                                    // 3.6
            iUpperBound = g;
            traceLine(" iUpperBound = " + intToString(g));
            lows += 1;
            highs = 0;
        } else {
            iLowerBound = g;
            traceLine(" iLowerBound = " + intToString(g));
            highs += 1;
            lows = 0;
        }
    }
    // 4.
    traceLine("iScore = " + intToString(g));
    return g;
}

int SearchEngine::staticValue(const Position& p) {
    int v = 0;
    if (table.probeEvaluation(p, v)) return v;
    v = evaluate(p, false);
    table.storeEvaluation(p, v);
    return v;
}

int SearchEngine::alphaBeta(const Position& p, int depth, int alpha, int beta,
                            PrincipalVariation& pv) {
    const int d = depth;
    // 1. Leaf (the stop flag, never set here, would also make one).
    if (d < 1) return staticValue(p);
    // 2.
    int sd = 0;
    int lo = 0;
    int up = 0;
    Move tm;
    const bool hit = table.probe(p, sd, lo, up, tm);
    if (!hit) sd = 0;
    // 3.
    if (hit && sd >= d) {
        if (lo >= beta) {
            pv.push_back(tm);
            return lo;
        }
        if (up <= alpha) {
            pv.push_back(tm);
            return up;
        }
        if (lo == up) {
            pv.push_back(tm);
            return lo;
        }
        if (lo > alpha) alpha = lo;
        if (up < beta) beta = up;
    }
    // 4.
    MoveList list;
    generateMoves(p, list);
    if (list.empty()) return -WIN_SCORE;
    // 5.
    if (d > 1) orderMoves(p, d, list);
    // 6.
    std::size_t index = 0;
    if (hit && contains(list, tm, index)) std::swap(list[index], list[0]);
    // 7.
    const int side = p.sideToMove;
    const Move k = killers[static_cast<std::size_t>(side)][static_cast<std::size_t>(d)];
    if (contains(list, k, index)) {
        if (hit) {
            if (index != 0) std::swap(list[index], list[1]);
        } else {
            std::swap(list[index], list[0]);
        }
    }
    // 8.
    int best = -BOUND_INFINITY;
    Move bestMove = Move::null();
    int a = alpha;
    // 9.
    for (const Move& m : list) {
        Position child = p;
        child.applyMove(m);
        PrincipalVariation cpv;
        const int v = -alphaBeta(child, d - 1, -beta, -a, cpv);
        if (v > best) {
            best = v;
            bestMove = m;
            pv = cpv;
        }
        if (v > a) a = v;
        if (v >= beta) {
            killers[static_cast<std::size_t>(side)][static_cast<std::size_t>(d)] = m;
            break;
        }
    }
    // 10.
    pv.push_back(bestMove);
    // 11. With the window as narrowed in step 3.
    if (best <= alpha) {
        table.store(p, d, -BOUND_INFINITY, best, bestMove);
    } else if (best >= beta) {
        table.store(p, d, best, BOUND_INFINITY, bestMove);
    } else {
        table.store(p, d, best, best, bestMove);
    }
    // 12.
    return best;
}

void SearchEngine::orderMoves(const Position& p, int depth, MoveList& list) {
    const int d = depth;
    // 1. Static phase: keyed by the child's value, so the smallest key is the best move.
    std::multimap<int, Move> r;
    for (const Move& m : list) {
        Position child = p;
        child.applyMove(m);
        const int v = staticValue(child);
        r.insert({v, m});
    }
    // 2. Re-scoring phase with one-ply searches.
    if ((d >= 3 && d == iterationDepth) || d >= 4) {
        std::multimap<int, Move> q;
        int w = -BOUND_INFINITY;
        int best = -BOUND_INFINITY;
        int c = 0;
        for (const auto& [key, m] : r) {
            if (c == 101) break;
            if (d <= 3 && c == 50) break;
            Position child = p;
            child.applyMove(m);
            if (q.size() >= 10) {
                w = -q.rbegin()->first - 1;
                if (w >= best - 8) w = best - 9;
            }
            PrincipalVariation scratch;
            const int score = alphaBeta(child, 1, -BOUND_INFINITY, -w, scratch);
            if (-score > best) best = -score;
            q.insert({score, m});
            c += 1;
        }
        r = q;
    }
    // 3. Truncation phase.
    list.clear();
    const int k0 = r.begin()->first;
    for (const auto& [key, m] : r) {
        list.push_back(m);
        const std::size_t n = list.size();
        if (n >= 50) break;
        if (n >= 10 && key >= k0 + 8) break;
    }
}

bool SearchEngine::think(Move& out) {
    // 1. (The process-wide search timer only accumulates thinking time; it has no effect on
    // the trace and is left out.)
    setEvaluationCount(0);
    const auto started = std::chrono::steady_clock::now();
    // 2.
    traceLine("Estimated branch factor = " + intToString(BRANCH_FACTOR_ESTIMATE));
    // 3.
    bool stop = false;
    int i = 0;
    double elapsed = 0.0;
    // 4.
    for (;;) {
        i = i + 1;  // 4.1
        setIterationDepth(i);
        // 4.2 and 4.4: the previous iteration's move is kept only for a stop, and the stop
        // flag is never set in oracle runs.
        if (!rootSearch(out)) return false;  // 4.3
        statusText = "Depth = " + intToString(i) + "  Score = " + (lastScore > 0 ? "+" : "") +
                     intToString(lastScore);             // 4.5
        traceWrite("Depth = " + intToString(i) + "\n");  // 4.6
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started)
                      .count();  // 4.7
        traceLine(formatted("Elapsed time = %.3f [s]", elapsed));
        traceLine(formatted("Nodes = %d", evaluationCount()));                             // 4.8
        if (i > 25 || i == depthLimit) stop = true;                                        // 4.9
        if (timeLimit != -1 && elapsed * BRANCH_FACTOR_ESTIMATE > timeLimit) stop = true;  // 4.10
        if (decided) stop = true;                                                          // 4.11
        traceLine("");                                                                     // 4.12
        if (stop) break;                                                                   // 4.13
    }
    // 5. With the elapsed time of the last iteration.
    const int perSecond = elapsed > 0 ? static_cast<int>(evaluationCount() / elapsed) : 0;
    traceLine(formatted("Nodes per second = %d", perSecond));
    // 6.
    return true;
}

ThinkResult think(const Position& p, int depthLimit, int timeLimit) {
    SearchEngine engine;
    engine.depthLimit = depthLimit;
    engine.timeLimit = timeLimit;
    engine.position = p;
    ThinkResult result;
    result.move = Move::null();
    result.found = engine.think(result.move);
    result.statusText = engine.statusText;
    engine.table.printStatistics();
    result.evaluations = evaluationCount();
    return result;
}

}  // namespace wintarvo::testing::literal
