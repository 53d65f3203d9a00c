#include "tools/cli_commands.h"

#include <iostream>

#include "model/board.h"
#include "diag/trace.h"
#include "model/evaluator.h"
#include "model/move_generation.h"
#include "search/search_engine.h"
#include "search/think_request.h"
#include "tools/cli_arguments.h"

namespace wintarvo::cli {

int runPerft(const Args& args) {
    const Options o = splitOptions(args, {}, {"--divide"});
    if (o.positional.empty() || o.positional.size() > 2)
        throw UsageError("usage: perft N [POSITION] [--divide]");
    const int depth = parseInt(o.positional[0], "depth");
    if (depth < 0) throw UsageError("invalid depth: '" + o.positional[0] + "'");
    const Position p = parsePosition(o.positional.size() > 1 ? o.positional[1] : "start");
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
    if (args.empty()) throw UsageError("usage: show POSITION [MOVE ...]");
    Position p = parsePosition(args[0]);
    applyMoves(p, Args(args.begin() + 1, args.end()));
    dumpPosition(p);
    std::cout.flush();
    return 0;
}

namespace {

// POSITION [MOVE ...], as show takes them.
Position positionFromArguments(const std::vector<std::string>& positional, const char* usage) {
    if (positional.empty()) throw UsageError(usage);
    Position p = parsePosition(positional[0]);
    applyMoves(p, Args(positional.begin() + 1, positional.end()));
    return p;
}

}  // namespace

int runSearch(const Args& args) {
    const char* usage = "usage: search POSITION [MOVE ...] [--depth N] [--time S] [--threads N]";
    const Options o = splitOptions(args, {"--depth", "--time", "--threads"}, {});
    const Position p = positionFromArguments(o.positional, usage);
    const int depth = limitOption(o, "--depth", -1);
    const int seconds = limitOption(o, "--time", 10);

    // One think request, as the engine thread runs it.
    ThinkRequest request;
    request.position = p;
    request.depthLimit = depth;
    request.timeLimit = seconds;
    request.helperThread = threadsOption(o);
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

}  // namespace wintarvo::cli
