// The desktop program's command line: at most one record file to open at start-up, --help and
// --version. Without arguments the program starts as it always has.
//
// Read in main before and after QApplication has taken out the toolkit's own options (such as
// -platform): --help and --version are answered before the toolkit needs a display; anything
// left that the program does not know is a usage error.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wintarvo {

struct ProgramArguments {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // For Run: the file to open at start-up as File > Open opens it.
    std::optional<std::string> file;
    // For Error: what is wrong, without the program's name.
    std::string error;
};

// args are the arguments after the program's name. --help (or -h) and --version win over
// everything else before "--"; "--" ends the options, so a file may begin with "-".
ProgramArguments parseProgramArguments(const std::vector<std::string>& args);

// The text of --help.
extern const char* const PROGRAM_HELP;

}  // namespace wintarvo
