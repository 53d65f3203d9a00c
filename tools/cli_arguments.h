// Argument handling shared by the command-line tool's commands.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/move_list.h"
#include "model/position.h"
#include "search/alpha_beta_search.h"

namespace wintarvo::cli {

// A bad argument: reported as one line on standard error, exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses a whole decimal int (optionally signed); throws UsageError naming `what` otherwise.
int parseInt(const std::string& text, const std::string& what);

// POSITION: "start", "test1", "test2", "test3", or the path of a game file (a record file or
// an SGF record, game_file.h) whose moves are replayed from the start as the Open command
// replays them (moves not legal at their turn are dropped). A file that is missing,
// unreadable, empty, a refused SGF record or without a move is a UsageError naming the cause.
Position parsePosition(const std::string& text);
Position positionFromRecord(const std::string& path);

// Applies each MOVE (record notation, legal at its turn) to p; an unparsable or illegal move
// is a UsageError that names it.
void applyMoves(Position& p, const std::vector<std::string>& moves);

// Splits "--name value" options off the arguments; the rest stay in order.
struct Options {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> valued;
    std::vector<std::string> flags;
    std::optional<std::string> value(const std::string& name) const;
    bool flag(const std::string& name) const;
};
Options splitOptions(const std::vector<std::string>& args, const std::vector<std::string>& valuedNames,
                     const std::vector<std::string>& flagNames);

// --depth N or --time S: a limit of the engine, -1 for none; fallback without the option.
int limitOption(const Options& o, const std::string& name, int fallback);

// --threads N: 1 searches on one thread, 2 with the helper thread; without it the engine's
// default stays (threadsOption gives no value).
std::optional<bool> threadsOption(const Options& o);
void applyThreadsOption(const Options& o, AlphaBetaSearch& engine);

}  // namespace wintarvo::cli
