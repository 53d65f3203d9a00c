// The queen rays of every square: for each of the 100 squares and each of the 8 directions,
// the squares in order of increasing distance, followed by -1 (room for 10 entries, so every
// ray ends with at least one -1). Rows and columns are stepped separately, so no ray wraps
// from one row into the next. Built at compile time; read-only.
//
// Directions, in this fixed order (the generation order of moves starts from it):
//   0: -11 up-left   1: -10 up     2: -9 up-right   3: -1 left
//   4: +1 right      5: +9 down-left  6: +10 down   7: +11 down-right
#pragma once

#include <array>
#include <cstdint>

#include "model/square.h"

namespace wintarvo {

constexpr int DIRECTIONS = 8;
constexpr int RAY_LENGTH = 10;
constexpr int DIRECTION_ROW_STEP[DIRECTIONS] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int DIRECTION_COLUMN_STEP[DIRECTIONS] = {-1, 0, 1, -1, 1, -1, 0, 1};

class RayTable {
public:
    using Ray = std::array<std::int8_t, RAY_LENGTH>;

    static constexpr const Ray& ray(Square s, int direction) {
        return RAYS[static_cast<std::size_t>(s)][static_cast<std::size_t>(direction)];
    }

private:
    using Table = std::array<std::array<Ray, DIRECTIONS>, BOARD_SQUARES>;
    static constexpr Table build() {
        Table t{};
        for (int s = 0; s < BOARD_SQUARES; ++s) {
            const int r = s / 10, c = s % 10;
            for (int d = 0; d < DIRECTIONS; ++d) {
                auto& ray = t[static_cast<std::size_t>(s)][static_cast<std::size_t>(d)];
                ray.fill(-1);
                for (int k = 1; k <= 9; ++k) {
                    const int rr = r + k * DIRECTION_ROW_STEP[d];
                    const int cc = c + k * DIRECTION_COLUMN_STEP[d];
                    if (rr < 0 || rr > 9 || cc < 0 || cc > 9) break;
                    ray[static_cast<std::size_t>(k - 1)] = static_cast<std::int8_t>(rr * 10 + cc);
                }
            }
        }
        return t;
    }
    static const Table RAYS;
};

inline constexpr RayTable::Table RayTable::RAYS = RayTable::build();

}  // namespace wintarvo
