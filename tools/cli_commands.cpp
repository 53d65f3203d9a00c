#include "tools/cli_commands.h"

#include <iostream>

#include "model/board.h"
#include "model/move_generation.h"
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

}  // namespace wintarvo::cli
