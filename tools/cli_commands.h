// The command-line tool's commands. Each is one entry of the tool's command table: the function
// that runs it (given the arguments after its name, returning the exit status; bad arguments
// throw UsageError) and what --help says about it. A new command is its own file defining its
// Command, declared here, and one entry in the table in wintarvo_cli.cpp.
#pragma once

#include <string>
#include <vector>

namespace wintarvo::cli {

using Args = std::vector<std::string>;

struct Command {
    int (*run)(const Args& args);
    // The arguments after the command's name, as in "perft N [POSITION [MOVE ...]] [--divide]".
    const char* synopsis;
    // What it does, in lines indented by six blanks, each ended by a line break.
    const char* description;
};

extern const Command PERFT_COMMAND;
extern const Command SHOW_COMMAND;
extern const Command SEARCH_COMMAND;
extern const Command EVAL_COMMAND;
extern const Command BENCH_COMMAND;
extern const Command CONVERT_COMMAND;
extern const Command GTP_COMMAND;
extern const Command MATCH_COMMAND;

}  // namespace wintarvo::cli
