#include "records/game_replay.h"

#include "model/move_generation.h"

namespace wintarvo {

GameReplay::GameReplay() {
    position_.setStartPosition();
}

bool GameReplay::play(const Move& m) {
    if (!isLegalMove(position_, m)) return false;
    position_.applyMove(m);
    moves_.push_back(m);
    return true;
}

}  // namespace wintarvo
