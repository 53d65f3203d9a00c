// The territory flood fill on square sets: the hot core shared by the evaluator, the territory
// counter and the board view's tint.
//
// Each wave, every source of a side spreads like a queen through empty squares; a square
// reached by one side only becomes that side's (and a source of the next wave), a square
// reached by both in the same wave is contested and blocks both from then on. All sources of a
// side advance together: per direction, one occluded fill of the whole set (doubling steps of
// one, two, four and eight squares), White's and Black's side by side since the propagators
// depend on the open squares alone. Directional fills of different sources along one line never
// overlap (the nearer source blocks the farther), so the sizes of the first wave's eight
// directional fills add up to the sum of the amazons' mobilities.
//
// The algorithm is written once over a small set of operations on a pair of sets (White's,
// Black's). It runs on plain 128-bit integers, in SSE registers (every x86-64 processor), or
// with both sides in one AVX2 register (territory_fill_avx2.cpp, chosen at run time); all give
// the same sets, which the tests check.
#pragma once

#include <type_traits>

#include "model/bitboard.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wintarvo {

struct TerritoryFill {
    Bits white = 0;      // White's amazons and every square White reached first
    Bits black = 0;      // the same for Black
    Bits contested = 0;  // reached by both sides in the same wave
    int whiteCount = 0;
    int blackCount = 0;
};

// What the evaluation needs of a fill: the two counts and the two mobilities.
struct FillCounts {
    int whiteCount = 0;
    int blackCount = 0;
    int whiteMobility = 0;
    int blackMobility = 0;
};

namespace fill {

// The operations on plain 128-bit integers. Pair holds White's set and Black's; Prop is the
// propagator set, shared by both.
struct GenericOps {
    using Set = Bits;
    struct Pair {
        Bits a, b;
    };
    using Prop = Bits;
    static Set load(Bits b) { return b; }
    static Bits store(Set s) { return s; }
    static Pair pairOf(Set a, Set b) { return Pair{a, b}; }
    static Set first(Pair p) { return p.a; }
    static Set second(Pair p) { return p.b; }
    static Prop propOf(Set s) { return s; }
    template <int Delta>
    static Pair shift(Pair p) {
        return Pair{bits::shift<Delta>(p.a), bits::shift<Delta>(p.b)};
    }
    template <int Delta>
    static Prop shiftProp(Prop p) {
        return bits::shift<Delta>(p);
    }
    static Prop andProp(Prop x, Prop y) { return x & y; }
    static bool isEmptyProp(Prop p) { return p == 0; }
    static Pair masked(Pair p, Prop m) { return Pair{p.a & m, p.b & m}; }
    static Pair orPair(Pair x, Pair y) { return Pair{x.a | y.a, x.b | y.b}; }
    static Set andOf(Set x, Set y) { return x & y; }
    static Set orOf(Set x, Set y) { return x | y; }
    static Set andNot(Set x, Set y) { return x & ~y; }
    static bool isEmpty(Set s) { return s == 0; }
    static int count(Set s) { return bits::count(s); }
};

#if defined(__SSE2__)
// Shifts a 128-bit SSE value toward higher (Delta > 0) or lower bits. Whole bytes take one
// instruction; other amounts combine the two 64-bit halves.
template <int Delta>
inline __m128i shift128(__m128i s) {
    if constexpr (Delta > 0) {
        if constexpr (Delta % 8 == 0) {
            return _mm_slli_si128(s, Delta / 8);
        } else if constexpr (Delta < 64) {
            return _mm_or_si128(_mm_slli_epi64(s, Delta), _mm_srli_epi64(_mm_slli_si128(s, 8), 64 - Delta));
        } else {
            return _mm_slli_epi64(_mm_slli_si128(s, 8), Delta - 64);
        }
    } else {
        constexpr int k = -Delta;
        if constexpr (k % 8 == 0) {
            return _mm_srli_si128(s, k / 8);
        } else if constexpr (k < 64) {
            return _mm_or_si128(_mm_srli_epi64(s, k), _mm_slli_epi64(_mm_srli_si128(s, 8), 64 - k));
        } else {
            return _mm_srli_epi64(_mm_srli_si128(s, 8), k - 64);
        }
    }
}

// The operations in SSE registers, one register per set.
struct SseOps {
    using Set = __m128i;
    struct Pair {
        __m128i a, b;
    };
    using Prop = __m128i;
    static Set load(Bits b) {
        return _mm_set_epi64x(static_cast<long long>(static_cast<std::uint64_t>(b >> 64)),
                              static_cast<long long>(static_cast<std::uint64_t>(b)));
    }
    static Bits store(Set s) {
        const auto lo = static_cast<std::uint64_t>(_mm_cvtsi128_si64(s));
        const auto hi = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(s, s)));
        return (Bits{hi} << 64) | lo;
    }
    static Pair pairOf(Set a, Set b) { return Pair{a, b}; }
    static Set first(Pair p) { return p.a; }
    static Set second(Pair p) { return p.b; }
    static Prop propOf(Set s) { return s; }
    template <int Delta>
    static Pair shift(Pair p) {
        return Pair{shift128<Delta>(p.a), shift128<Delta>(p.b)};
    }
    template <int Delta>
    static Prop shiftProp(Prop p) {
        return shift128<Delta>(p);
    }
    static Prop andProp(Prop x, Prop y) { return _mm_and_si128(x, y); }
    static bool isEmptyProp(Prop p) { return isEmpty(p); }
    static Pair masked(Pair p, Prop m) { return Pair{_mm_and_si128(p.a, m), _mm_and_si128(p.b, m)}; }
    static Pair orPair(Pair x, Pair y) { return Pair{_mm_or_si128(x.a, y.a), _mm_or_si128(x.b, y.b)}; }
    static Set andOf(Set x, Set y) { return _mm_and_si128(x, y); }
    static Set orOf(Set x, Set y) { return _mm_or_si128(x, y); }
    static Set andNot(Set x, Set y) { return _mm_andnot_si128(y, x); }
    static bool isEmpty(Set s) {
        return _mm_movemask_epi8(_mm_cmpeq_epi8(s, _mm_setzero_si128())) == 0xFFFF;
    }
    static int count(Set s) {
        return __builtin_popcountll(static_cast<unsigned long long>(_mm_cvtsi128_si64(s))) +
               __builtin_popcountll(static_cast<unsigned long long>(
                   _mm_cvtsi128_si64(_mm_unpackhi_epi64(s, s))));
    }
};
using PortableOps = SseOps;
#else
using PortableOps = GenericOps;
#endif

// Both sides' occluded fill in direction Delta through the open squares p. The result includes
// the sources. After the step of k squares, p holds the squares that end a run of 2k open
// squares; once no such run is left, the longer steps reach nothing new (common on a crowded
// board).
template <class O, int Delta>
inline typename O::Pair slide(typename O::Pair g, typename O::Prop p) {
    g = O::orPair(g, O::masked(O::template shift<Delta>(g), p));
    p = O::andProp(p, O::template shiftProp<Delta>(p));
    if (O::isEmptyProp(p)) return g;
    g = O::orPair(g, O::masked(O::template shift<2 * Delta>(g), p));
    p = O::andProp(p, O::template shiftProp<2 * Delta>(p));
    if (O::isEmptyProp(p)) return g;
    g = O::orPair(g, O::masked(O::template shift<4 * Delta>(g), p));
    p = O::andProp(p, O::template shiftProp<4 * Delta>(p));
    if (O::isEmptyProp(p)) return g;
    return O::orPair(g, O::masked(O::template shift<8 * Delta>(g), p));
}

// Calls f(fill of direction d) for the eight queen directions. Shift deltas in bitboard.h's
// twelve-bit rows: up-left, up, up-right, left, right, down-left, down, down-right.
template <class O, class F>
inline void eachDirection(typename O::Pair sources, typename O::Prop open, F&& f) {
    f(slide<O, -13>(sources, open));
    f(slide<O, -12>(sources, open));
    f(slide<O, -11>(sources, open));
    f(slide<O, -1>(sources, open));
    f(slide<O, 1>(sources, open));
    f(slide<O, 11>(sources, open));
    f(slide<O, 12>(sources, open));
    f(slide<O, 13>(sources, open));
}

// The squares next to any of s, in the eight directions.
template <class O>
inline typename O::Set neighbours(typename O::Set s) {
    const typename O::Pair p = O::pairOf(s, s);
    // Left and right, then up and down of the row-wide band: nine squares around each.
    const typename O::Pair sideways = O::orPair(O::orPair(p, O::template shift<1>(p)), O::template shift<-1>(p));
    const typename O::Pair all = O::orPair(O::orPair(sideways, O::template shift<12>(sideways)),
                                           O::template shift<-12>(sideways));
    return O::first(all);
}

// The whole fill. `emptySquares` are the open squares; every other square blocks. extraWhite
// and extraBlack are squares already marked as newly reached when the fill starts (only a
// hand-made working copy has any): they join the sources of the second wave. The amazons'
// mobilities come with it, since the first wave computes them anyway.
// With Sets false, only the counts come out (the evaluation's case, which saves the marking).
template <class O, bool Sets>
inline FillCounts run(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares, TerritoryFill* out,
                      Bits extraWhite, Bits extraBlack) {
    using Set = typename O::Set;
    using Pair = typename O::Pair;
    Set open = O::load(emptySquares);
    Pair sources = O::pairOf(O::load(whiteAmazons), O::load(blackAmazons));

    // The first wave, counting each direction's squares for the mobilities.
    typename O::Prop prop = O::propOf(open);
    Pair reach = sources;
    int wm = 0, bm = 0;
    eachDirection<O>(sources, prop, [&](Pair g) {
        g = O::masked(g, prop);
        wm += O::count(O::first(g));
        bm += O::count(O::second(g));
        reach = O::orPair(reach, g);
    });
    reach = O::masked(reach, prop);

    Set wt = O::first(sources), bt = O::second(sources), contested = O::load(0);
    int wc = O::count(wt), bc = O::count(bt);
    Set xw = O::load(extraWhite), xb = O::load(extraBlack);
    for (;;) {
        const Set wr = O::first(reach), br = O::second(reach);
        const Set both = O::andOf(wr, br);
        contested = O::orOf(contested, both);
        open = O::andNot(open, O::orOf(wr, br));
        const Set ws = O::orOf(O::andNot(wr, both), xw);
        const Set bs = O::orOf(O::andNot(br, both), xb);
        xw = xb = O::load(0);
        if (O::isEmpty(O::orOf(ws, bs))) break;
        wc += O::count(ws);
        bc += O::count(bs);
        wt = O::orOf(wt, ws);
        bt = O::orOf(bt, bs);
        // The next wave from the squares just reached. When none of them has an open
        // neighbour, that wave reaches nothing and the fill is over (the usual last wave).
        if (O::isEmpty(O::andOf(neighbours<O>(O::orOf(ws, bs)), open))) break;
        sources = O::pairOf(ws, bs);
        prop = O::propOf(open);
        reach = sources;
        eachDirection<O>(sources, prop, [&](Pair g) { reach = O::orPair(reach, g); });
        reach = O::masked(reach, prop);
    }
    if constexpr (Sets) {
        out->white = O::store(wt);
        out->black = O::store(bt);
        out->contested = O::store(contested);
        out->whiteCount = wc;
        out->blackCount = bc;
    }
    return FillCounts{wc, bc, wm, bm};
}

// The fill with the fastest operations this processor offers: with the marked sets, or only
// the counts.
FillCounts runFast(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares, TerritoryFill& out,
                   Bits extraWhite = 0, Bits extraBlack = 0);
FillCounts countFast(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares);

// Which operations runFast uses: "avx2", "sse2" or "generic".
const char* fastKind();

}  // namespace fill
}  // namespace wintarvo
