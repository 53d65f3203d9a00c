// The bench's positions and depths. Changing this list changes the signature.
#pragma once

#include <string_view>
#include <vector>

#include "model/position.h"

namespace wintarvo::cli {

struct BenchPosition {
    std::string_view name;
    // Ten rows from rank 10 down, files A..J: W, B amazons, x arrow, . empty.
    std::string_view rows;
    int sideToMove;
    int depth;

    Position position() const;
};

const std::vector<BenchPosition>& benchPositions();

}  // namespace wintarvo::cli
