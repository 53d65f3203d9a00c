#include "tools/cli_arguments.h"

#include <algorithm>
#include <charconv>

#include "diag/trace.h"
#include "engine/game_document.h"
#include "model/move_generation.h"
#include "model/test_positions.h"
#include "records/game_file.h"

namespace wintarvo::cli {

int parseInt(const std::string& text, const std::string& what) {
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last)
        throw UsageError("invalid " + what + ": '" + text + "'");
    return value;
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
    return positionFromRecord(text);
}

Position positionFromRecord(const std::string& path) {
    // Read as the Open command reads: the file's trace line stays off standard output, which
    // belongs to the command's own results.
    GameFile file;
    std::string error;
    setStandardOutputEnabled(false);
    const bool read = readGameFile(path, file, error);
    setStandardOutputEnabled(true);
    if (!read)
        throw UsageError("'" + path +
                         "' is neither start, test1, test2, test3 nor a readable game file: " + error);
    // Replayed from the start; a move that is not legal at its turn is dropped.
    GameDocument game;
    for (const Move& m : file.moves) game.playMove(m);
    Position p;
    game.getPosition(p);
    return p;
}

void applyMoves(Position& p, const std::vector<std::string>& moves) {
    for (const std::string& text : moves) {
        Move m;
        if (!parseMove(text, m)) throw UsageError("cannot read move '" + text + "'");
        if (!isLegalMove(p, m)) throw UsageError("illegal move '" + text + "'");
        p.applyMove(m);
    }
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
    const auto v = o.value(name);
    if (!v) return fallback;
    const int n = parseInt(*v, name.substr(2));
    if (n < -1) throw UsageError("invalid " + name.substr(2) + ": '" + *v + "'");
    return n;
}

std::optional<bool> threadsOption(const Options& o) {
    const auto v = o.value("--threads");
    if (!v) return std::nullopt;
    const int n = parseInt(*v, "threads");
    if (n != 1 && n != 2) throw UsageError("invalid threads: '" + *v + "' (1 or 2)");
    return n == 2;
}

void applyThreadsOption(const Options& o, AlphaBetaSearch& engine) {
    if (const auto helper = threadsOption(o)) engine.setHelperThread(*helper);
}

}  // namespace wintarvo::cli
