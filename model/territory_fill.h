// The territory flood fill on square sets: the hot core shared by the evaluator, the territory
// counter and the board view's tint.
//
// Each wave, every source of a side spreads like a queen through empty squares; a square
// reached by one side only becomes that side's (and a source of the next wave), a square
// reached by both in the same wave is contested and blocks both from then on. All sources of a
// side advance together: per direction, one occluded fill of the whole set. Directional fills
// of different sources along one line never overlap (the nearer source blocks the farther), so
// the sizes of the first wave's eight directional fills add up to the sum of the amazons'
// mobilities.
#pragma once

#include "model/bitboard.h"

namespace wintarvo {

struct TerritoryFill {
    Bits white = 0;      // White's amazons and every square White reached first
    Bits black = 0;      // the same for Black
    Bits contested = 0;  // reached by both sides in the same wave
    int whiteCount = 0;
    int blackCount = 0;
};

namespace fill {

// Squares reached from any of `a` (into ra) and from any of `b` (into rb) by sliding in
// direction Delta through `open`. The two sides share the propagators, which depend on the open
// squares alone.
template <int Delta>
inline void slide2(Bits a, Bits b, Bits open, Bits& ra, Bits& rb) {
    Bits p = open;
    a |= p & bits::shift<Delta>(a);
    b |= p & bits::shift<Delta>(b);
    p &= bits::shift<Delta>(p);
    a |= p & bits::shift<2 * Delta>(a);
    b |= p & bits::shift<2 * Delta>(b);
    p &= bits::shift<2 * Delta>(p);
    a |= p & bits::shift<4 * Delta>(a);
    b |= p & bits::shift<4 * Delta>(b);
    p &= bits::shift<4 * Delta>(p);
    a |= p & bits::shift<8 * Delta>(a);
    b |= p & bits::shift<8 * Delta>(b);
    ra = a & open;
    rb = b & open;
}

// Every square a queen on any of `a` (or `b`) reaches through `open`, side by side.
inline void queenSlide2(Bits a, Bits b, Bits open, Bits& ra, Bits& rb) {
    Bits x[8], y[8];
    slide2<-12>(a, b, open, x[0], y[0]);
    slide2<-11>(a, b, open, x[1], y[1]);
    slide2<-10>(a, b, open, x[2], y[2]);
    slide2<-1>(a, b, open, x[3], y[3]);
    slide2<1>(a, b, open, x[4], y[4]);
    slide2<10>(a, b, open, x[5], y[5]);
    slide2<11>(a, b, open, x[6], y[6]);
    slide2<12>(a, b, open, x[7], y[7]);
    ra = x[0] | x[1] | x[2] | x[3] | x[4] | x[5] | x[6] | x[7];
    rb = y[0] | y[1] | y[2] | y[3] | y[4] | y[5] | y[6] | y[7];
}

// The first wave from the amazons themselves: each side's reach, and the sum over each side's
// amazons of the squares each reaches (its mobility).
inline void firstWave(Bits white, Bits black, Bits open, Bits& whiteReach, Bits& blackReach,
                      int& whiteMobility, int& blackMobility) {
    Bits x[8], y[8];
    slide2<-12>(white, black, open, x[0], y[0]);
    slide2<-11>(white, black, open, x[1], y[1]);
    slide2<-10>(white, black, open, x[2], y[2]);
    slide2<-1>(white, black, open, x[3], y[3]);
    slide2<1>(white, black, open, x[4], y[4]);
    slide2<10>(white, black, open, x[5], y[5]);
    slide2<11>(white, black, open, x[6], y[6]);
    slide2<12>(white, black, open, x[7], y[7]);
    int wm = 0, bm = 0;
    for (int d = 0; d < 8; ++d) {
        wm += bits::count(x[d]);
        bm += bits::count(y[d]);
    }
    whiteMobility = wm;
    blackMobility = bm;
    whiteReach = x[0] | x[1] | x[2] | x[3] | x[4] | x[5] | x[6] | x[7];
    blackReach = y[0] | y[1] | y[2] | y[3] | y[4] | y[5] | y[6] | y[7];
}

// Runs the whole fill. `open` is the set of empty squares; every other square blocks.
// whiteReach and blackReach are the first wave's reach, already computed from the amazons.
// extraWhite and extraBlack are squares already marked as newly reached when the fill starts
// (only a hand-made working copy has any): they join the sources of the second wave.
inline void run(Bits whiteAmazons, Bits blackAmazons, Bits open, Bits whiteReach, Bits blackReach,
                TerritoryFill& out, Bits extraWhite = 0, Bits extraBlack = 0) {
    Bits ws = whiteAmazons, bs = blackAmazons;
    int wc = 0, bc = 0;
    Bits wt = 0, bt = 0, contested = 0;
    for (;;) {
        wc += bits::count(ws);
        bc += bits::count(bs);
        wt |= ws;
        bt |= bs;
        const Bits both = whiteReach & blackReach;
        contested |= both;
        open &= ~(whiteReach | blackReach);
        ws = (whiteReach & ~both) | extraWhite;
        bs = (blackReach & ~both) | extraBlack;
        extraWhite = extraBlack = 0;
        if ((ws | bs) == 0) break;
        queenSlide2(ws, bs, open, whiteReach, blackReach);
    }
    out.white = wt;
    out.black = bt;
    out.contested = contested;
    out.whiteCount = wc;
    out.blackCount = bc;
}

}  // namespace fill
}  // namespace wintarvo
