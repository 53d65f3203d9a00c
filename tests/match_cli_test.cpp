// `wintarvo-cli match` with engines as processes: two quick real engines, an engine written
// in the shell that answers garbage, and engines that cannot be started.
#include <gtest/gtest.h>

#include "model/move_list.h"
#include "records/sgf_record.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace wintarvo {
namespace {

const std::string CLI = WINTARVO_CLI_PATH;
const std::string QUICK_ENGINE = "'" + CLI + "' gtp --depth 1 --threads 1";

testing::ProcessResult match(std::vector<std::string> args) {
    args.insert(args.begin(), {CLI, "match"});
    return testing::runProcess(args);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// The value of NAME=VALUE in a tab-separated line.
std::string field(const std::string& line, const std::string& name) {
    const std::size_t at = line.find("\t" + name + "=");
    if (at == std::string::npos) return "<none>";
    const std::size_t start = at + name.size() + 2;
    return line.substr(start, line.find('\t', start) - start);
}

TEST(MatchCli, TwoRealEnginesPlayAPairOfGames) {
    testing::TempDir dir;
    const auto r = match({"--engine", QUICK_ENGINE, "--engine", QUICK_ENGINE, "--games", "2",
                          "--byoyomi", "5", "--seed", "3", "--sgf", dir.file("games")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 6u) << r.out;
    EXPECT_EQ(lines[0],
              "engine\t1\tname=WinTarvo " WINTARVO_PROJECT_VERSION "\tcommand=" + QUICK_ENGINE);
    EXPECT_EQ(lines[2],
              "match\tgames=2\topenings=1\topening_plies=2\tseed=3\tclock=byoyomi 5 s\t"
              "concurrency=1");
    // The same engine on both sides plays the same game with the colours swapped.
    for (int game = 1; game <= 2; ++game) {
        const std::string& line = lines[2 + static_cast<std::size_t>(game)];
        EXPECT_EQ(line.rfind("game\t" + std::to_string(game) + "\t", 0), 0u) << line;
        EXPECT_EQ(field(line, "white"), game == 1 ? "1" : "2");
        EXPECT_EQ(field(line, "reason").substr(5), " has no move left") << line;
        EXPECT_EQ(field(line, "plies"), field(lines[3], "plies"));
        MoveList moves;
        SgfGameInfo info;
        std::string error;
        ASSERT_TRUE(readSgfRecord(
            testing::fileBytes(dir.file("games/game-00" + std::to_string(game) + ".sgf")), moves,
            info, error))
            << error;
        EXPECT_EQ(std::to_string(moves.size()), field(line, "plies"));
        EXPECT_EQ(info.white, "WinTarvo " WINTARVO_PROJECT_VERSION);
    }
    EXPECT_EQ(field(lines[3], "winner"), field(lines[4], "winner") == "1" ? "2" : "1");
    EXPECT_EQ(lines[5].substr(0, 34), "score\twins=1\tlosses=1\tgames=2\twin_");
}

TEST(MatchCli, AnEngineThatAnswersGarbageLosesEveryGame) {
    // Knows the set-up commands, answers genmove with something that is not GTP.
    const std::string garbage =
        "sh -c 'while read -r command rest; do case $command in "
        "name) printf \"= garbage\\n\\n\";; genmove) echo xyzzy;; *) printf \"=\\n\\n\";; "
        "esac; done'";
    testing::TempDir dir;
    const auto r = match(
        {"--engine", QUICK_ENGINE, "--engine", garbage, "--games", "2", "--log", dir.file("log")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const auto lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 6u) << r.out;
    EXPECT_EQ(lines[1], "engine\t2\tname=garbage\tcommand=" + garbage);
    for (const std::string& line : {lines[3], lines[4]}) {
        const std::string side = field(line, "white") == "2" ? "White" : "Black";
        EXPECT_EQ(field(line, "winner"), "1") << line;
        EXPECT_EQ(field(line, "reason"),
                  side + " answered 'genmove " + (side == "White" ? "white" : "black") +
                      "' with output that is not GTP: 'xyzzy' where a response (\"=\" or \"?\") "
                      "begins");
    }
    EXPECT_EQ(field(lines[5], "elo"), "+inf");
    const std::string log = testing::fileBytes(dir.file("log"));
    EXPECT_NE(log.find("game 2 engine 2 > genmove white\ngame 2 engine 2 < xyzzy\n"),
              std::string::npos)
        << log;
}

TEST(MatchCli, EnginesThatCannotStartAndBadUsage) {
    const auto missing = match({"--engine", "no-such-engine-here", "--engine", QUICK_ENGINE});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("wintarvo-cli match: engine 1 (no-such-engine-here) cannot be "
                                "started: its output ended before it answered 'name'; it exited "
                                "with status 127; its standard error: ",
                                0),
              0u)
        << missing.err;

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--engine", "x"},
          {"--engine", "x", "--engine", "y", "--byoyomi", "1", "--game-time", "60"},
          {"--engine", "x", "--engine", "y", "--movetime", "0"},
          {"--engine", "x", "--engine", "y", "--openings", "2", "--opening-plies", "0"},
          {"--engine", "x", "--engine", "y", "extra"}}) {
        const auto r = match(bad);
        EXPECT_EQ(r.exitStatus, 2) << bad.back();
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("wintarvo-cli match: ", 0), 0u) << r.err;
    }
}

}  // namespace
}  // namespace wintarvo
