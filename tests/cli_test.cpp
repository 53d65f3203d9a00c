#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "records/game_file.h"
#include "support/game_file_cases.h"
#include "support/process.h"
#include "support/temp_dir.h"

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

// A refused call: status 2, nothing on standard output, one line on standard error.
void expectRefused(const testing::ProcessResult& r, const std::string& context) {
    EXPECT_EQ(r.exitStatus, 2) << context;
    EXPECT_EQ(r.out, "") << context;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << context << ": " << r.err;
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
    // A typed move may be compact with a rank of two digits.
    const auto r = cli({"show", "start", "A4-A5 (A6)", "D10D9C9", "J4J5J6"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, cli({"show", "start", "A4-A5 (A6)", "D10-D9 (C9)", "J4-J5 (J6)"}).out);
    const auto ok = cli({"show", "start", "A4-A5 (A6)", "D10-D9 (C9)"});
    EXPECT_EQ(ok.exitStatus, 0);
    EXPECT_EQ(ok.err, "");
    EXPECT_NE(ok.out.find("9  -- == [] BP -- == -- == -- ==  9  "), std::string::npos);
    EXPECT_NE(ok.out.find("Side to play:  White."), std::string::npos);
}

// Every notation a person may type or paste names the same move; text that is not wholly one
// move is refused, never played somewhere else.
TEST(Cli, TypedMovesInEveryNotation) {
    const std::string expected = cli({"show", "start", "D1-D4 (D7)"}).out;
    for (const char* text : {"D1-D4(D7)", "d1-d4 (d7)", "D1-D4 (d7)", "d1-d4/d7", "d1-d4-d7",
                             "D1-D4xD7", "d1d4d7", "D1D4D7"}) {
        const auto r = cli({"show", "start", text});
        EXPECT_EQ(r.exitStatus, 0) << text << r.err;
        EXPECT_EQ(r.out, expected) << text;
    }
    EXPECT_EQ(cli({"show", "start", "A4-A5 (A6)", "D10C9H4"}).exitStatus, 0);
    for (const char* text : {"D1-D4 (D7)x", "D1-D4 (D7) junk", "K1-K4 (K7)", "D0-D4 (D7)",
                             "D1-D11 (D7)", "D1D4", "", "D1-D4 (D7"}) {
        const auto r = cli({"show", "start", text});
        expectRefused(r, text);
        EXPECT_EQ(r.err, "wintarvo-cli show: cannot read move '" + std::string(text) + "'\n");
    }
    const auto illegal = cli({"search", "test2", "D1-D4 (D7)", "--depth", "1"});
    EXPECT_EQ(illegal.exitStatus, 2);
    EXPECT_EQ(illegal.err, "wintarvo-cli search: illegal move 'D1-D4 (D7)' in test2 after 0 moves\n");
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
        expectRefused(r, c.mentions);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
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

namespace wintarvo {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto nl = text.find('\n', start);
        lines.push_back(text.substr(start, nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

std::string withoutTimings(const std::string& out) {
    std::string kept;
    for (const auto& line : linesOf(out)) {
        if (line.rfind("Elapsed time = ", 0) == 0 || line.rfind("Nodes per second = ", 0) == 0)
            continue;
        kept += line + "\n";
    }
    return kept;
}

TEST(Cli, SearchEndsWithTheResultLine) {
    const auto r = cli({"search", "start", "--depth", "2", "--time", "-1"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("Estimated branch factor = 8\n", 0), 0u);
    EXPECT_NE(r.out.find("\n-- Transposition Table Stats --\n"), std::string::npos);
    const std::string last = lastLine(r.out);
    EXPECT_EQ(last.rfind("result\t", 0), 0u);
    EXPECT_NE(last.find("\tDepth = 2  Score = "), std::string::npos);
    // Nodes = N of the last iteration is the evaluation count of the result line.
    const auto lines = linesOf(r.out);
    std::string nodes;
    for (const auto& l : lines)
        if (l.rfind("Nodes = ", 0) == 0) nodes = l.substr(8);
    EXPECT_EQ(last.substr(last.rfind('\t') + 1), nodes);
}

TEST(Cli, TimeLimitZeroStopsAfterOneIteration) {
    const auto r = cli({"search", "test2", "--time", "0"});
    ASSERT_EQ(r.exitStatus, 0);
    EXPECT_NE(lastLine(r.out).find("\tDepth = 1  Score = "), std::string::npos);
}

TEST(Cli, SearchIsIdenticalInTwoProcesses) {
    const std::vector<std::string> args = {"search", "test1", "--depth", "4", "--time", "-1"};
    const auto a = cli(args);
    const auto b = cli(args);
    ASSERT_EQ(a.exitStatus, 0);
    EXPECT_EQ(withoutTimings(a.out), withoutTimings(b.out));
}

TEST(Cli, EvalPrintsTheVerboseEvaluationAndTheScore) {
    const auto r = cli({"eval", "start"});
    ASSERT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out.rfind("Territory board:\n", 0), 0u);
    EXPECT_NE(r.out.find("White territory = 30  mobility = 80\n"), std::string::npos);
    EXPECT_EQ(lastLine(r.out), "score\t0");
    const auto black = cli({"eval", "start", "A4-A5 (A6)"});
    const std::string last = lastLine(black.out);
    ASSERT_EQ(last.rfind("score\t", 0), 0u);
    const int score = std::stoi(last.substr(6));
    EXPECT_NE(black.out.find("Total score = " + std::to_string(-score) + "\n"), std::string::npos);
}

TEST(Cli, SearchAndEvalRejectBadArguments) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"search"},
             {"search", "start", "--depth"},
             {"search", "start", "--depth", "two"},
             {"search", "start", "--time", "-2"},
             {"search", "start", "J4-J5 (J4)", "A4-A5 (A6)", "A4-A3 (A4)"},
             {"eval"},
             {"eval", "nowhere"},
             {"bench", "extra"}}) {
        expectRefused(cli(args), args[0]);
    }
}

TEST(Cli, ARecordFileServesAsPosition) {
    testing::TempDir dir;
    // The third move is not legal at its turn (White's amazon has left A4): it is dropped and
    // the fourth still played.
    const std::string game = dir.file("game.amz");
    testing::writeFileBytes(game, "'Amazon Record File\r\nA4-A5 (A6)\r\nD10-D9 (C9)\r\n"
                                  "A4-B4 (C4)\r\nJ4-J5 (J6)\r\n'End of File\r\n");
    const auto fromFile = cli({"show", game});
    const auto byHand = cli({"show", "start", "A4-A5 (A6)", "D10-D9 (C9)", "J4-J5 (J6)"});
    ASSERT_EQ(fromFile.exitStatus, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, byHand.out);
    EXPECT_EQ(lastLine(cli({"perft", "1", game}).out).rfind("perft 1 ", 0), 0u);
    const auto searched = cli({"search", game, "G10-G9 (G8)", "--depth", "1"});
    EXPECT_EQ(searched.exitStatus, 0) << searched.err;

    // A record without moves is an empty game: the start position; the line that is no move
    // is named.
    testing::writeFileBytes(dir.file("nomoves.amz"), "'Amazon Record File\r\nhello\r\n'End of File\r\n");
    const auto empty = cli({"show", dir.file("nomoves.amz")});
    EXPECT_EQ(empty.exitStatus, 0) << empty.err;
    EXPECT_EQ(empty.err, dir.file("nomoves.amz") + ": line 2: 'hello' is not a move, skipped\n");
    EXPECT_EQ(empty.out, cli({"show", "start"}).out);
}

// The README's example game is a record as the program writes it, every move legal.
TEST(Cli, TheExampleGameReplaysWithoutAWord) {
    const std::string example = WINTARVO_SOURCE_DIR "/examples/opening.amz";
    EXPECT_EQ(testing::fileBytes(example).substr(0, 21), "'Amazon Record File\r\n");
    const auto r = cli({"eval", example});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(lastLine(cli({"perft", "0", example, "G2-G3 (G2)"}).out), "perft 0 1");
}

// Every way a POSITION file can be unusable has its own message: path, then cause.
TEST(Cli, EachFileProblemIsNamed) {
    testing::TempDir dir;
    testing::writeFileBytes(dir.file("empty.amz"), "");
    testing::writeFileBytes(dir.file("notes.txt"), "no move\r\n");
    testing::writeFileBytes(dir.file("huge.amz"),
                            "'Amazon Record File\r\n" + std::string(4 * 1024 * 1024, '\'') + "\r\n");
    testing::writeFileBytes(dir.file("locked.amz"), "'Amazon Record File\r\n");
    ::chmod(dir.file("locked.amz").c_str(), 0);
    struct Case {
        std::string path;
        const char* cause;
    };
    std::vector<Case> cases = {
        {dir.file("missing.amz"),
         "': no such file (POSITION is start, test1, test2, test3, a record file or an SGF "
         "record)"},
        {"tset1", "': no such file"},
        {dir.path(), "': a folder, not a file"},
        {"/dev/null", "': not a regular file"},
        {dir.file("empty.amz"), "': the file is empty"},
        {dir.file("notes.txt"), "': it holds no moves"},
        {dir.file("huge.amz"), "': larger than the limit of 4 MiB"},
    };
    // The superuser reads any file: the case needs an ordinary user.
    if (::geteuid() != 0) cases.push_back({dir.file("locked.amz"), "': not readable (permission denied)"});
    for (const Case& c : cases) {
        const auto r = cli({"eval", c.path});
        expectRefused(r, c.path);
        EXPECT_EQ(r.err.rfind("wintarvo-cli eval: '" + c.path + c.cause, 0), 0u) << r.err;
    }
}

// Moves not legal at their turn are dropped as Open drops them, each named with its line as
// an editor numbers it, whatever the line ends.
TEST(Cli, DroppedRecordMovesAreReportedWithTheirLines) {
    testing::TempDir dir;
    const std::string game = dir.file("game.amz");
    testing::writeFileBytes(game, "'Amazon Record File\r\nA4-A5 (A6)\r\n\r\nA4-A5 (A6)\nD10-D9 (C9)\n"
                                  "Z1-A1 (A2)\rJ4-J5 (J6)\r\nJ4-J5 (J6)\r\n'End of File\r\n");
    const auto r = cli({"show", game});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, game + ": line 4: move 'A4-A5 (A6)' is not legal here, skipped\n" +
                         game + ": line 6: move 'Z1-A1 (A2)' is not legal here, skipped\n" +
                         game + ": line 8: move 'J4-J5 (J6)' is not legal here, skipped\n");
    EXPECT_EQ(r.out, cli({"show", "start", "A4-A5 (A6)", "D10-D9 (C9)", "J4-J5 (J6)"}).out);
}

TEST(Cli, OutputThatCannotBeWrittenFailsWithStatusOne) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", "start"}, {"perft", "2", "test1", "--divide"}, {"--help"}}) {
        std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" > /dev/full", WINTARVO_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto r = testing::runProcess(argv);
        EXPECT_EQ(r.exitStatus, 1) << args[0];
        EXPECT_EQ(r.err, "wintarvo-cli: cannot write to standard output: No space left on device\n");
    }
}

TEST(Cli, RangeErrorsSayWhatIsAccepted) {
    const std::vector<BadCall> calls = {
        {{"perft", "-1"}, "perft: invalid depth: '-1' (0 or more)"},
        {{"perft", "99999999999"}, "perft: invalid depth: '99999999999' (0 or more)"},
        {{"search", "start", "--depth", "0"}, "invalid depth: '0' (-1 for no limit, or plies from 1 up)"},
        {{"search", "start", "--time", "1.5"},
         "invalid time: '1.5' (-1 for no limit, or whole seconds from 0 up)"},
        {{"bench", "--threads", "3"}, "bench: invalid threads: '3' (1 or 2)"},
    };
    for (const auto& c : calls) {
        const auto r = cli(c.args);
        expectRefused(r, c.mentions);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    }
}

TEST(Cli, PerftPlaysMovesFirst) {
    // The count after one move is that move's line in the division of the start.
    EXPECT_EQ(lastLine(cli({"perft", "1", "start", "A4-A5 (A6)"}).out), "perft 1 2125");
    EXPECT_EQ(cli({"perft", "2", "--divide"}).out.rfind("A4-A5 (A6)\t2125\n", 0), 0u);
    const auto illegal = cli({"perft", "1", "start", "A4-A5 (A6)", "A4-A5 (A6)"});
    EXPECT_EQ(illegal.exitStatus, 2);
    EXPECT_EQ(illegal.err, "wintarvo-cli perft: illegal move 'A4-A5 (A6)' in start after 1 move\n");
}

TEST(Cli, VersionAndHelpOfEachCommand) {
    const auto version = cli({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "wintarvo-cli " WINTARVO_PROJECT_VERSION "\n");
    const std::string help = cli({"--help"}).out;
    EXPECT_NE(help.find("Exit status: 0 success, 1 failure while running"), std::string::npos);
    for (const char* command : {"perft", "show", "search", "eval", "bench"}) {
        const auto r = cli({command, "start", "--help"});
        EXPECT_EQ(r.exitStatus, 0) << command;
        EXPECT_EQ(r.err, "") << command;
        const std::string usage = "Usage: wintarvo-cli " + std::string(command) + " ";
        ASSERT_EQ(r.out.rfind(usage, 0), 0u) << r.out;
        // The general help lists the same synopsis.
        const std::string synopsis = r.out.substr(20, r.out.find('\n') - 20);
        EXPECT_NE(help.find("\n  " + synopsis + "\n"), std::string::npos) << synopsis;
    }
}

TEST(Cli, SgfRecordsServeAsPositionAndConvertBothWays) {
    testing::TempDir dir;
    const std::string data = WINTARVO_TEST_DATA "/sgf/";
    // Quarry's short game is the record's moves plus two more.
    const auto fromSgf = cli({"show", data + "quarry_short.sgf"});
    const auto byHand = cli({"show", "start", "A4-A5 (A6)", "D10-D9 (C9)", "J4-J5 (J6)",
                             "G10-G9 (H9)", "D1-D2 (D1)", "A7-B7 (A7)"});
    ASSERT_EQ(fromSgf.exitStatus, 0) << fromSgf.err;
    EXPECT_EQ(fromSgf.out, byHand.out);

    // record -> SGF -> record, byte for byte; Quarry's whole game -> the record played there.
    const std::string sgf = dir.file("whole.sgf");
    const std::string amz = dir.file("whole.amz");
    const auto toSgf = cli({"convert", data + "whole_game.amz", sgf});
    EXPECT_EQ(toSgf.exitStatus, 0) << toSgf.err;
    EXPECT_EQ(lastLine(toSgf.out), "convert\t73\t0");
    EXPECT_NE(testing::fileBytes(sgf).find("\nRE[W+]\n;W[djddid]"), std::string::npos);
    EXPECT_EQ(cli({"convert", sgf, amz}).exitStatus, 0);
    EXPECT_EQ(testing::fileBytes(amz), testing::fileBytes(data + "whole_game.amz"));
    EXPECT_EQ(cli({"convert", data + "quarry_whole.sgf", amz}).exitStatus, 0);
    EXPECT_EQ(testing::fileBytes(amz), testing::fileBytes(data + "whole_game.amz"));
    // A move of a record that is not legal at its turn is left out and counted.
    const std::string illegal = dir.file("illegal.amz");
    testing::writeFileBytes(illegal, "A4-A5 (A6)\r\nA4-B4 (C4)\r\nD10-D9 (C9)\r\n");
    EXPECT_EQ(lastLine(cli({"convert", illegal, sgf}).out), "convert\t2\t1");

    const std::string setUp = dir.file("setup.sgf");
    testing::writeFileBytes(setUp, "(;GM[18]AB[aa];W[agafae])");
    const std::vector<BadCall> calls = {
        {{"show", setUp}, "sets up a position (AB[aa])"},
        {{"convert", setUp, amz}, "sets up a position (AB[aa])"},
        {{"convert", data + "quarry_short.sgf", dir.file("out.txt")}, "end it in .amz or .sgf"},
        {{"convert", dir.file("missing.sgf"), amz}, "no such file"},
        {{"convert", data + "quarry_short.sgf"}, "usage: convert IN OUT"},
    };
    for (const auto& c : calls) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.exitStatus, 2) << c.mentions;
        EXPECT_EQ(r.out, "") << c.mentions;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    }
}

// The table of game files through the tool: a POSITION file is taken exactly when its row
// says, shows the row's game, and has each skipped line named on standard error.
TEST(Cli, EveryFileOfTheTableAsAPosition) {
    for (const testing::GameFileCase& c : testing::gameFileCases()) {
        const std::string path = WINTARVO_TEST_DATA "/" + std::string(c.file);
        SCOPED_TRACE(c.file);
        const auto r = cli({"show", path});
        if (!c.toolTakes()) {
            expectRefused(r, path);
            EXPECT_NE(r.err.find(c.error != nullptr ? c.error : "it holds no moves"),
                      std::string::npos)
                << r.err;
            continue;
        }
        EXPECT_EQ(r.exitStatus, 0);
        std::vector<std::string> byHand = {"show", "start"};
        byHand.insert(byHand.end(), c.moves.begin(), c.moves.end());
        EXPECT_EQ(r.out, cli(byHand).out);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'),
                  static_cast<std::ptrdiff_t>(c.skipped.size()))
            << r.err;
        for (const auto& [line, cause] : c.skipped) {
            const std::string named = path + ": line " + std::to_string(line) + ": " +
                                      (cause == SkippedLine::Cause::NotLegal ? "move '" : "'");
            EXPECT_NE(r.err.find(named), std::string::npos) << named << "\n" << r.err;
        }
    }
}

// And through convert: a file with a game converts, with its moves and only what it held.
TEST(Cli, EveryFileOfTheTableConverted) {
    testing::TempDir dir;
    const std::string out = dir.file("out.sgf");
    for (const testing::GameFileCase& c : testing::gameFileCases()) {
        SCOPED_TRACE(c.file);
        const auto r = cli({"convert", WINTARVO_TEST_DATA "/" + std::string(c.file), out});
        const bool converts = c.error == nullptr && !c.moves.empty();
        EXPECT_EQ(r.exitStatus, converts ? 0 : 2) << r.err;
        const std::string counts = "convert\t" + std::to_string(c.moves.size()) + "\t";
        EXPECT_EQ(lastLine(r.out).rfind(counts, 0) == 0, converts) << r.out;
    }
    // A record becomes the SGF of its moves and nothing else.
    ASSERT_EQ(cli({"convert", WINTARVO_TEST_DATA "/game_files/record.amz", out}).exitStatus, 0);
    EXPECT_EQ(testing::fileBytes(out),
              "(;GM[18]FF[4]\nCA[UTF-8]\nAP[WinTarvo:" WINTARVO_PROJECT_VERSION
              "]\nSZ[10]\n;W[agafae];B[dadbcb]\n)\n");
}

// OUT that is IN, however it is named, is refused and the file stays as it was.
TEST(Cli, ConvertNeverWritesOverItsInput) {
    testing::TempDir dir;
    const std::string in = dir.file("v.sgf");
    const std::string bytes = testing::fileBytes(WINTARVO_TEST_DATA "/sgf/quarry_variation.sgf");
    testing::writeFileBytes(in, bytes);
    ASSERT_EQ(::symlink("v.sgf", dir.file("link.amz").c_str()), 0);
    ASSERT_EQ(::link(in.c_str(), dir.file("hard.sgf").c_str()), 0);
    const std::string folder = dir.path().substr(dir.path().rfind('/') + 1);
    for (const std::string& out :
         {in, dir.file("link.amz"), dir.file("hard.sgf"), dir.path() + "/./v.sgf",
          dir.path() + "/../" + folder + "/v.sgf"}) {
        const auto r = cli({"convert", in, out});
        expectRefused(r, out);
        EXPECT_EQ(r.err, "wintarvo-cli convert: '" + out +
                             "' is the input file itself; convert writes another file\n");
        EXPECT_EQ(testing::fileBytes(in), bytes);
    }
}

TEST(Cli, ConvertThatCannotWriteFailsWithStatusOneAndTheCause) {
    testing::TempDir dir;
    const std::string out = dir.path() + "/no/such.sgf";
    const auto r = cli({"convert", WINTARVO_TEST_DATA "/sgf/quarry_short.sgf", out});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "wintarvo-cli convert: cannot write '" + out + "': the folder does not exist\n");
}

// The bench's total evaluation count is the engine's signature: it changes with any change of
// the search's behaviour. A change meant to alter play states the new figure here.
constexpr const char* BENCH_SIGNATURE = "1587325";

TEST(Cli, BenchSignature) {
    const auto r = cli({"bench"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const auto lines = linesOf(r.out);
    ASSERT_GE(lines.size(), 13u);
    const std::string last = lines.back();
    ASSERT_EQ(last.rfind("bench\t", 0), 0u);
    const std::string total = last.substr(6, last.find('\t', 6) - 6);
    EXPECT_EQ(total, BENCH_SIGNATURE);
    // One line per position: name, depth, move, status, evaluations, milliseconds.
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 5) << lines[i];
    EXPECT_NE(r.out.find("\tnone\t\t0\t"), std::string::npos);  // the side without a move
}

}  // namespace
}  // namespace wintarvo
