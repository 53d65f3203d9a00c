// The searcher's small virtual interface.
#pragma once

#include "model/move.h"
#include "model/position.h"

namespace wintarvo {

class EngineBase {
public:
    virtual ~EngineBase() = default;
    // Copies the position into the engine.
    virtual void setPosition(const Position& p) = 0;
    // Fills out with the chosen move; false when no move was chosen.
    virtual bool chooseMove(Move& out) = 0;
    virtual bool isDecided() const = 0;
    virtual int lastScore() const = 0;
};

}  // namespace wintarvo
