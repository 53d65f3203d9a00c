// The Zobrist keys of the two 32-bit hash words of a position.
//
// 600 keys from the linear congruential generator state = state * 214013 + 2531011 (mod 2^32),
// output (state >> 16) & 0x7FFF, seeded with 260990773; entry i = first output << 16 | second
// output, so bits 15 and 31 of every key are zero. Built at compile time: read-only and
// shareable between threads from the start.
#pragma once

#include <array>
#include <cstdint>

#include "model/square.h"

namespace wintarvo {

class ZobristKeys {
public:
    static constexpr int COUNT = 600;
    static constexpr std::uint32_t SEED = 260990773u;

    // Key of hash word w (0 or 1) for cell code k (Arrow, WhiteAmazon or BlackAmazon) on s.
    static constexpr std::uint32_t key(int w, CellCode k, Square s) {
        return table()[static_cast<std::size_t>((3 * w + k - 1) * 100 + s)];
    }
    static constexpr std::uint32_t entry(int i) { return table()[static_cast<std::size_t>(i)]; }

private:
    using Table = std::array<std::uint32_t, COUNT>;
    static constexpr Table build() {
        Table keys{};
        std::uint32_t state = SEED;
        auto next = [&state]() {
            state = state * 214013u + 2531011u;
            return (state >> 16) & 0x7FFFu;
        };
        for (auto& k : keys) {
            const std::uint32_t high = next();
            const std::uint32_t low = next();
            k = (high << 16) | low;
        }
        return keys;
    }
    static constexpr const Table& table() { return KEYS; }
    static const Table KEYS;
};

inline constexpr ZobristKeys::Table ZobristKeys::KEYS = ZobristKeys::build();

}  // namespace wintarvo
