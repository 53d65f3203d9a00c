#include "tools/cli_arguments.h"

#include <algorithm>
#include <climits>
#include <iostream>

#include "diag/trace.h"
#include "model/move_generation.h"
#include "model/test_positions.h"
#include "model/text.h"
#include "model/typed_move.h"
#include "records/file_utils.h"

namespace wintarvo::cli {

int parseInt(const std::string& text, const std::string& what, const Accepted& accepted) {
    const std::optional<int> value = text::parseInteger(text);
    const bool inRange = value && ((*value >= accepted.min && *value <= accepted.max) ||
                                   (accepted.orMinusOne && *value == -1));
    if (!inRange) throw UsageError("invalid " + what + ": '" + text + "' (" + accepted.text + ")");
    return *value;
}

Position parsePosition(const std::string& text) {
    Position p;
    if (text == "start") {
        p.setStartPosition();
        return p;
    }
    for (int n = 1; n <= TEST_POSITION_COUNT; ++n) {
        if (text == "test" + std::to_string(n)) {
            setTestPosition(p, n);
            return p;
        }
    }
    return positionFromFile(text);
}

bool readGameFileQuietly(const std::string& path, GameFile& file, std::string& error) {
    const StandardOutputOff quiet;
    return readGameFile(path, file, error);
}

void reportSkippedLines(const std::string& path, const GameFile& file) {
    for (const SkippedLine& skipped : file.skipped) {
        std::cerr << path << ": line " << skipped.line << ": ";
        if (skipped.cause == SkippedLine::Cause::NotLegal)
            std::cerr << "move '" << skipped.text << "' is not legal here, skipped\n";
        else
            std::cerr << "'" << skipped.text << "' is not a move, skipped\n";
    }
    if (file.skippedCount > file.skipped.size())
        std::cerr << path << ": " << file.skippedCount - file.skipped.size()
                  << " more lines skipped\n";
}

Position positionFromFile(const std::string& path) {
    GameFile file;
    std::string error;
    if (!readGameFileQuietly(path, file, error)) {
        if (file.format == GameFileFormat::Sgf) error = "not a usable SGF record: " + error;
        if (!fileExists(path))
            error += " (POSITION is start, test1, test2, test3, a record file or an SGF record)";
        throw UsageError("'" + path + "': " + error);
    }
    // A record with its header is a game, if an empty one; any other file needs a move to be
    // taken for a game.
    if (!file.holdsMoves() && !file.recordHeader)
        throw UsageError("'" + path + "': " + std::string(NO_MOVES_CAUSE));
    reportSkippedLines(path, file);
    return file.position;
}

void applyMoves(Position& p, const std::string& positionName, const std::vector<std::string>& moves) {
    for (std::size_t played = 0; played < moves.size(); ++played) {
        const std::string& text = moves[played];
        Move m;
        if (!parseTypedMove(text, m)) throw UsageError("cannot read move '" + text + "'");
        if (!isLegalMove(p, m))
            throw UsageError("illegal move '" + text + "' in " + positionName + " after " +
                             std::to_string(played) + (played == 1 ? " move" : " moves"));
        p.applyMove(m);
    }
}

Position positionFromArguments(const std::vector<std::string>& positional, const char* usage) {
    if (positional.empty()) throw UsageError(usage);
    Position p = parsePosition(positional[0]);
    applyMoves(p, positional[0], std::vector<std::string>(positional.begin() + 1, positional.end()));
    return p;
}

std::optional<std::string> Options::value(const std::string& name) const {
    std::optional<std::string> result;
    for (const auto& [n, v] : valued)
        if (n == name) result = v;
    return result;
}

bool Options::flag(const std::string& name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

Options splitOptions(const std::vector<std::string>& args, const std::vector<std::string>& valuedNames,
                     const std::vector<std::string>& flagNames) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            if (std::find(valuedNames.begin(), valuedNames.end(), a) != valuedNames.end()) {
                if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a value");
                o.valued.emplace_back(a, args[++i]);
                continue;
            }
            if (std::find(flagNames.begin(), flagNames.end(), a) != flagNames.end()) {
                o.flags.push_back(a);
                continue;
            }
            throw UsageError("unknown option " + a);
        }
        o.positional.push_back(a);
    }
    return o;
}

int limitOption(const Options& o, const std::string& name, int fallback) {
    // A depth limit of 0 would never be reached (the first iteration searches one ply), so it
    // is refused rather than taken as no limit.
    static const Accepted DEPTH{1, INT_MAX, true, "-1 for no limit, or plies from 1 up"};
    static const Accepted TIME{0, INT_MAX, true, "-1 for no limit, or whole seconds from 0 up"};
    const auto v = o.value(name);
    return v ? parseInt(*v, name.substr(2), name == "--depth" ? DEPTH : TIME) : fallback;
}

std::optional<bool> threadsOption(const Options& o) {
    const auto v = o.value("--threads");
    if (!v) return std::nullopt;
    return parseInt(*v, "threads", {1, 2, false, "1 or 2"}) == 2;
}

std::optional<int> moveTimeOption(const Options& o) {
    const auto v = o.value("--movetime");
    if (!v) return std::nullopt;
    if (o.value("--time")) throw UsageError("--movetime and --time cannot be given together");
    return parseInt(*v, "movetime", {1, 86'400'000, false, "milliseconds from 1 to 86400000"});
}

}  // namespace wintarvo::cli
