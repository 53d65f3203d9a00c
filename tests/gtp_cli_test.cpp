// `wintarvo-cli gtp` as a controller starts it: the protocol alone on standard output, the
// trace on standard error only when asked for, and genmove's move the one `search` finds.
#include <gtest/gtest.h>

#include "support/process.h"

namespace wintarvo {
namespace {

testing::ProcessResult cli(std::vector<std::string> args, const std::string& input = {}) {
    args.insert(args.begin(), WINTARVO_CLI_PATH);
    return testing::runProcess(args, input);
}

// "result<TAB>D1-D7 (G7)<TAB>..." -> "D1-D7-G7".
std::string searchMove(const std::string& out) {
    const auto last = out.rfind("result\t");
    const std::string move = out.substr(last + 7, out.find('\t', last + 7) - last - 7);
    std::string written;
    for (const char c : move) {
        if (c == ' ' || c == ')') continue;
        written += c == '(' ? '-' : c;
    }
    return written;
}

TEST(GtpCli, StandardOutputCarriesTheProtocolAlone) {
    const auto fromStart = cli({"search", "start", "--depth", "2", "--time", "-1"});
    ASSERT_EQ(fromStart.exitStatus, 0) << fromStart.err;
    const std::string input = "1 name\ngenmove white\n\n# done\nquit\nname\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"gtp", "--depth", "2", "--time", "-1"},
          std::vector<std::string>{"gtp", "--depth", "2", "--time", "-1", "--threads", "1"}}) {
        const auto r = cli(args, input);
        EXPECT_EQ(r.exitStatus, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, "=1 WinTarvo\n\n= " + searchMove(fromStart.out) + "\n\n=\n\n");
    }
}

TEST(GtpCli, TraceGoesToStandardErrorWhenAskedFor) {
    const auto r = cli({"gtp", "--depth", "1", "--trace"}, "genmove w\n");
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out.rfind("= ", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find("Estimated"), std::string::npos);
    EXPECT_EQ(r.err.rfind("Estimated branch factor = 8\n", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("-- Transposition Table Stats --"), std::string::npos);
}

TEST(GtpCli, EndsAtTheEndOfInputAndRefusesBadOptions) {
    EXPECT_EQ(cli({"gtp"}, "").exitStatus, 0);
    EXPECT_EQ(cli({"gtp"}, std::string(100000, 'x')).out,
              "? line too long: more than 4096 characters\n\n");
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"gtp", "extra"},
                                                {"gtp", "--depth", "x"},
                                                {"gtp", "--threads", "3"},
                                                {"gtp", "--colour", "white"}}) {
        const auto r = cli(bad, "name\n");
        EXPECT_EQ(r.exitStatus, 2) << bad.back();
        EXPECT_EQ(r.out, "") << bad.back();
        EXPECT_NE(r.err.find("wintarvo-cli gtp: "), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace wintarvo
