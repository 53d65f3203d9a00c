#include "ui/game_origin.h"

namespace wintarvo {

void GameOrigin::startNewGame() {
    info_ = {};
    fromStart_ = true;
}

void GameOrigin::startAtTestPosition() {
    info_ = {};
    fromStart_ = false;
}

void GameOrigin::openedWith(const SgfGameInfo& info) {
    info_ = info;
    fromStart_ = true;
}

bool GameOrigin::infoForSaving(GameFileFormat format, SgfGameInfo& info, std::string& cause) const {
    if (format == GameFileFormat::Sgf && !fromStart_) {
        cause =
            "the game began at a test position, and an SGF record holds a game from the "
            "starting position";
        return false;
    }
    info = info_;
    if (format == GameFileFormat::Sgf) fillSgfGameInfo(info);
    return true;
}

}  // namespace wintarvo
