#include <gtest/gtest.h>

#include "support/process.h"

namespace wintarvo {
namespace {

testing::ProcessResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), WINTARVO_CLI_PATH);
    return testing::runProcess(args);
}

std::string lastLine(const std::string& out) {
    std::string trimmed = out;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    const auto nl = trimmed.rfind('\n');
    return nl == std::string::npos ? trimmed : trimmed.substr(nl + 1);
}

TEST(Cli, PerftPrintsTheCountLast) {
    const auto r = cli({"perft", "2", "test2"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(lastLine(r.out), "perft 2 45043");
    EXPECT_EQ(lastLine(cli({"perft", "1"}).out), "perft 1 2176");
    EXPECT_EQ(lastLine(cli({"perft", "0", "test1"}).out), "perft 0 1");
}

TEST(Cli, PerftDivideListsEveryFirstMove) {
    const auto r = cli({"perft", "2", "test2", "--divide"});
    ASSERT_EQ(r.exitStatus, 0);
    int lines = 0;
    for (char c : r.out) lines += c == '\n';
    EXPECT_EQ(lines, 227 + 1);
    EXPECT_EQ(lastLine(r.out), "perft 2 45043");
}

TEST(Cli, ShowPlaysMovesAndDumps) {
    const auto r = cli({"show", "start", "A4-A5 (A6)", "D10D9C9", "J4J5J6"});
    // D10D9C9 is seven characters and therefore not a readable move.
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("D10D9C9"), std::string::npos);
    const auto ok = cli({"show", "start", "A4-A5 (A6)", "D10-D9 (C9)"});
    EXPECT_EQ(ok.exitStatus, 0);
    EXPECT_EQ(ok.err, "");
    EXPECT_NE(ok.out.find("9  -- == [] BP -- == -- == -- ==  9  "), std::string::npos);
    EXPECT_NE(ok.out.find("Side to play:  White."), std::string::npos);
}

struct BadCall {
    std::vector<std::string> args;
    const char* mentions;
};

TEST(Cli, BadArgumentsGiveOneLineAndStatusTwo) {
    const std::vector<BadCall> calls = {
        {{"frobnicate"}, "frobnicate"},
        {{"perft"}, "usage"},
        {{"perft", "x"}, "'x'"},
        {{"perft", "-1"}, "'-1'"},
        {{"perft", "2", "middle"}, "middle"},
        {{"perft", "2", "--fast"}, "--fast"},
        {{"show", "start", "A4-A5 (A4)", "A7-A6 (A7)", "A5-A6 (A5)"}, "A5-A6 (A5)"},
        {{"show", "start", "E5-E6 (E7)"}, "E5-E6 (E7)"},
        {{}, "command"},
    };
    for (const auto& c : calls) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.exitStatus, 2) << c.mentions;
        EXPECT_EQ(r.out, "") << c.mentions;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(Cli, HelpListsTheCommands) {
    const auto r = cli({"--help"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("perft N"), std::string::npos);
    EXPECT_NE(r.out.find("show POSITION"), std::string::npos);
}

}  // namespace
}  // namespace wintarvo
