// Game files of either kind: record files (".amz", record_file.h) and SGF records
// (sgf_record.h). Which reader applies is decided by the file's content, not its name: a text
// that begins like an SGF game tree is read as SGF, anything else exactly as RecordFile reads
// it. Which writer applies is decided by the caller (formatForSaving helps).
//
// The desktop program's Open and Save and the command-line tool go through here; plain
// functions on the calling thread, with the file utilities' limits (regular files of at most
// MAX_READ_BYTES, all-or-nothing saves).
#pragma once

#include <string>

#include "model/move_list.h"
#include "records/sgf_record.h"

namespace wintarvo {

enum class GameFileFormat { Record, Sgf };

// What a game file holds.
struct GameFile {
    GameFileFormat format = GameFileFormat::Record;
    MoveList moves;
    SgfGameInfo info;  // empty for a record file
};

// Replaces file by the game in the file at path. False, with error set to the cause, when
// nothing exists at the path (also written to the trace as "PATH does not exist", as
// RecordFile does), the file cannot be read, is empty, is a refused SGF record or holds no
// move; file.format already tells which reader refused it. The moves of a record file are
// as RecordFile reads them (not checked against the rules); those of an SGF record have been
// replayed from the starting position and are all legal.
bool readGameFile(const std::string& path, GameFile& file, std::string& error);

// Writes the moves to path in the format, replacing any file there. An SGF record needs moves
// that are legal from the starting position (writeSgfRecord); a record file takes any list,
// byte for byte as RecordFile::writeRecord writes it. False with error set on failure, and
// then the file that was there is untouched.
bool writeGameFile(const std::string& path, GameFileFormat format, const MoveList& moves,
                   const SgfGameInfo& info, std::string& error);

// The format a file saved under this name gets: its ending decides (".sgf" or ".amz", in any
// case), and for other names the chosen one.
GameFileFormat formatForSaving(const std::string& path, GameFileFormat chosen);

// The moves that remain when the list is replayed from the starting position and every move
// that is not legal at its turn is dropped, as the Open command drops them.
MoveList legalLineFromStart(const MoveList& moves);

}  // namespace wintarvo
