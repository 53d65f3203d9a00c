// Where the game on the board came from, as far as a saved record tells it: the players and
// date of an SGF record it was opened from, and whether its moves replay from the starting
// position (not after a test position, which an SGF record cannot hold).
//
// Owned by value by the board view, which tells it of every new game (New Game, Set Board,
// Open) and asks it what a Save writes besides the moves. A plain value on the user-interface
// thread, no Qt. After construction it describes a new game: no information, from the start.
#pragma once

#include <string>

#include "records/game_file.h"
#include "records/sgf_record.h"

namespace wintarvo {

class GameOrigin {
  public:
    // New Game: nothing known, from the starting position.
    void startNewGame();
    // Set Board: nothing known, from a test position.
    void startAtTestPosition();
    // Open: the file's information (empty for a record file), from the starting position.
    void openedWith(const SgfGameInfo& info);

    // What a save in this format writes beside the moves. An SGF record gets the opened
    // information with the gaps filled (fillSgfGameInfo), a record file the information as it
    // is (it writes none). False, with cause set to a phrase for "Cannot save PATH: CAUSE.",
    // when the format cannot tell this game.
    bool infoForSaving(GameFileFormat format, SgfGameInfo& info, std::string& cause) const;

    const SgfGameInfo& info() const { return info_; }
    bool fromStart() const { return fromStart_; }

  private:
    SgfGameInfo info_;
    bool fromStart_ = true;
};

}  // namespace wintarvo
