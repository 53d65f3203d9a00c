// Runs a program to completion and collects its standard output, standard error and exit
// status, for tests of the command-line tool.
#pragma once

#include <string>
#include <vector>

namespace wintarvo::testing {

struct ProcessResult {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

ProcessResult runProcess(const std::vector<std::string>& argv);
// The same with `input` fed to the program's standard input, which is then closed.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input);

}  // namespace wintarvo::testing
