// Runs a program to completion and collects its standard output, standard error and exit
// status, for tests of the command-line tool; and runs a piece of a test in a child process,
// for tests that need process-wide limits or another user.
#pragma once

#include <functional>
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

// Runs body in a forked child and returns its exit code (-1 when it did not exit normally).
int exitCodeOfChild(const std::function<int()>& body);

// The user and group an ordinary user's actions run as: nobody (65534) when the tests run as
// root, else the tests' own.
unsigned ordinaryUserId();
unsigned ordinaryGroupId();
// Makes the calling process that ordinary user, for use inside exitCodeOfChild; false when
// root cannot give up its rights here.
bool becomeOrdinaryUser();

}  // namespace wintarvo::testing
