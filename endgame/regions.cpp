#include "endgame/regions.h"

#include <array>
#include <bit>

namespace wintarvo {
namespace regions {
namespace {

// Whether the neighbours in `mask` (bit i: NW, N, NE, W, E, SW, S, SE) touch one another in
// one chain. Going round the square (NW, N, NE, E, SE, S, SW, W), each neighbour touches the
// next, and each side neighbour also touches the side neighbour after the next corner.
constexpr bool chainOfNeighbours(unsigned mask) {
    constexpr int ROUND[8] = {0, 1, 2, 4, 7, 6, 5, 3};  // raster bit of each place round
    unsigned seen = 0;
    for (int i = 0; i < 8 && seen == 0; ++i)
        if (mask >> ROUND[i] & 1) seen = 1u << ROUND[i];
    if (seen == 0) return true;
    for (;;) {
        unsigned next = seen;
        for (int i = 0; i < 8; ++i) {
            if ((seen >> ROUND[i] & 1) == 0) continue;
            next |= 1u << ROUND[(i + 1) % 8] | 1u << ROUND[(i + 7) % 8];
            if (i % 2 == 1) next |= 1u << ROUND[(i + 2) % 8] | 1u << ROUND[(i + 6) % 8];
        }
        next &= mask;
        if (next == seen) return seen == mask;
        seen = next;
    }
}

constexpr std::array<bool, 256> buildNeighboursConnected() {
    std::array<bool, 256> t{};
    for (unsigned m = 0; m < 256; ++m)
        t[m] = chainOfNeighbours(m);
    return t;
}
}  // namespace

constexpr std::array<bool, 256> NEIGHBOURS_CONNECTED = buildNeighboursConnected();

void appendRegions(Bits amazons, Bits squares, std::vector<Region>& out) {
    Bits rest = squares;
    for (Bits left = amazons & rest; left != 0; left = amazons & rest) {
        const Bits region = fill(bits::one(bits::lowest(left)), rest);
        out.push_back(Region{amazons & region, region & ~amazons});
        rest &= ~region;
    }
}

int cornerShift(Bits set) {
    if (set == 0) return 0;
    const int top = bits::lowest(set) / bits::ROW_STRIDE;
    const int bottom = bits::highest(set) / bits::ROW_STRIDE;
    unsigned columns = 0;
    for (int r = top; r <= bottom; ++r)
        columns |= static_cast<unsigned>(set >> (r * bits::ROW_STRIDE)) & 0x3FFu;
    return top * bits::ROW_STRIDE + std::countr_zero(columns);
}

}  // namespace regions

bool isSplit(const Board& b) {
    const Bits free = freeSquares(b);
    const Bits black = b.amazons[1];
    Bits reach = b.amazons[0];
    if (reach == 0 || black == 0) return true;
    for (;;) {
        const Bits next = regions::grow(reach) & free;
        if ((next & black) != 0) return false;
        if (next == reach) return true;
        reach = next;
    }
}

}  // namespace wintarvo
