// A game record file and the list of moves it holds.
//
// A record is plain ASCII text, every line ended by CR LF: the header "'Amazon Record File", one
// move per line in the notation of moveText ("D1-D4 (D7)"), and the trailer "'End of File".
// A RecordFile is owned for the length of one reading or writing and exchanges whole lists
// with its owner; one thread at a time. The front ends (Open and Save, the command-line tool)
// go through game_file.h, which reads records with readRecordLines below and writes the bytes
// writeRecord writes.
//
// Reading is forgiving, so that records edited by hand still load: any line ends, blank lines,
// comment lines and lines that are not moves are allowed anywhere, and the header and trailer
// may be missing. It does not check the moves against the rules; the caller replays them
// through the game, which drops any that are not legal. readRecordLines is the one reading of
// the lines, which RecordFile and the game file reader (game_file.h) share.
#pragma once

#include <functional>
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

// The line rule of a record: true, with m filled, when the line names a move. Lines beginning
// with an apostrophe (header, trailer, comments) or an upper-case N name none; every other
// line is read by parseMove, squares off the board kept as -1.
bool moveFromRecordLine(const std::string& line, Move& m);

// True when the text's first line (up to the first CR or LF, after a UTF-8 byte-order mark) is
// the header: the mark of a record file for those who tell files apart by their content.
bool beginsWithRecordHeader(std::string_view text);

// The one reading of a record's text, line by line. Hands visit, in order, every line that
// names a move (with the move) and every line that is not a move although it is neither blank
// (RECORD_BLANKS only), a comment nor an N line (with nullptr), each with its number as an
// editor counts lines (see forEachLine). A UTF-8 byte-order mark at the start is not part of
// the first line.
void readRecordLines(
    std::string_view text,
    const std::function<void(int number, std::string_view line, const Move* move)>& visit);

// The moves that the record's text names, in order (readRecordLines' moves).
MoveList movesFromRecordText(std::string_view text);

// The lines of a record file written from moves: header, one moveText per move, trailer.
std::vector<std::string> recordLines(const MoveList& moves);

}  // namespace wintarvo
