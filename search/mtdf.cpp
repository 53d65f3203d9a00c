// MTD(f): null-window searches that close in on the minimax value from a first guess.
#include "diag/trace.h"
#include "search/alpha_beta_search.h"

namespace wintarvo {

int AlphaBetaSearch::mtdf(const Board& p, int d, int iFirstGuess, PrincipalVariation& pv,
                          PassObserver* observer) {
    // 1.
    traceLine("Depth = " + intToString(d));
    traceLine("First = " + intToString(iFirstGuess));

    // 2.
    int iLowerBound = -BOUND_INFINITY;
    int iUpperBound = BOUND_INFINITY;
    int g = iFirstGuess;
    int highs = 0;
    int lows = 0;

    // 3. One pass per test value; after three outcomes in one direction the test value moves
    //    faster, but stays strictly inside the bounds.
    while (iLowerBound < iUpperBound) {
        int beta = g == iLowerBound ? g + 1 : g;
        if (lows > 2) {
            beta = beta + 1 - lows;
            if (beta < iLowerBound + 1) beta = iLowerBound + 1;
        }
        if (highs > 2) {
            beta = beta + highs - 1;
            if (beta > iUpperBound) beta = iUpperBound;
        }
        g = alphaBeta(p, d, beta - 1, beta, pv, 0);
        if (!pv.empty()) traceWrite(moveText(pv.back()));
        if (g < beta) {
            iUpperBound = g;
            traceLine(" iUpperBound = " + intToString(g));
            ++lows;
            highs = 0;
        } else {
            iLowerBound = g;
            traceLine(" iLowerBound = " + intToString(g));
            ++highs;
            lows = 0;
        }
        if (observer && !observer->afterPass(g >= beta, pv.empty() ? Move::null() : pv.back()))
            return g;
    }

    // 4.
    traceLine("iScore = " + intToString(g));
    return g;
}

}  // namespace wintarvo
