// Open and Save on the board view: the whole line of play is written, moves stepped back over
// included; a file is replayed through the rules, illegal moves skipped; failures beep and
// change nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "records/record_file.h"
#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/command_ids.h"
#include "ui/main_frame.h"

namespace wintarvo {
namespace {

using testing::sq;
using testing::ViewHarness;

Move m(const char* from, const char* to, const char* arrow) {
    return Move{sq(from), sq(to), sq(arrow)};
}

const Move W1 = m("A4", "A5", "A6");
const Move B1 = m("D10", "D9", "C9");
const Move W2 = m("J4", "J5", "J6");
const Move B2 = m("G10", "G9", "H9");
const Move W3 = m("D1", "D2", "D3");

class RecordCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("wintarvo_ui_records_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        h.view.autoPlay = false;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }
    void play(std::initializer_list<Move> moves) {
        for (const Move& move : moves) {
            h.click(move.from);
            h.click(move.to);
            h.click(move.arrow);
        }
    }
    MoveList read(const std::string& file) {
        RecordFile record;
        MoveList moves;
        EXPECT_TRUE(record.readRecord(file));
        record.getMoves(moves);
        return moves;
    }
    void write(const std::string& file, const MoveList& moves) {
        RecordFile record;
        record.setMoves(moves);
        ASSERT_TRUE(record.writeRecord(file));
    }

    std::filesystem::path dir;
    testing::TraceCapture trace;
    ViewHarness h;
};

TEST_F(RecordCommands, SaveAfterThreeStepsBackWritesTheWholeLine) {
    play({W1, B1, W2, B2, W3});
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(h.view.onStepBack());
    trace.clear();
    const std::string file = path("line.amz");
    h.view.onSaveGame(file);
    EXPECT_EQ(h.desktop.beeps, 0);
    EXPECT_EQ(read(file), (MoveList{W1, B1, W2, B2, W3}));
    EXPECT_EQ(trace.lines().at(0), "Save: " + file);
    // Saving changes nothing in the game.
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B1}));
    EXPECT_EQ(h.view.movesUndone().size(), 3u);
}

TEST_F(RecordCommands, SaveWithNothingToSaveOrNowhereToWriteBeeps) {
    const std::string file = path("empty.amz");
    h.view.onSaveGame(file);
    EXPECT_EQ(h.desktop.beeps, 1);
    EXPECT_FALSE(std::filesystem::exists(file));
    play({W1});
    h.view.onSaveGame(path("no/such/folder/x.amz"));
    EXPECT_EQ(h.desktop.beeps, 2);
}

TEST_F(RecordCommands, OpeningAFileWhoseThirdMoveIsIllegalSkipsOnlyThatMove) {
    const std::string file = path("third.amz");
    write(file, {W1, B1, m("A1", "A2", "A3"), W2, B2});
    play({W3});
    h.view.onStepBack();
    trace.clear();
    h.view.onOpenGame(file);
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B1, W2, B2}));
    EXPECT_TRUE(h.view.movesUndone().empty());
    Position expected;
    expected.setStartPosition();
    for (const Move& move : {W1, B1, W2, B2})
        expected.applyMove(move);
    EXPECT_FALSE(h.view.shownPosition().differs(expected));
    Position inDocument;
    h.view.document().getPosition(inDocument);
    EXPECT_FALSE(inDocument.differs(expected));
    // Nothing is marked as the last move after loading.
    EXPECT_EQ(h.view.shownLastMove(), Move::null());
    EXPECT_EQ(h.status(), "Ply number 5");
    EXPECT_EQ(h.desktop.beeps, 0);
    EXPECT_EQ(trace.lines().at(0), "Open: " + file);
    // The loaded moves step back like any others.
    EXPECT_TRUE(h.view.onStepBack());
}

TEST_F(RecordCommands, AFileWithoutMovesBeepsAndChangesNothing) {
    play({W1, B1});
    const Position before = h.view.shownPosition();
    const std::string missing = path("missing.amz");
    const std::string noMoves = path("nomoves.amz");
    const std::string empty = path("empty.amz");
    std::ofstream(noMoves) << "'Amazon Record File\r\n'End of File\r\n";
    std::ofstream(empty).close();
    int beeps = 0;
    for (const std::string& file : {missing, noMoves, empty}) {
        h.view.onOpenGame(file);
        EXPECT_EQ(h.desktop.beeps, ++beeps) << file;
        EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B1})) << file;
        EXPECT_FALSE(h.view.shownPosition().differs(before)) << file;
    }
}

TEST_F(RecordCommands, TheFramesChoosersHandTheirPathsToTheView) {
    testing::FakeDesktop desktop;
    testing::RecordingBroadcast broadcast;
    MainFrame frame(desktop, broadcast);
    ASSERT_TRUE(frame.createWindow());
    frame.boardView().autoPlay = false;
    frame.boardView().depthLimit = 1;
    frame.boardView().onPlayMove();
    ASSERT_TRUE(testing::waitUntil([&] { return !frame.boardView().thinking(); }));
    const std::string file = path("chosen.amz");
    desktop.saveAnswer = file;
    frame.onCommand(ID_SAVE_GAME);
    EXPECT_EQ(read(file), frame.boardView().movesPlayed());
    frame.onCommand(ID_NEW_GAME);
    desktop.openAnswer = file;
    frame.onCommand(ID_OPEN_GAME);
    EXPECT_EQ(frame.boardView().movesPlayed(), read(file));
}

}  // namespace
}  // namespace wintarvo
