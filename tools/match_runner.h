// The match as the command-line tool runs it: engine processes in slots, games handed out to
// the slots, the report written as games end.
//
// A slot is a pair of engine processes that plays one game at a time; with a concurrency of N
// there are N slots, each on its own thread. Engines stay up from game to game (clear_board
// starts the next one); one that has ended, or whose stream the referee no longer trusts, is
// started again before its next game. The first slot's engines name the engines in the
// report. Game lines are written in game order as soon as the games before them are done;
// records are saved then. Everything but the slots' games runs on the calling thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "match/referee.h"
#include "model/move_list.h"

namespace wintarvo::cli {

struct MatchOptions {
    std::string commands[2];
    match::RefereeSettings referee;
    std::vector<MoveList> openings;
    int games = 2;
    int openingPlies = 2;
    std::uint64_t seed = 1;
    int concurrency = 1;
    std::string sgfDirectory;  // empty: no records
    std::string logPath;       // empty: no log
};

// The wait for an engine's first answer, while it loads.
constexpr std::chrono::milliseconds ENGINE_STARTUP{30000};

// Runs the match, the report on standard output and failures on standard error. The exit
// status: 0 when every game was played, 1 when an engine could not be started or a record
// not saved, 130 when interrupted. A log or record folder that cannot be used is a
// UsageError before any engine starts.
int runMatch(const MatchOptions& options);

}  // namespace wintarvo::cli
