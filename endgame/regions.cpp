#include "endgame/regions.h"

#include <array>
#include <bit>

namespace wintarvo {
namespace regions {
namespace {

// The eight neighbours of a square in ring order (N, NE, E, SE, S, SW, W, NW), as bit offsets.
constexpr std::array<int, 8> RING = {-12, -11, 1, 13, 12, 11, -1, -13};

// Whether the neighbours in `mask` (bit i: RING[i]) touch one another in one chain. Ring
// neighbours touch, and so do two side neighbours (N, E, S, W) next but one in the ring, which
// meet diagonally across the missing corner.
constexpr bool chainOfNeighbours(unsigned mask) {
    if (mask == 0) return true;
    unsigned seen = mask & (~mask + 1);  // the lowest neighbour
    for (;;) {
        unsigned next = seen;
        for (int i = 0; i < 8; ++i) {
            if ((seen >> i & 1) == 0) continue;
            next |= 1u << ((i + 1) % 8) | 1u << ((i + 7) % 8);
            if (i % 2 == 0) next |= 1u << ((i + 2) % 8) | 1u << ((i + 6) % 8);
        }
        next &= mask;
        if (next == seen) return seen == mask;
        seen = next;
    }
}

constexpr std::array<bool, 256> buildRingConnected() {
    std::array<bool, 256> t{};
    for (unsigned m = 0; m < 256; ++m)
        t[m] = chainOfNeighbours(m);
    return t;
}
constexpr std::array<bool, 256> RING_CONNECTED = buildRingConnected();

inline bool bitAt(Bits set, int bit) {
    return bit >= 0 && bit < 128 && ((set >> bit) & 1) != 0;
}

}  // namespace

void appendRegions(Bits amazons, Bits squares, std::vector<Region>& out) {
    Bits rest = squares;
    for (Bits left = amazons & rest; left != 0; left = amazons & rest) {
        const Bits region = fill(bits::one(bits::lowest(left)), rest);
        out.push_back(Region{amazons & region, region & ~amazons});
        rest &= ~region;
    }
}

unsigned ringMask(Bits set, int x) {
    unsigned mask = 0;
    for (int i = 0; i < 8; ++i)
        if (bitAt(set, x + RING[static_cast<std::size_t>(i)])) mask |= 1u << i;
    return mask;
}

bool ringConnected(unsigned mask) {
    return RING_CONNECTED[mask & 0xFFu];
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
