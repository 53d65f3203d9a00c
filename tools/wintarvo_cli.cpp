// wintarvo-cli: the engine and the game rules without a window, for scripts, tests and
// benchmarks. Every command writes its results (and the engine's trace) to standard output;
// errors are one line on standard error with exit status 2.
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "tools/cli_arguments.h"
#include "tools/cli_commands.h"

namespace {

const char* const HELP = R"HELP(Usage: wintarvo-cli COMMAND [ARGUMENTS]

Commands:
  perft N [POSITION] [--divide]
      Count the move sequences of N plies from POSITION. --divide also prints the
      count below each first move. The last line is "perft N COUNT".
  show POSITION [MOVE ...]
      Play the moves from POSITION and print the board.
  search POSITION [MOVE ...] [--depth N] [--time S] [--threads N]
      Run one think request of the engine (defaults: no depth limit, 10 seconds;
      -1 means no limit) with its whole trace, then a last line
      "result<TAB>MOVE<TAB>STATUS<TAB>EVALUATIONS" (MOVE is "none" without a move).
  eval POSITION [MOVE ...]
      Print the verbose evaluation, then "score<TAB>N" for the side to move.
  bench [--threads N]
      Search a fixed list of positions to fixed depths; one line each, then
      "bench<TAB>EVALUATIONS<TAB>MILLISECONDS<TAB>EVALUATIONS_PER_SECOND".
      The total evaluation count is the engine's signature.
  convert IN OUT
      Write the game of IN, a record file or an SGF record, to OUT as the kind its
      ending names (.amz or .sgf). The last line is "convert<TAB>MOVES<TAB>LEFT_OUT",
      LEFT_OUT counting the moves that are not legal at their turn.
  gtp [--depth N] [--time S] [--threads N] [--trace]
      Play as a GTP (Go Text Protocol) engine on standard input and output, for
      game programs such as Quarry. --depth and --time are the limits of a think
      when the controller sets no clock; --trace sends the engine's trace to
      standard error (otherwise it is dropped).
  --help
      Print this text.

POSITION is start (the default for perft), test1, test2, test3, or the path of a game
file: a record file (.amz), whose moves are replayed from the start, dropping any that is
not legal at its turn, or an SGF record (FF[4], GM[18]) as Quarry writes it.
MOVE is in record notation, for instance "D1-D4 (D7)" or D1D4D7; each must be legal at its turn.
--threads 1 searches on one thread; --threads 2 lets a second thread evaluate children
ahead of the search (the default where the process may use two processors). Moves,
scores, traces and evaluation counts are the same either way.
)HELP";

using Command = std::function<int(const wintarvo::cli::Args&)>;

}  // namespace

int main(int argc, char** argv) {
    const std::map<std::string, Command> commands = {
        {"perft", wintarvo::cli::runPerft},
        {"show", wintarvo::cli::runShow},
        {"search", wintarvo::cli::runSearch},
        {"eval", wintarvo::cli::runEval},
        {"bench", wintarvo::cli::runBench},
        {"convert", wintarvo::cli::runConvert},
        {"gtp", wintarvo::cli::runGtp},
    };
    if (argc < 2) {
        std::cerr << "wintarvo-cli: no command given (try --help)\n";
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::cout << HELP;
        return 0;
    }
    const auto it = commands.find(name);
    if (it == commands.end()) {
        std::cerr << "wintarvo-cli: unknown command '" << name << "' (try --help)\n";
        return 2;
    }
    try {
        return it->second(wintarvo::cli::Args(argv + 2, argv + argc));
    } catch (const wintarvo::cli::UsageError& e) {
        std::cerr << "wintarvo-cli " << name << ": " << e.what() << '\n';
        return 2;
    }
}
