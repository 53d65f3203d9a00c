// The table of game files that every reader of them is tested with: record files as the
// program writes them and as people edit them, SGF records as Quarry and others write them,
// and files that are no game at all. The files are in tests/data; each row says what the one
// reader (records/game_file.h) finds in its file, and from that each front end's test knows
// what it must do with the file: the window's Open, the tool's POSITION and its convert.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/move_list.h"
#include "records/game_file.h"

namespace wintarvo::testing {

struct GameFileCase {
    const char* file;   // below tests/data
    const char* error;  // the reader's refusal, or nullptr when it reads the file
    GameFileFormat format;
    bool recordHeader;
    std::vector<const char*> moves;  // the game, in the record notation
    std::vector<int> places;         // where each move was read
    // The lines skipped, with their numbers.
    std::vector<std::pair<int, SkippedLine::Cause>> skipped;

    MoveList gameMoves() const;
    // The window opens the file (and shows its game) exactly when this is true.
    bool windowOpens() const;
    // The tool takes the file as a POSITION exactly when this is true.
    bool toolTakes() const;
};

const std::vector<GameFileCase>& gameFileCases();

}  // namespace wintarvo::testing
