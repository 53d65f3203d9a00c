#include "tools/cli_commands.h"

#include <climits>
#include <iostream>

#include "diag/trace.h"
#include "model/board.h"
#include "model/evaluator.h"
#include "model/move_generation.h"
#include "search/clock_manager.h"
#include "search/search_engine.h"
#include "search/think_request.h"
#include "tools/cli_arguments.h"

namespace wintarvo::cli {

namespace {

int runPerft(const Args& args) {
    const Options o = splitOptions(args, {}, {"--divide"});
    if (o.positional.empty()) throw UsageError("usage: perft N [POSITION [MOVE ...]] [--divide]");
    const int depth = parseInt(o.positional[0], "depth", {0, INT_MAX, false, "0 or more"});
    const Position p =
        o.positional.size() > 1
            ? positionFromArguments(Args(o.positional.begin() + 1, o.positional.end()), "")
            : parsePosition("start");
    const Board board = Board::fromPosition(p);

    std::uint64_t total = 0;
    if (o.flag("--divide") && depth >= 1) {
        MoveList list;
        generateMoves(board, list);
        for (const Move& m : list) {
            Board child = board;
            child.applyMove(m);
            const std::uint64_t n = perft(child, depth - 1);
            std::cout << moveText(m) << '\t' << n << '\n';
            total += n;
        }
    } else {
        total = perft(board, depth);
    }
    std::cout << "perft " << depth << ' ' << total << std::endl;
    return 0;
}

int runShow(const Args& args) {
    const Options o = splitOptions(args, {}, {});
    const Position p = positionFromArguments(o.positional, "usage: show POSITION [MOVE ...]");
    dumpPosition(p);
    std::cout.flush();
    return 0;
}

int runSearch(const Args& args) {
    const char* usage =
        "usage: search POSITION [MOVE ...] [--depth N] [--time S | --movetime MS [--no-solver]] "
        "[--threads N]";
    const Options o =
        splitOptions(args, {"--depth", "--time", "--movetime", "--threads"}, {"--no-solver"});
    const Position p = positionFromArguments(o.positional, usage);
    const int depth = limitOption(o, "--depth", -1);
    const int seconds = limitOption(o, "--time", 10);
    const std::optional<int> moveTime = moveTimeOption(o);
    if (o.flag("--no-solver") && !moveTime) throw UsageError("--no-solver needs --movetime");

    // One think request, as the engine thread runs it; with --movetime, the tournament engine's.
    ThinkRequest request = thinkRequest(p, depth, seconds, threadsOption(o));
    if (moveTime) {
        TournamentThink tournament;
        const MoveBudget budget = budgetForMoveTime(*moveTime, OverheadMeter().marginMs());
        tournament.clock.softMs = budget.softMs;
        tournament.clock.hardMs = budget.hardMs;
        request.tournament = tournament;
        request.splitSolver = !o.flag("--no-solver");
    }
    const ThinkAnswer answer = runThinkRequest(request);
    std::cout << "result\t" << (answer.found ? moveText(answer.move) : std::string("none")) << '\t'
              << answer.statusText << '\t' << answer.evaluations << std::endl;
    return 0;
}

int runEval(const Args& args) {
    const Options o = splitOptions(args, {}, {});
    const Position p = positionFromArguments(o.positional, "usage: eval POSITION [MOVE ...]");
    Evaluator evaluator;
    const int score = evaluator.evaluate(p, true);
    std::cout << "score\t" << score << std::endl;
    return 0;
}

}  // namespace

const Command PERFT_COMMAND = {
    runPerft, "perft N [POSITION [MOVE ...]] [--divide]",
    "      Count the move sequences of N plies (0 or more) from POSITION (default start)\n"
    "      after the MOVEs. --divide prints each first move with the count of the sequences\n"
    "      that begin with it, then the total. The last line is \"perft N COUNT\".\n"};

const Command SHOW_COMMAND = {
    runShow, "show POSITION [MOVE ...]",
    "      Play the MOVEs from POSITION and print the board: ranks 10 (X) to 1 from the top,\n"
    "      files a to j; WP a white amazon, BP a black one, [] an arrow, == and -- empty\n"
    "      squares (in a checker pattern); then the side to move.\n"};

const Command SEARCH_COMMAND = {
    runSearch,
    "search POSITION [MOVE ...] [--depth N] [--time S | --movetime MS [--no-solver]] "
    "[--threads N]",
    "      Run one think request of the engine with its whole trace, then a last line\n"
    "      \"result<TAB>MOVE<TAB>STATUS<TAB>EVALUATIONS\" (MOVE is \"none\" without a move).\n"
    "      --depth N: plies from 1 up, or -1 for no limit (the default).\n"
    "      --time S: whole seconds from 0 up (default 10), or -1 for no limit. It is a\n"
    "      budget, not a wait: the engine goes one ply deeper only while it expects that\n"
    "      search to end within the budget, so it often answers well before (0: one ply).\n"
    "      --movetime MS: think as the tournament engine does for MS milliseconds (1 up):\n"
    "      deeper while time is left, the last iteration cut at the deadline (MS less a\n"
    "      margin for the answer); split boards are counted exactly unless --no-solver.\n"
    "      --threads N: 1 or 2; see below.\n"};

const Command EVAL_COMMAND = {
    runEval, "eval POSITION [MOVE ...]",
    "      Print the verbose evaluation, then \"score<TAB>N\" for the side to move.\n"};

}  // namespace wintarvo::cli
