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

// Squares reached from any of `sources` by sliding in direction Delta through `open`.
template <int Delta>
inline Bits slide(Bits sources, Bits open) {
    Bits g = sources;
    Bits p = open;
    g |= p & bits::shift<Delta>(g);
    p &= bits::shift<Delta>(p);
    g |= p & bits::shift<2 * Delta>(g);
    p &= bits::shift<2 * Delta>(p);
    g |= p & bits::shift<4 * Delta>(g);
    p &= bits::shift<4 * Delta>(p);
    g |= p & bits::shift<8 * Delta>(g);
    return g & open;
}

// Every square a queen on any of `sources` reaches through `open`.
inline Bits queenSlide(Bits sources, Bits open) {
    return slide<-12>(sources, open) | slide<-11>(sources, open) | slide<-10>(sources, open) |
           slide<-1>(sources, open) | slide<1>(sources, open) | slide<10>(sources, open) |
           slide<11>(sources, open) | slide<12>(sources, open);
}

// The first wave from the amazons themselves: the union of their reach, and in `mobility` the
// sum over the amazons of the squares each reaches.
inline Bits firstWave(Bits amazons, Bits open, int& mobility) {
    const Bits r0 = slide<-12>(amazons, open), r1 = slide<-11>(amazons, open),
               r2 = slide<-10>(amazons, open), r3 = slide<-1>(amazons, open),
               r4 = slide<1>(amazons, open), r5 = slide<10>(amazons, open),
               r6 = slide<11>(amazons, open), r7 = slide<12>(amazons, open);
    mobility = bits::count(r0) + bits::count(r1) + bits::count(r2) + bits::count(r3) +
               bits::count(r4) + bits::count(r5) + bits::count(r6) + bits::count(r7);
    return r0 | r1 | r2 | r3 | r4 | r5 | r6 | r7;
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
        whiteReach = ws ? queenSlide(ws, open) : Bits{0};
        blackReach = bs ? queenSlide(bs, open) : Bits{0};
    }
    out.white = wt;
    out.black = bt;
    out.contested = contested;
    out.whiteCount = wc;
    out.blackCount = bc;
}

}  // namespace fill
}  // namespace wintarvo
