// wintarvo-cli gtp: the GTP engine (gtp/gtp_engine.h) on standard input and output. Standard
// output carries the protocol alone, so the engine's trace is kept off it: with --trace it goes
// to standard error, otherwise nowhere.
#include <csignal>
#include <iostream>
#include <string_view>

#include "diag/trace.h"
#include "gtp/gtp_engine.h"
#include "search/think_request.h"
#include "tools/cli_arguments.h"
#include "tools/cli_commands.h"

#ifndef WINTARVO_VERSION
#error "WINTARVO_VERSION must name the program's version"
#endif

namespace wintarvo::cli {
namespace {

int runGtp(const Args& args) {
    const Options o = splitOptions(args, {"--depth", "--time", "--movetime", "--threads"},
                                   {"--trace", "--standard", "--no-solver"});
    if (!o.positional.empty()) throw UsageError(std::string("usage: ") + GTP_COMMAND.synopsis);
    gtp::EngineSettings settings;
    settings.version = WINTARVO_VERSION;
    settings.depthLimit = limitOption(o, "--depth", -1);
    if (o.value("--time")) settings.timeLimit = limitOption(o, "--time", -1);
    settings.helperThread = threadsOption(o);
    if (const auto moveTime = moveTimeOption(o)) settings.moveTimeMs = *moveTime;
    settings.standardThink = o.flag("--standard");
    settings.splitSolver = !o.flag("--no-solver");
    if (settings.standardThink && (settings.moveTimeMs || !settings.splitSolver))
        throw UsageError(
            "--standard is the program's own think: not with --movetime or --no-solver");

    setStandardOutputEnabled(false);
    if (o.flag("--trace")) {
        setDebuggerChannel([](std::string_view text) {
            std::cerr << text;
            if (!text.empty() && text.back() == '\n') std::cerr.flush();
        });
    }
    // A controller that goes away makes writes fail rather than end the process unannounced.
    std::signal(SIGPIPE, SIG_IGN);
    gtp::GtpEngine engine(settings, runThinkRequest);
    const bool written = engine.run(std::cin, std::cout);
    setDebuggerChannel({});
    if (!written) {
        std::cerr << "wintarvo-cli gtp: cannot write to standard output (the controller has "
                     "closed it); stopped\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Command GTP_COMMAND = {
    runGtp,
    "gtp [--depth N] [--time S | --movetime MS] [--standard] [--no-solver] [--threads N] "
    "[--trace]",
    "      Play as a GTP (Go Text Protocol) engine on standard input and output, for\n"
    "      game programs and match tools such as Quarry. When the controller sets a\n"
    "      clock (time_settings, time_left), each move is the tournament engine's think:\n"
    "      a share of the clock in milliseconds, deeper while time is left, the last\n"
    "      iteration cut at a deadline that keeps a measured margin for the answer, and\n"
    "      split boards counted exactly. --movetime MS gives it MS milliseconds a move\n"
    "      without a clock. Without either, --depth and --time are the limits of the\n"
    "      program's own think (default: no depth limit, 10 seconds); --time also caps\n"
    "      the clock's share. --standard keeps the program's own think under a clock\n"
    "      (a whole-second share, as the window thinks); --no-solver leaves split boards\n"
    "      to the search. wintarvo-limits tells the next move's limits. --trace sends\n"
    "      the engine's trace to standard error (otherwise it is dropped).\n"};

}  // namespace wintarvo::cli
