// Sets of squares as one 128-bit word.
//
// Square s (row r, column c) is bit 12 * r + c: each row takes twelve bits, the last two of
// which are never squares. Those unused columns stop every shift from wrapping from one row
// into the next, so a step in any of the eight directions is a plain shift followed by an AND
// with a set of squares. Bits 118..127 are never squares either. Twelve rather than eleven
// makes the long steps of the territory fill (two, four and eight rows, eight squares along a
// diagonal) whole bytes, which vector registers shift in one instruction.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "model/ray_table.h"
#include "model/square.h"

namespace wintarvo {

using Bits = unsigned __int128;

namespace bits {

constexpr int ROW_STRIDE = 12;

constexpr int bitOf(Square s) { return s + 2 * (s / 10); }

constexpr std::array<std::int8_t, 128> buildSquareOfBit() {
    std::array<std::int8_t, 128> t{};
    t.fill(-1);
    for (int s = 0; s < BOARD_SQUARES; ++s) t[static_cast<std::size_t>(bitOf(s))] = static_cast<std::int8_t>(s);
    return t;
}
inline constexpr std::array<std::int8_t, 128> SQUARE_OF_BIT = buildSquareOfBit();

constexpr Square squareOf(int bit) { return SQUARE_OF_BIT[static_cast<std::size_t>(bit)]; }
constexpr Bits one(int bit) { return Bits{1} << bit; }

constexpr std::array<Bits, BOARD_SQUARES> buildSquareBits() {
    std::array<Bits, BOARD_SQUARES> t{};
    for (int s = 0; s < BOARD_SQUARES; ++s) t[static_cast<std::size_t>(s)] = one(bitOf(s));
    return t;
}
// The set holding square s alone, looked up rather than computed: the search makes millions.
inline constexpr std::array<Bits, BOARD_SQUARES> SQUARE_BITS = buildSquareBits();
constexpr Bits of(Square s) { return SQUARE_BITS[static_cast<std::size_t>(s)]; }

constexpr Bits buildAll() {
    Bits b = 0;
    for (int s = 0; s < BOARD_SQUARES; ++s) b |= of(s);
    return b;
}
// Every square of the board.
inline constexpr Bits ALL = buildAll();

inline bool empty(Bits b) { return b == 0; }
inline int count(Bits b) {
    return std::popcount(static_cast<std::uint64_t>(b)) +
           std::popcount(static_cast<std::uint64_t>(b >> 64));
}
// Lowest and highest set bit; b must not be empty.
inline int lowest(Bits b) {
    const auto lo = static_cast<std::uint64_t>(b);
    return lo ? std::countr_zero(lo) : 64 + std::countr_zero(static_cast<std::uint64_t>(b >> 64));
}
inline int highest(Bits b) {
    const auto hi = static_cast<std::uint64_t>(b >> 64);
    return hi ? 127 - std::countl_zero(hi) : 63 - std::countl_zero(static_cast<std::uint64_t>(b));
}
inline bool has(Bits b, Square s) { return (b & of(s)) != 0; }

// Directions 4..7 step to higher bits, so their nearest square is the lowest bit of a ray.
constexpr bool stepsUp(int direction) { return direction >= 4; }

template <int Delta>
constexpr Bits shift(Bits b) {
    if constexpr (Delta > 0) {
        return b << Delta;
    } else {
        return b >> -Delta;
    }
}

// The squares of each ray of RayTable as a set.
using RaySets = std::array<std::array<Bits, DIRECTIONS>, BOARD_SQUARES>;
constexpr RaySets buildRaySets() {
    RaySets t{};
    for (int s = 0; s < BOARD_SQUARES; ++s) {
        for (int d = 0; d < DIRECTIONS; ++d) {
            Bits b = 0;
            for (std::int8_t x : RayTable::ray(s, d)) {
                if (x < 0) break;
                b |= of(x);
            }
            t[static_cast<std::size_t>(s)][static_cast<std::size_t>(d)] = b;
        }
    }
    return t;
}
inline constexpr RaySets RAYS = buildRaySets();

inline Bits ray(Square s, int d) {
    return RAYS[static_cast<std::size_t>(s)][static_cast<std::size_t>(d)];
}

// The part of ray d from s that lies before the first occupied square.
inline Bits reach(Square s, int d, Bits occupied) {
    const Bits r = ray(s, d);
    const Bits blockers = r & occupied;
    if (blockers == 0) return r;
    if (stepsUp(d)) return r & (one(lowest(blockers)) - 1);
    return r & ~((one(highest(blockers)) << 1) - 1);
}

// Every square a queen on s reaches through empty squares.
inline Bits queenReach(Square s, Bits occupied) {
    Bits r = 0;
    for (int d = 0; d < DIRECTIONS; ++d) r |= reach(s, d, occupied);
    return r;
}

}  // namespace bits
}  // namespace wintarvo
