// The match's report on standard output, one tab-separated line each, built to be read by
// people and split by scripts alike: fields after the first are NAME=VALUE, the free-text
// reason last.
//
//   engine  1  name=WinTarvo 1.15  command=wintarvo-cli gtp --depth 1
//   match   games=10  openings=5  opening_plies=2  seed=1  clock=byoyomi 1 s  concurrency=1
//   game    3  white=1  result=B+R  winner=2  plies=41  avg1=0.412  max1=0.987  avg2=...
//           max2=...  reason=White resigned
//   score   wins=7  losses=3  games=10  win_rate=70.0%  interval=39.7%..89.2%  elo=+147.2
//           margin=220.0  elo_interval=-72.8..+367.2
//
// Scores, wins and the win rate are engine 1's; avgN and maxN are engine N's average and
// largest think in seconds ("-" when it answered no genmove); result is SGF's (W+ or B+, with R for a resignation, T for time,
// F for a forfeit). Plain functions.
#pragma once

#include <cstdint>
#include <string>

#include "match/game_clock.h"
#include "match/referee.h"
#include "records/sgf_record.h"

namespace wintarvo::match {

struct MatchDescription {
    std::string names[2];     // from identifyEngine
    std::string commands[2];  // as given
    int games = 0;
    int openings = 0;
    int openingPlies = 0;
    std::uint64_t seed = 0;
    ClockSettings clock;
    int concurrency = 1;
};

// The two engine lines and the match line, each ended by a line feed.
std::string headerLines(const MatchDescription& match);

// "W+", "B+R", "W+T", "B+F": the winner and how the game ended.
std::string sgfResult(const GameOutcome& outcome);

// The line of game `number` (from 1), ended by a line feed.
std::string gameLine(int number, bool engineOneWhite, const GameOutcome& outcome);

// The score line of engine 1, ended by a line feed; without games only the counts.
std::string scoreLine(int wins, int losses);

// The game's SGF root: the engines' names as the players, the result, today's date.
SgfGameInfo sgfGameInfo(const MatchDescription& match, bool engineOneWhite,
                        const GameOutcome& outcome);

}  // namespace wintarvo::match
