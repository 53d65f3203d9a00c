// Amazons games as SGF records (FF[4], GM[18], SZ[10]), in the form Quarry reads and writes.
//
// A move is one W or B property whose value is its three points, from, to and arrow, each two
// letters a..j for the column (a = file A) and the row from the top (a = rank 10): A4-A5 (A6)
// is W[agafae]. White moves first. The root carries, in Quarry's order, GM[18]FF[4], CA[UTF-8],
// AP with this program's name and version, SZ[10], the date (DT), the players (PB, PW) and,
// when the side to move has no move left, the result: RE[W+] or RE[B+], or the result the
// caller gives (a game lost by resignation or on time). The bytes are
// Quarry's but for AP and for a game that has not ended, where Quarry writes RE[Void] and this
// program leaves RE out. Names and date are written as valid UTF-8 without control characters
// (sgf_text.h), whatever they were given as.
//
// Reading takes the main line of the first game tree (sgf_main_line.h; text before it is
// skipped) and replays it from the starting position (game_replay.h). Everything that would
// make the moves mean something else is refused with a reason: another game or board size,
// set-up properties (AB, AW, AE, AA, or PL naming the side that is not to move), a move in
// another notation, out of turn or against the rules. Other properties (comments, marks,
// times) are ignored and not even kept. Plain functions, no state, any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/move_list.h"

namespace wintarvo {

// The game information of the root node that survives a reading and a writing, in UTF-8.
struct SgfGameInfo {
    std::string white;  // PW
    std::string black;  // PB
    std::string date;   // DT, as written ("2024-12-07")
    // RE as written ("W+R", "B+T"), for a game decided otherwise than by the board (a
    // resignation, time, a forfeit). Only written: reading leaves it empty, and empty makes
    // the writer give the board's result. (The initializer lets the three names alone be
    // given without a warning.)
    std::string result = {};
};

// True when the text holds the start of an SGF game tree: "(" followed, after blanks and
// further "(", by ";" (findSgfGameTree). No line of a record file holds that.
bool looksLikeSgf(std::string_view text);

// Replaces moves and info by the game of an SGF record (names and date in UTF-8, see
// sgf_text.h) and, when moveNodes is given, that by the main-line node of each move (the root
// is node 0). False, with all unchanged and error set to the cause (a phrase such as "line 3:
// a value that is not closed (\"]\" missing)" or "move 5, B[dadbcb], is not legal"), when the
// record is refused. A record without moves reads as an empty list.
bool readSgfRecord(std::string_view text, MoveList& moves, SgfGameInfo& info, std::string& error,
                   std::vector<int>* moveNodes = nullptr);

// Sets text to the SGF record of the game whose moves are given, played from the starting
// position; empty names and date are left out. False, with text unchanged and error set, when
// a move is not legal at its turn: such a list cannot be told as a game from the start.
bool writeSgfRecord(const MoveList& moves, const SgfGameInfo& info, std::string& text,
                    std::string& error);

// Today's local date as DT writes it: "YYYY-MM-DD".
std::string sgfDateToday();

// Fills what a game saved by this program does not know: a player without a name becomes
// "WinTarvo" (who played a side, the user or the engine, is not recorded; where the game was
// played is), and a missing date today's.
void fillSgfGameInfo(SgfGameInfo& info);

}  // namespace wintarvo
