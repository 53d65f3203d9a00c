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

int runGtp(const Args& args) {
    const Options o = splitOptions(args, {"--depth", "--time", "--threads"}, {"--trace"});
    if (!o.positional.empty())
        throw UsageError("usage: gtp [--depth N] [--time S] [--threads N] [--trace]");
    gtp::EngineSettings settings;
    settings.version = WINTARVO_VERSION;
    settings.depthLimit = limitOption(o, "--depth", -1);
    if (o.value("--time")) settings.timeLimit = limitOption(o, "--time", -1);
    settings.helperThread = threadsOption(o);

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

}  // namespace wintarvo::cli
