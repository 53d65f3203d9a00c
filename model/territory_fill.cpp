#include "model/territory_fill.h"

namespace wintarvo::fill {

#if defined(WINTARVO_AVX2_FILL)
FillCounts runAvx2(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares, TerritoryFill& out,
                   Bits extraWhite, Bits extraBlack);
FillCounts countAvx2(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares);

namespace {
const bool g_hasAvx2 = __builtin_cpu_supports("avx2");
}
#endif

FillCounts runFast(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares, TerritoryFill& out,
                   Bits extraWhite, Bits extraBlack) {
#if defined(WINTARVO_AVX2_FILL)
    if (g_hasAvx2) return runAvx2(whiteAmazons, blackAmazons, emptySquares, out, extraWhite, extraBlack);
#endif
    return run<PortableOps, true>(whiteAmazons, blackAmazons, emptySquares, &out, extraWhite, extraBlack);
}

FillCounts countFast(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares) {
#if defined(WINTARVO_AVX2_FILL)
    if (g_hasAvx2) return countAvx2(whiteAmazons, blackAmazons, emptySquares);
#endif
    return run<PortableOps, false>(whiteAmazons, blackAmazons, emptySquares, nullptr, 0, 0);
}

const char* fastKind() {
#if defined(WINTARVO_AVX2_FILL)
    if (g_hasAvx2) return "avx2";
#endif
    return std::is_same_v<PortableOps, GenericOps> ? "generic" : "sse2";
}

}  // namespace wintarvo::fill
