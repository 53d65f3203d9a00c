// The desktop program's command line: a record file given to it opens at start-up exactly as
// File > Open opens it, --help and --version answer without a display, and a wrong argument
// is refused with status 2.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "records/record_file.h"
#include "support/peer_process.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/app_shell.h"
#include "ui/main_frame.h"
#include "ui/program_arguments.h"

namespace wintarvo {
namespace {

using Action = ProgramArguments::Action;

TEST(ProgramArguments, ReadAsALinuxUserExpects) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        const char* file;   // for Run
        const char* error;  // for Error
    };
    const std::vector<Case> cases = {
        {{}, Action::Run, nullptr, ""},
        {{"game.amz"}, Action::Run, "game.amz", ""},
        {{"--", "-odd.amz"}, Action::Run, "-odd.amz", ""},
        {{"--help"}, Action::Help, nullptr, ""},
        {{"game.amz", "--frob", "-h"}, Action::Help, nullptr, ""},
        {{"--version", "a", "b"}, Action::Version, nullptr, ""},
        {{"--", "--help"}, Action::Run, "--help", ""},
        {{"--frob"}, Action::Error, nullptr, "unknown option '--frob'"},
        {{"-x", "game.amz"}, Action::Error, nullptr, "unknown option '-x'"},
        {{"a.amz", "b.amz"}, Action::Error, nullptr, "one file at a time: 'a.amz' and 'b.amz' given"},
        {{""}, Action::Error, nullptr, "an empty file name"},
    };
    for (const Case& c : cases) {
        const ProgramArguments parsed = parseProgramArguments(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(parsed.action, c.action) << shown;
        EXPECT_EQ(parsed.error, c.error) << shown;
        if (c.action == Action::Run && c.file) {
            ASSERT_TRUE(parsed.file) << shown;
            EXPECT_EQ(*parsed.file, c.file);
        } else {
            EXPECT_FALSE(parsed.file) << shown;
        }
    }
}

// The run step with a file to open: what the window holds once the loop has opened it.
struct Opened {
    MoveList movesPlayed;
    int beeps = 0;
    std::vector<QString> messages;
};

Opened runWithFile(const std::string& file) {
    testing::FakeDesktop desktop;
    InProcessBroadcast broadcast;
    Opened opened;
    const int code = runMainFrame(desktop, broadcast, [&](MainFrame& frame) {
        QTimer::singleShot(60000, frame.window(), [] { QCoreApplication::exit(1); });
        openAtStartUp(frame, file);
        // Queued after the opening, so it runs once the file has been handled.
        QTimer::singleShot(0, frame.window(), [&] {
            opened.movesPlayed = frame.boardView().movesPlayed();
            frame.destroyWindow();
        });
    });
    EXPECT_EQ(code, 0);
    opened.beeps = desktop.beeps;
    for (const auto& m : desktop.messages) {
        EXPECT_EQ(m.caption, "WinTarvo");
        opened.messages.push_back(m.text);
    }
    return opened;
}

TEST(ProgramStart, AFileGivenOpensAsOpenDoes) {
    testing::TraceCapture trace;
    testing::TempDir dir;
    // The third move is not legal at its turn and is skipped, as Open skips it.
    const std::string game = dir.file("game.amz");
    testing::writeFileBytes(game, "'Amazon Record File\r\nA4-A5 (A6)\r\nD10-D9 (C9)\r\n"
                                  "A4-B4 (C4)\r\nJ4-J5 (J6)\r\n'End of File\r\n");
    const Opened ok = runWithFile(game);
    MoveList expected;
    RecordFile record;
    ASSERT_TRUE(record.readRecord(game));
    ASSERT_TRUE(record.getMoves(expected));
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(ok.movesPlayed, expected);
    EXPECT_EQ(ok.beeps, 0);
    EXPECT_TRUE(ok.messages.empty());
    EXPECT_NE(trace.text().find("Open: " + game + "\n"), std::string::npos);

    // What Open cannot use changes nothing and says why.
    testing::writeFileBytes(dir.file("empty.amz"), "");
    testing::writeFileBytes(dir.file("nomoves.amz"), "'Amazon Record File\r\n'End of File\r\n");
    const std::vector<std::pair<std::string, std::string>> refused = {
        {dir.file("missing.amz"), "no such file"},
        {dir.path(), "a folder, not a file"},
        {dir.file("empty.amz"), "the file is empty"},
        {dir.file("nomoves.amz"), "it holds no moves"},
    };
    for (const auto& [file, cause] : refused) {
        const Opened r = runWithFile(file);
        EXPECT_TRUE(r.movesPlayed.empty()) << file;
        EXPECT_EQ(r.beeps, 1) << file;
        ASSERT_EQ(r.messages.size(), 1u) << file;
        EXPECT_EQ(r.messages[0].toStdString(), "Cannot open " + file + ": " + cause + ".");
    }
}

// The program itself, as a process.
std::vector<std::string> program(std::vector<std::string> args, const std::string& runtime) {
    args.insert(args.begin(), {"/usr/bin/env", "XDG_RUNTIME_DIR=" + runtime, WINTARVO_PROGRAM});
    return args;
}

TEST(ProgramStart, TheProgramTakesItsArguments) {
    testing::TempDir runtime;
    // No display is needed to ask.
    const auto help = testing::runProcess(
        {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
         WINTARVO_PROGRAM, "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out, PROGRAM_HELP);
    const auto version = testing::runProcess(program({"--version"}, runtime.path()));
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "wintarvo " WINTARVO_PROJECT_VERSION "\n");
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--frob"}, "wintarvo: unknown option '--frob' (try --help)\n"},
             {{"-platform", "offscreen", "a.amz", "b.amz"},
              "wintarvo: one file at a time: 'a.amz' and 'b.amz' given (try --help)\n"}}) {
        const auto r = testing::runProcess(program(args, runtime.path()));
        EXPECT_EQ(r.exitStatus, 2) << message;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    // A file given goes to Open once the window is up; the program runs on.
    const std::string game = runtime.file("game.amz");
    testing::writeFileBytes(game, "'Amazon Record File\r\nA4-A5 (A6)\r\n'End of File\r\n");
    testing::PeerProcess started(program({game}, runtime.path()));
    ASSERT_TRUE(started.started());
    std::string line;
    ASSERT_TRUE(started.take("Open: ", line));
    EXPECT_EQ(line, "Open: " + game);
}

}  // namespace
}  // namespace wintarvo
