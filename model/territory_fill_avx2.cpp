// The territory fill with both sides in one AVX2 register: White's set in the low 128-bit lane,
// Black's in the high one. AVX2 shifts bytes within each lane, so one instruction moves both
// sets by whole bytes, and three-operand instructions save the copies SSE needs.
//
// This file alone is compiled for AVX2; runFast calls it only on processors that have it.
// Everything here has internal linkage, so no AVX2 code can stand in for a function that other
// files share.
#include <immintrin.h>

#include "model/territory_fill.h"

namespace wintarvo::fill {
namespace {

template <int Delta>
inline __m256i shiftLanes(__m256i s) {
    if constexpr (Delta > 0) {
        if constexpr (Delta % 8 == 0) {
            return _mm256_slli_si256(s, Delta / 8);
        } else if constexpr (Delta < 64) {
            return _mm256_or_si256(_mm256_slli_epi64(s, Delta),
                                   _mm256_srli_epi64(_mm256_slli_si256(s, 8), 64 - Delta));
        } else {
            return _mm256_slli_epi64(_mm256_slli_si256(s, 8), Delta - 64);
        }
    } else {
        constexpr int k = -Delta;
        if constexpr (k % 8 == 0) {
            return _mm256_srli_si256(s, k / 8);
        } else if constexpr (k < 64) {
            return _mm256_or_si256(_mm256_srli_epi64(s, k),
                                   _mm256_slli_epi64(_mm256_srli_si256(s, 8), 64 - k));
        } else {
            return _mm256_srli_epi64(_mm256_srli_si256(s, 8), k - 64);
        }
    }
}

struct Avx2Ops {
    using Set = __m128i;
    using Pair = __m256i;
    using Prop = __m256i;  // the same set in both lanes
    static Set load(Bits b) {
        return _mm_set_epi64x(static_cast<long long>(static_cast<std::uint64_t>(b >> 64)),
                              static_cast<long long>(static_cast<std::uint64_t>(b)));
    }
    static Bits store(Set s) {
        const auto lo = static_cast<std::uint64_t>(_mm_cvtsi128_si64(s));
        const auto hi = static_cast<std::uint64_t>(_mm_extract_epi64(s, 1));
        return (Bits{hi} << 64) | lo;
    }
    static Pair pairOf(Set a, Set b) { return _mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1); }
    static Set first(Pair p) { return _mm256_castsi256_si128(p); }
    static Set second(Pair p) { return _mm256_extracti128_si256(p, 1); }
    static Prop propOf(Set s) { return _mm256_broadcastsi128_si256(s); }
    template <int Delta>
    static Pair shift(Pair p) {
        return shiftLanes<Delta>(p);
    }
    template <int Delta>
    static Prop shiftProp(Prop p) {
        return shiftLanes<Delta>(p);
    }
    static Prop andProp(Prop x, Prop y) { return _mm256_and_si256(x, y); }
    static bool isEmptyProp(Prop p) { return _mm256_testz_si256(p, p) != 0; }
    static Pair masked(Pair p, Prop m) { return _mm256_and_si256(p, m); }
    static Pair orPair(Pair x, Pair y) { return _mm256_or_si256(x, y); }
    static Set andOf(Set x, Set y) { return _mm_and_si128(x, y); }
    static Set orOf(Set x, Set y) { return _mm_or_si128(x, y); }
    static Set andNot(Set x, Set y) { return _mm_andnot_si128(y, x); }
    static bool isEmpty(Set s) { return _mm_testz_si128(s, s) != 0; }
    static int count(Set s) {
        return __builtin_popcountll(static_cast<unsigned long long>(_mm_cvtsi128_si64(s))) +
               __builtin_popcountll(static_cast<unsigned long long>(_mm_extract_epi64(s, 1)));
    }
};

}  // namespace

FillCounts runAvx2(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares, TerritoryFill& out,
                   Bits extraWhite, Bits extraBlack) {
    return run<Avx2Ops, true>(whiteAmazons, blackAmazons, emptySquares, &out, extraWhite, extraBlack);
}

FillCounts countAvx2(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares) {
    return run<Avx2Ops, false>(whiteAmazons, blackAmazons, emptySquares, nullptr, 0, 0);
}

}  // namespace wintarvo::fill
