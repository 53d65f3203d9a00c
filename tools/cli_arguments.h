// Argument handling shared by the command-line tool's commands.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/move_list.h"
#include "model/position.h"
#include "records/game_file.h"

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

// Parses a whole decimal int (optionally signed) that `accepted` allows; otherwise throws
// UsageError "invalid WHAT: 'TEXT' (ACCEPTED)".
int parseInt(const std::string& text, const std::string& what, const Accepted& accepted);

// POSITION: "start", "test1", "test2", "test3", or the path of a game file (see
// positionFromFile).
Position parsePosition(const std::string& text);

// The position a game file's moves lead to, read by readGameFile as the Open command reads
// it. Every line of a record file that is skipped (not a move, or a move not legal at its
// turn) is reported on standard error (reportSkippedLines). A file that cannot be used
// (missing, a folder, not readable, too large, a refused SGF record, or a file that names no
// move and is not a record with its header) is a UsageError naming the path and the cause; a
// record with its header and no moves is the start position.
Position positionFromFile(const std::string& path);

// readGameFile with its trace line about a missing file kept off standard output.
bool readGameFileQuietly(const std::string& path, GameFile& file, std::string& error);

// One line on standard error for each skipped line of the file read from path:
// "PATH: line N: 'TEXT' is not a move, skipped" or "PATH: line N: move 'TEXT' is not legal
// here, skipped", and a count of those beyond the ones the reader keeps.
void reportSkippedLines(const std::string& path, const GameFile& file);

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

// --depth N or --time S: a limit of the engine, -1 for none; fallback without the option.
int limitOption(const Options& o, const std::string& name, int fallback);

// --threads N: 1 searches on one thread, 2 with the helper thread; without it the engine's
// default stays (threadsOption gives no value).
std::optional<bool> threadsOption(const Options& o);

// --movetime MS: a fixed time a move for the tournament engine, in milliseconds; not with --time.
std::optional<int> moveTimeOption(const Options& o);

}  // namespace wintarvo::cli
