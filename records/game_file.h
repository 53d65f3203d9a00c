// Game files of either kind, for every front end: record files (".amz", record_file.h) and SGF
// records (sgf_record.h). The desktop program's Open and Save, every command of the
// command-line tool that takes a POSITION, and its convert all read and write through here,
// so that a file means the same game everywhere; the front ends differ only in what they do
// with a file that holds no moves.
//
// Reading: the content decides, never the name. A UTF-8 byte-order mark is ignored. A text
// whose first line is the record header is a record file; otherwise a text that holds the start
// of an SGF game tree (after any leading text, in any number of parentheses) is an SGF record;
// anything else is read as a record file, header or not, by the rules of RecordFile. The moves
// are replayed from the starting position (game_replay.h): in a record file a move that is not
// legal at its turn is skipped and the following moves are still tried; an SGF record with
// such a move is refused whole.
//
// Writing: the caller chooses the kind (formatForSaving helps), and a failure says why, as a
// read does. Plain functions on the calling thread, with the file utilities' limits (regular
// files of at most MAX_READ_BYTES, all-or-nothing saves).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/move_list.h"
#include "model/position.h"
#include "records/sgf_record.h"

namespace wintarvo {

enum class GameFileFormat { Record, Sgf };

// The cause given for a file without a single readable move.
inline constexpr std::string_view NO_MOVES_CAUSE = "it holds no moves";

// A line of a record file that the reading left out, and why.
struct SkippedLine {
    enum class Cause { NotAMove, NotLegal };
    int line = 0;      // counted from 1 as an editor counts lines
    std::string text;  // the line, fit to quote (text::quoted)
    Cause cause = Cause::NotAMove;
};

// What a game file holds.
struct GameFile {
    GameFileFormat format = GameFileFormat::Record;
    // A record file whose first line is the header.
    bool recordHeader = false;
    // The game: every move legal at its turn from the starting position, in order, with where
    // each was read (its line in a record file, its main-line node in an SGF record, the root
    // being node 0), and the position they lead to.
    MoveList moves;
    std::vector<int> places;
    Position position;
    // The lines of a record file left out, in file order (no more than MAX_SKIPPED_KEPT of
    // them; skippedCount counts them all, and notLegalCount those with a move).
    std::vector<SkippedLine> skipped;
    std::size_t skippedCount = 0;
    std::size_t notLegalCount = 0;
    SgfGameInfo info;  // empty for a record file

    // True when the file named at least one move, legal or not: a file without one is no game.
    bool holdsMoves() const { return !moves.empty() || notLegalCount > 0; }
};

// Skipped lines kept with their text; a file of junk lines is still read whole.
constexpr std::size_t MAX_SKIPPED_KEPT = 1000;

// Replaces file by the game in the file at path. False, with error set to the cause, when
// nothing exists at the path (also written to the trace as "PATH does not exist", as
// RecordFile does), the file cannot be read, is empty or is a refused SGF record; file.format
// then tells which reader refused it. A file that names no move reads as a game without
// moves: whether that is usable is the front end's decision (holdsMoves, recordHeader).
bool readGameFile(const std::string& path, GameFile& file, std::string& error);

// The same for the text of a file that has been read already.
bool readGameText(std::string_view text, GameFile& file, std::string& error);

// Writes the moves to path in the format, replacing any file there. An SGF record needs moves
// that are legal from the starting position (writeSgfRecord) and is written with the game
// information given, nothing added; a record file takes any list, byte for byte as
// RecordFile::writeRecord writes it. False with error set to the cause on failure (the
// writeFailureText of file_utils.h, or the SGF writer's refusal), and then the file that was
// there is untouched unless the cause says otherwise.
bool writeGameFile(const std::string& path, GameFileFormat format, const MoveList& moves,
                   const SgfGameInfo& info, std::string& error);

// The format a file saved under this name gets: its ending decides (".sgf" or ".amz", in any
// case), and for other names the chosen one.
GameFileFormat formatForSaving(const std::string& path, GameFileFormat chosen);

}  // namespace wintarvo
