// convert IN OUT: a game file of either kind (record file or SGF record, told apart by its
// content) written as the kind OUT's ending names. The file is read as every front end reads
// it (game_file.h): a move of a record file that is not legal at its turn is left out, reported
// and counted. Only what IN holds is written: its moves, and the players and date of an SGF
// record; nothing is made up for a game that had none. OUT is never IN itself.
#include <iostream>
#include <stdexcept>

#include "records/file_utils.h"
#include "records/game_file.h"
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
    // Writing over the input would lose what the output leaves out (variations, the lines
    // skipped), however the two paths are spelt.
    if (isSameFile(in, out))
        throw UsageError("'" + out + "' is the input file itself; convert writes another file");

    GameFile file;
    std::string error;
    if (!readGameFileQuietly(in, file, error))
        throw UsageError("cannot read '" + in + "': " + error);
    if (!file.holdsMoves())
        throw UsageError("cannot read '" + in + "': " + std::string(NO_MOVES_CAUSE));
    reportSkippedLines(in, file);
    if (file.moves.empty())
        throw UsageError("'" + in + "' holds no move that is legal at its turn");

    // A failure while running, not a bad call: status 1.
    if (!writeGameFile(out, format, file.moves, file.info, error))
        throw std::runtime_error("cannot write '" + out + "': " + error);
    std::cout << "convert\t" << file.moves.size() << '\t' << file.notLegalCount << std::endl;
    return 0;
}

}  // namespace

const Command CONVERT_COMMAND = {
    runConvert, "convert IN OUT",
    "      Write the game of IN, a record file or an SGF record, to OUT as the kind its\n"
    "      ending names (.amz or .sgf); OUT may not be IN itself. The game is IN's moves\n"
    "      that are legal at their turn (each line left out of a record is reported on\n"
    "      standard error) and, from an SGF record, its players (PB, PW) and date (DT);\n"
    "      nothing else is taken over or made up. An SGF written gets GM, FF, CA[UTF-8],\n"
    "      AP, SZ and, for a finished game, RE. The last line is\n"
    "      \"convert<TAB>MOVES<TAB>LEFT_OUT\", LEFT_OUT counting the moves that are not\n"
    "      legal at their turn. A file that cannot be written is a failure (status 1).\n"};

}  // namespace wintarvo::cli
