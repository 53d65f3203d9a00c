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

// The whole numbers an argument accepts: min..max, and -1 as well when orMinusOne (the limits'
// "no limit"). text says so in words for the error message.
struct Accepted {
    int min;
    int max;
    bool orMinusOne;
    const char* text;
};

// The accepted values of the engine's limits: -1 is no limit. A depth limit of 0 would never be
// reached (the first iteration searches one ply), so it is refused rather than taken as no limit.
extern const Accepted DEPTH_LIMIT;
extern const Accepted TIME_LIMIT;

// Parses a whole decimal int (optionally signed) that `accepted` allows; otherwise throws
// UsageError "invalid WHAT: 'TEXT' (ACCEPTED)".
int parseInt(const std::string& text, const std::string& what, const Accepted& accepted);

// POSITION: "start", "test1", "test2", "test3", or the path of a record file (see
// positionFromFile).
Position parsePosition(const std::string& text);

// The position a record file's moves lead to, replayed from the start as the Open command
// replays them: a move not legal at its turn is dropped, with a line on standard error that
// names the file, the line and the move. A file that cannot be used (missing, a folder, not
// readable, too large, not a record by its first line) is a UsageError naming the path and
// the cause; a record without moves is the start position.
Position positionFromFile(const std::string& path);

// Applies each MOVE (read by parseTypedMove: the whole text is one move, in the record notation,
// compact or as other programs write it; legal at its turn) to p, the position named
// positionName. An unreadable move is the UsageError "cannot read move 'TEXT'", an illegal one
// "illegal move 'TEXT' in POSITION after N moves".
void applyMoves(Position& p, const std::string& positionName, const std::vector<std::string>& moves);

// POSITION [MOVE ...] from the front of the positional arguments; usage is the error when
// there is no POSITION.
Position positionFromArguments(const std::vector<std::string>& positional, const char* usage);

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

// --NAME N for one of the limits above; fallback when the option is absent.
int limitOption(const Options& o, const std::string& name, int fallback, const Accepted& accepted);

// --threads N: 1 searches on one thread, 2 with the helper thread; nothing without it (the
// engine's default stays).
std::optional<bool> threadsOption(const Options& o);
void applyThreadsOption(const Options& o, AlphaBetaSearch& engine);

}  // namespace wintarvo::cli
