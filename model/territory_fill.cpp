#include "model/territory_fill.h"

namespace wintarvo::fill {

#if defined(WINTARVO_AVX2_FILL)
void runAvx2(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares, TerritoryFill& out,
             int& whiteMobility, int& blackMobility, Bits extraWhite, Bits extraBlack);

namespace {
const bool g_hasAvx2 = __builtin_cpu_supports("avx2");
}
#endif

void runFast(Bits whiteAmazons, Bits blackAmazons, Bits emptySquares, TerritoryFill& out,
             int& whiteMobility, int& blackMobility, Bits extraWhite, Bits extraBlack) {
#if defined(WINTARVO_AVX2_FILL)
    if (g_hasAvx2) {
        runAvx2(whiteAmazons, blackAmazons, emptySquares, out, whiteMobility, blackMobility,
                extraWhite, extraBlack);
        return;
    }
#endif
    run<PortableOps>(whiteAmazons, blackAmazons, emptySquares, out, whiteMobility, blackMobility,
                     extraWhite, extraBlack);
}

const char* fastKind() {
#if defined(WINTARVO_AVX2_FILL)
    if (g_hasAvx2) return "avx2";
#endif
    return std::is_same_v<PortableOps, GenericOps> ? "generic" : "sse2";
}

}  // namespace wintarvo::fill
