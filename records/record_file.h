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
#include <string_view>
#include <vector>

#include "model/move_list.h"
#include "records/file_utils.h"

namespace wintarvo {

inline constexpr std::string_view RECORD_HEADER = "'Amazon Record File";
inline constexpr std::string_view RECORD_TRAILER = "'End of File";

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
    // The same, and on false says why: the file's read failure, or None for an empty file.
    bool readRecord(const std::string& path, ReadFailure& failure);

private:
    MoveList moves_;
};

// The moves that the lines of a record name, in order: empty lines, lines beginning with an
// apostrophe (header, trailer, comments) or with an upper-case N contribute nothing, and every
// other line that parseMove reads is a move. Squares off the board are kept as -1.
MoveList movesFromRecordLines(const std::vector<std::string>& lines);

// The rule above for one line: true, with m filled, when the line names a move.
bool moveFromRecordLine(const std::string& line, Move& m);

// True when the text's first line (up to the first CR or LF) is the header: the mark of a
// record file for those who tell files apart by their content.
bool beginsWithRecordHeader(std::string_view text);

// A move of a record with the place it was read from.
struct RecordMove {
    Move move;
    int line = 0;      // counted from 1 as an editor counts: CR LF, LF and CR each end a line
    std::string text;  // the line as written
};

// The moves of a record's text with their lines: exactly the moves, in the same order, that
// movesFromRecordLines reads from the lines splitLines cuts from the text.
std::vector<RecordMove> numberedMovesFromRecordText(std::string_view text);

}  // namespace wintarvo
