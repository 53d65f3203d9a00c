#include "ui/program_arguments.h"

namespace wintarvo {

const char* const PROGRAM_HELP = R"HELP(Usage: wintarvo [FILE]
Plays the Game of the Amazons on a 10x10 board against a built-in engine.

FILE, a record file (.amz) or an SGF record (.sgf), is opened at start-up as File > Open
opens it.

  --help      print this text and exit
  --version   print the version and exit

The toolkit's own options (such as -platform offscreen) are accepted as well. The debug
trace goes to standard output. SIGTERM, SIGHUP and SIGINT close the program as Exit does.
Exit status: 0 after the window is closed or after SIGTERM or SIGHUP, 130 after SIGINT,
2 for a wrong argument.
)HELP";

ProgramArguments parseProgramArguments(const std::vector<std::string>& args) {
    ProgramArguments result;
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            result.action = ProgramArguments::Action::Help;
            return result;
        }
        if (a == "--version") result.action = ProgramArguments::Action::Version;
    }
    if (result.action != ProgramArguments::Action::Run) return result;

    bool optionsEnded = false;
    for (const std::string& a : args) {
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            result.action = ProgramArguments::Action::Error;
            result.error = "unknown option '" + a + "'";
            result.file.reset();
            return result;
        }
        if (result.file) {
            result.action = ProgramArguments::Action::Error;
            result.error = "one file at a time: '" + *result.file + "' and '" + a + "' given";
            result.file.reset();
            return result;
        }
        if (a.empty()) {
            result.action = ProgramArguments::Action::Error;
            result.error = "an empty file name";
            return result;
        }
        result.file = a;
    }
    return result;
}

}  // namespace wintarvo
