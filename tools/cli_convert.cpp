// convert IN OUT: a game file of either kind (record file or SGF record, told apart by its
// content) written as the kind OUT's ending names. The moves are replayed from the start as
// the Open command replays them, so a move of a record file that is not legal at its turn is
// left out, and the count of those is reported.
#include <iostream>

#include "diag/trace.h"
#include "records/game_file.h"
#include "records/sgf_record.h"
#include "tools/cli_arguments.h"
#include "tools/cli_commands.h"

namespace wintarvo::cli {

namespace {

int runConvert(const Args& args) {
    const Options o = splitOptions(args, {}, {});
    if (o.positional.size() != 2) throw UsageError("usage: convert IN OUT");
    const std::string& in = o.positional[0];
    const std::string& out = o.positional[1];
    // Only a known ending says which kind is wanted.
    const GameFileFormat format = formatForSaving(out, GameFileFormat::Record);
    if (format != formatForSaving(out, GameFileFormat::Sgf))
        throw UsageError("'" + out + "' names no kind of game file: end it in .amz or .sgf");

    // The reader's trace line for a missing file stays off standard output.
    GameFile file;
    std::string error;
    setStandardOutputEnabled(false);
    const bool read = readGameFile(in, file, error);
    setStandardOutputEnabled(true);
    if (!read) throw UsageError("cannot read '" + in + "': " + error);
    const MoveList line = legalLineFromStart(file.moves);
    if (line.empty()) throw UsageError("'" + in + "' holds no move that is legal at its turn");

    SgfGameInfo info = file.info;
    if (format == GameFileFormat::Sgf) fillSgfGameInfo(info);
    if (!writeGameFile(out, format, line, info, error))
        throw UsageError("cannot write '" + out + "': " + error);
    std::cout << "convert\t" << line.size() << '\t' << file.moves.size() - line.size() << std::endl;
    return 0;
}

}  // namespace

const Command CONVERT_COMMAND = {
    runConvert, "convert IN OUT",
    "      Write the game of IN, a record file or an SGF record, to OUT as the kind its\n"
    "      ending names (.amz or .sgf). The last line is \"convert<TAB>MOVES<TAB>LEFT_OUT\",\n"
    "      LEFT_OUT counting the moves that are not legal at their turn.\n"};

}  // namespace wintarvo::cli
