// match: a match between two GTP engines for Amazons (match_runner.h), refereed by the core's
// rules (match/referee.h). This file reads the options and says what they mean.
#include <charconv>
#include <climits>
#include <tuple>

#include "match/openings.h"
#include "tools/cli_arguments.h"
#include "tools/cli_commands.h"
#include "tools/match_runner.h"

namespace wintarvo::cli {
namespace {

constexpr const char* USAGE =
    "usage: match --engine CMD --engine CMD [--games N] [--byoyomi S | --game-time S | "
    "--movetime MS] [--openings N] [--opening-plies N] [--seed K] [--sgf DIR] "
    "[--concurrency N] [--log FILE]";

std::uint64_t parseSeed(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw UsageError("invalid seed: '" + text + "' (a whole number from 0 to 2^64-1)");
    return value;
}

int countOption(const Options& o, const std::string& name, int min, int max, int fallback) {
    const auto v = o.value(name);
    if (!v) return fallback;
    const std::string range = "from " + std::to_string(min) + " to " + std::to_string(max);
    return parseInt(*v, name.substr(2), {min, max, false, range.c_str()});
}

match::ClockSettings clockOption(const Options& o) {
    match::ClockSettings clock;
    int given = 0;
    for (const auto& [name, kind, unit] :
         {std::tuple{"--byoyomi", match::ClockKind::ByoYomi, 1000},
          std::tuple{"--game-time", match::ClockKind::GameTime, 1000},
          std::tuple{"--movetime", match::ClockKind::MoveTime, 1}}) {
        if (!o.value(name)) continue;
        ++given;
        clock.kind = kind;
        // A day a move or a game is more than any match means; it keeps the arithmetic safe.
        clock.time = std::chrono::milliseconds(countOption(o, name, 1, 86400000 / unit, 0)) * unit;
    }
    if (given > 1) throw UsageError("give one of --byoyomi, --game-time and --movetime");
    return clock;
}

int runMatchCommand(const Args& args) {
    const Options o =
        splitOptions(args,
                     {"--engine", "--games", "--byoyomi", "--game-time", "--movetime", "--openings",
                      "--opening-plies", "--seed", "--sgf", "--concurrency", "--log"},
                     {});
    if (!o.positional.empty()) throw UsageError(USAGE);
    MatchOptions options;
    int engines = 0;
    for (const auto& [name, value] : o.valued) {
        if (name != "--engine") continue;
        if (engines == 2) throw UsageError("more than two engines: give --engine twice");
        if (value.find_first_not_of(" \t") == std::string::npos)
            throw UsageError("an empty engine command");
        options.commands[engines++] = value;
    }
    if (engines != 2) throw UsageError("two engines are needed: give --engine CMD twice");

    options.referee.clock = clockOption(o);
    const int gamesGiven = countOption(o, "--games", 1, 1000000, 0);
    const int openings =
        countOption(o, "--openings", 1, 100000, gamesGiven > 0 ? (gamesGiven + 1) / 2 : 1);
    options.games = gamesGiven > 0 ? gamesGiven : 2 * openings;
    options.openingPlies = countOption(o, "--opening-plies", 0, 40, 2);
    options.seed = o.value("--seed") ? parseSeed(*o.value("--seed")) : 1;
    options.concurrency = countOption(o, "--concurrency", 1, 64, 1);
    options.sgfDirectory = o.value("--sgf").value_or("");
    options.logPath = o.value("--log").value_or("");
    if (o.value("--sgf") && options.sgfDirectory.empty()) throw UsageError("--sgf needs a folder");
    if (o.value("--log") && options.logPath.empty()) throw UsageError("--log needs a file");

    options.openings = match::generateOpenings(openings, options.openingPlies, options.seed);
    if (static_cast<int>(options.openings.size()) < openings)
        throw UsageError("only " + std::to_string(options.openings.size()) + " distinct opening" +
                         (options.openings.size() == 1 ? "" : "s") + " of " +
                         std::to_string(options.openingPlies) +
                         " plies found; ask for fewer openings or more plies");
    return runMatch(options);
}

}  // namespace

const Command MATCH_COMMAND = {
    runMatchCommand,
    "match --engine CMD --engine CMD [--games N] [--byoyomi S | --game-time S |\n"
    "        --movetime MS] [--openings N] [--opening-plies N] [--seed K] [--sgf DIR]\n"
    "        [--concurrency N] [--log FILE]",
    "      Play a match between two GTP engines for Amazons and score engine 1 against\n"
    "      engine 2. CMD is an engine's command line, run as /bin/sh -c \"exec CMD\" (one\n"
    "      argument: quote it), such as \"wintarvo-cli gtp --depth 2\" or another program.\n"
    "      The referee keeps the game by the rules: White moves first, and the side to move\n"
    "      without a legal move has lost. An engine also loses by an illegal move, an answer\n"
    "      that is not a move, an error answer, resign, output that is not GTP, ending or\n"
    "      closing its pipes, silence, refusing a legal move, or thinking past its time.\n"
    "      --games N: games in all (default twice the openings). --openings N: distinct\n"
    "      openings (default half the games, rounded up, or 1), each --opening-plies N\n"
    "      random legal plies (default 2: a move of each side) drawn from --seed K (default\n"
    "      1, so a match can be repeated); each opening is played twice, engine 1 White in\n"
    "      the first game of the pair and Black in the second.\n"
    "      --byoyomi S: every move within S seconds (the engines get time_settings 0 S 1,\n"
    "      and time_left before each genmove). --game-time S: S seconds for all of a side's\n"
    "      moves (time_settings S 0 0; time_left with the whole seconds left). --movetime\n"
    "      MS: MS milliseconds a move, told to no engine (give each its own option for it)\n"
    "      but enforced. A think is timed from sending genmove to reading the whole answer;\n"
    "      longer than allowed loses on time, and an engine silent 2 s past its time is\n"
    "      stopped. Without a clock none is set, but an engine that gives no move within\n"
    "      60 s, or answers no other command within 10 s, loses and is stopped.\n"
    "      --sgf DIR: each game saved as DIR/game-001.sgf, ... (the folder is made when\n"
    "      missing; files of the same name are replaced). --concurrency N: N games at once,\n"
    "      each with its own engine processes (default 1: one game at a time). --log FILE:\n"
    "      every command and answer and the engines' standard error appended to FILE;\n"
    "      without it their standard error is dropped (its last lines are quoted when an\n"
    "      engine fails).\n"
    "      Output, one tab-separated line each with NAME=VALUE fields: \"engine\" twice (the\n"
    "      names the engines give), \"match\", a \"game\" line a game (white=ENGINE,\n"
    "      result=W+ or B+ with R resignation, T time or F forfeit, winner, plies with the\n"
    "      opening's, avgN and maxN engine N's average and largest think in seconds or -,\n"
    "      reason=TEXT), then \"score\": engine 1's wins and losses, its win rate with a 95%\n"
    "      Wilson interval, the Elo difference with its margin and its interval. Exit\n"
    "      status 1 when an engine cannot be started or a record not saved; 130 when\n"
    "      interrupted (the score of the games played is printed).\n"};

}  // namespace wintarvo::cli
