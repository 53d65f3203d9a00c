// wintarvo-cli: the engine and the game rules without a window, for scripts, tests and
// benchmarks. Every command writes its results (and the engine's trace) to standard output;
// errors are one line on standard error. Exit status 0 on success, 1 when the command failed
// while running (output that could not be written among others), 2 for bad usage.
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "tools/cli_arguments.h"
#include "tools/cli_commands.h"
#include "tools/cli_output.h"

namespace {

using wintarvo::cli::Command;

// The commands, by name. A new command adds one entry (see cli_commands.h).
const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"perft", wintarvo::cli::PERFT_COMMAND},
        {"show", wintarvo::cli::SHOW_COMMAND},
        {"search", wintarvo::cli::SEARCH_COMMAND},
        {"eval", wintarvo::cli::EVAL_COMMAND},
        {"bench", wintarvo::cli::BENCH_COMMAND},
        {"convert", wintarvo::cli::CONVERT_COMMAND},
        {"gtp", wintarvo::cli::GTP_COMMAND},
        {"match", wintarvo::cli::MATCH_COMMAND},
    };
    return table;
}

const char* const NOTES = R"NOTES(
POSITION is start, test1, test2, test3, or the path of a game file, told apart by its
content as the program's Open tells them: a record file (.amz, first line 'Amazon Record
File, one move per line), whose moves are replayed from the start, or an SGF record
(FF[4], GM[18]) as Quarry writes it, whose moves must all be legal. A line of a record
that is not a move, or whose move is not legal at its turn, is skipped with a line on
standard error. A record with its first line and no moves is the start position; any
other file that names no move is refused.
MOVE is one move, each legal at its turn, written in the record notation "D1-D4 (D7)",
compactly D1D4D7 or D10C9H4, or as other programs write it: d1-d4/d7, d1-d4-d7, D1-D4xD7.
Letters may be of either case; the whole argument must be the move.
--threads 1 searches on one thread; --threads 2 lets a second thread evaluate children
ahead of the search (the default where the process may use two processors). Moves,
scores, traces and evaluation counts are the same either way.

Exit status: 0 success, 1 failure while running (such as output that cannot be written),
2 bad usage (an unknown command or option, a value out of range, a POSITION or MOVE that
cannot be used).
)NOTES";

void printHelp() {
    std::cout << "Usage: wintarvo-cli COMMAND [ARGUMENTS]\n"
                 "       wintarvo-cli COMMAND --help\n"
                 "       wintarvo-cli --help | --version\n\nCommands:\n";
    for (const auto& [name, command] : commands())
        std::cout << "  " << command.synopsis << '\n' << command.description;
    std::cout << NOTES;
}

void printCommandHelp(const Command& command) {
    std::cout << "Usage: wintarvo-cli " << command.synopsis << "\n\n"
              << command.description << "\nSee wintarvo-cli --help for POSITION, MOVE and the exit status.\n";
}

bool asksForHelp(const wintarvo::cli::Args& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

int run(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "wintarvo-cli: no command given (try --help)\n";
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp();
        return 0;
    }
    if (name == "--version") {
        std::cout << "wintarvo-cli " << WINTARVO_VERSION << '\n';
        return 0;
    }
    const auto it = commands().find(name);
    if (it == commands().end()) {
        std::cerr << "wintarvo-cli: unknown command '" << name << "' (try --help)\n";
        return 2;
    }
    const wintarvo::cli::Args args(argv + 2, argv + argc);
    if (asksForHelp(args)) {
        printCommandHelp(it->second);
        return 0;
    }
    try {
        return it->second.run(args);
    } catch (const wintarvo::cli::UsageError& e) {
        std::cerr << "wintarvo-cli " << name << ": " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "wintarvo-cli " << name << ": " << e.what() << '\n';
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    wintarvo::cli::StandardOutput output;
    return output.finish(run(argc, argv));
}
