// The bench's positions and depths: the fixed searches whose evaluation total is the engine's
// signature (`wintarvo-cli bench`, the benchmarks). Changing this list changes the signature.
#pragma once

#include <string_view>
#include <vector>

#include "model/position.h"

namespace wintarvo {

struct BenchPosition {
    std::string_view name;
    // A diagram (model/position_diagram.h): ten rows from rank 10 down, files A..J.
    std::string_view rows;
    int sideToMove;
    int depth;

    Position position() const;
};

const std::vector<BenchPosition>& benchPositions();

}  // namespace wintarvo
