// The command-line tool's commands. Each takes the arguments after its name and returns the
// exit status; bad arguments throw UsageError.
#pragma once

#include <string>
#include <vector>

namespace wintarvo::cli {

using Args = std::vector<std::string>;

int runPerft(const Args& args);
int runShow(const Args& args);
int runSearch(const Args& args);
int runEval(const Args& args);
int runBench(const Args& args);
int runConvert(const Args& args);
int runGtp(const Args& args);

}  // namespace wintarvo::cli
