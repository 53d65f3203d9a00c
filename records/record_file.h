// A game record file and the list of moves it holds.
//
// A record is plain ASCII text, every line ended by CR LF: the header "'Amazon Record File", one
// move per line in the notation of moveText ("D1-D4 (D7)"), and the trailer "'End of File".
// The board view's Open and Save commands own a RecordFile for the length of one command and
// exchange whole lists with it; it is used from the user-interface thread only.
//
// Reading is forgiving, so that records edited by hand still load: any line ends, blank lines,
// comment lines and lines that are not moves are allowed anywhere, and the header and trailer
// may be missing. It does not check the moves against the rules; the caller replays them
// through the game, which drops any that are not legal.
#pragma once

#include <string>
#include <vector>

#include "model/move_list.h"

namespace wintarvo {

class RecordFile {
public:
    virtual ~RecordFile() = default;

    // Replaces the list by a copy of moves.
    void setMoves(const MoveList& moves);
    // Replaces moves by a copy of the list; false, with moves untouched, when the list is empty.
    bool getMoves(MoveList& moves) const;

    // Writes the list to the file at path, replacing any file there; true only when the whole
    // record has been saved.
    bool writeRecord(const std::string& path) const;
    // Replaces the list by the moves read from the file at path. True when the file exists and
    // could be read and is not empty, whether or not it named any move; on false the list is
    // unchanged, and a path with nothing at it is reported on the trace.
    bool readRecord(const std::string& path);

private:
    MoveList moves_;
};

// The moves that the lines of a record name, in order: empty lines, lines beginning with an
// apostrophe (header, trailer, comments) or with an upper-case N contribute nothing, and every
// other line that parseMove reads is a move. Squares off the board are kept as -1.
MoveList movesFromRecordLines(const std::vector<std::string>& lines);

}  // namespace wintarvo
