// Open and Save on the board view: the whole line of play is written, moves stepped back over
// included; a file is replayed through the rules, illegal moves skipped; failures beep and
// change nothing. SGF records open and save beside record files, and a refused one says why.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "model/move_generation.h"
#include "records/game_file.h"
#include "records/record_file.h"
#include "records/sgf_record.h"
#include "support/game_file_cases.h"
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

TEST_F(RecordCommands, SaveWithNothingToSaveBeeps) {
    const std::string file = path("empty.amz");
    h.view.onSaveGame(file);
    EXPECT_EQ(h.desktop.beeps, 1);
    EXPECT_TRUE(h.desktop.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
}

// A save that fails beeps and says why, so that nobody takes the game for saved.
TEST_F(RecordCommands, ASaveThatFailsSaysWhy) {
    play({W1});
    std::filesystem::create_directory(dir / "folder.amz");
    std::filesystem::create_symlink("/dev/full", dir / "full.amz");
    const std::pair<std::string, const char*> cases[] = {
        {path("no/such/folder/x.amz"), "the folder does not exist"},
        {path("folder.amz"), "a folder is in the way"},
        {path("full.amz"), "not a regular file"},
    };
    for (const auto& [file, cause] : cases) {
        h.desktop.messages.clear();
        const int beeps = h.desktop.beeps;
        h.view.onSaveGame(file);
        EXPECT_EQ(h.desktop.beeps, beeps + 1) << file;
        ASSERT_EQ(h.desktop.messages.size(), 1u) << file;
        EXPECT_EQ(h.desktop.messages[0].text.toStdString(),
                  "Cannot save " + file + ": " + cause + ".");
        EXPECT_EQ(h.desktop.messages[0].caption, "WinTarvo");
    }
    EXPECT_EQ(h.view.movesPlayed(), MoveList{W1});
}

// The table of game files through Open: a file opens exactly when its row says, with the
// row's game; any other is refused with its cause and changes nothing.
TEST_F(RecordCommands, EveryFileOfTheTableOpensOrSaysWhyNot) {
    for (const testing::GameFileCase& c : testing::gameFileCases()) {
        const std::string file = WINTARVO_TEST_DATA "/" + std::string(c.file);
        SCOPED_TRACE(c.file);
        h.view.onNewGame();
        play({W3});
        h.desktop.messages.clear();
        const int beeps = h.desktop.beeps;
        h.view.onOpenGame(file);
        if (c.windowOpens()) {
            EXPECT_EQ(h.view.movesPlayed(), c.gameMoves());
            EXPECT_TRUE(h.desktop.messages.empty());
            EXPECT_EQ(h.desktop.beeps, beeps);
            continue;
        }
        EXPECT_EQ(h.view.movesPlayed(), MoveList{W3});
        EXPECT_EQ(h.desktop.beeps, beeps + 1);
        ASSERT_EQ(h.desktop.messages.size(), 1u);
        EXPECT_EQ(h.desktop.messages[0].text.toStdString(),
                  "Cannot open " + file + ": " +
                      (c.error != nullptr ? c.error : "it holds no moves") + ".");
    }
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


std::string bytesOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string QUARRY_SHORT = WINTARVO_TEST_DATA "/sgf/quarry_short.sgf";

TEST_F(RecordCommands, TheFramesChoosersOpenQuarrysSgfAndSaveItAgainByFilterOrName) {
    testing::FakeDesktop desktop;
    testing::RecordingBroadcast broadcast;
    MainFrame frame(desktop, broadcast);
    ASSERT_TRUE(frame.createWindow());
    BoardView& view = frame.boardView();
    desktop.openAnswer = QUARRY_SHORT;
    frame.onCommand(ID_OPEN_GAME);
    const MoveList quarry{W1, B1, W2, B2, m("D1", "D2", "D1"), m("A7", "B7", "A7")};
    EXPECT_EQ(view.movesPlayed(), quarry);
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_TRUE(desktop.messages.empty());
    view.onStepBack();

    // The SGF filter without an ending, the record filter with ".sgf", and a plain ".amz".
    const std::string byFilter = path("by_filter");
    desktop.saveAnswer = byFilter;
    desktop.saveFilter = GameFileFormat::Sgf;
    frame.onCommand(ID_SAVE_GAME);
    const std::string byName = path("by_name.sgf");
    desktop.saveAnswer = byName;
    desktop.saveFilter = GameFileFormat::Record;
    frame.onCommand(ID_SAVE_GAME);
    const std::string record = path("record.amz");
    desktop.saveAnswer = record;
    frame.onCommand(ID_SAVE_GAME);
    EXPECT_EQ(desktop.beeps, 0);
    for (const std::string& file : {byFilter, byName}) {
        GameFile saved;
        std::string error;
        ASSERT_TRUE(readGameFile(file, saved, error)) << file << ": " << error;
        EXPECT_EQ(saved.format, GameFileFormat::Sgf);
        EXPECT_EQ(saved.moves, quarry) << "the move stepped back over is saved too";
        EXPECT_EQ(saved.info.white, "Ann") << "the players of the opened record stay";
        EXPECT_EQ(saved.info.black, "Bob");
    }
    EXPECT_EQ(bytesOf(byFilter), bytesOf(byName));
    EXPECT_EQ(read(record), quarry);
    EXPECT_EQ(bytesOf(record).rfind("'Amazon Record File\r\nA4-A5 (A6)\r\n", 0), 0u);
}

TEST_F(RecordCommands, AGamePlayedHereSavesAsSgfWithTheProgramAsPlayerAndTodaysDate) {
    play({W1, B1});
    const std::string file = path("here.sgf");
    h.view.onSaveGame(file);
    const std::string text = bytesOf(file);
    const std::string tail =
        "\nDT[" + sgfDateToday() + "]\nPB[WinTarvo]\nPW[WinTarvo]\n;W[agafae];B[dadbcb]\n)";
    EXPECT_NE(text.find(tail), std::string::npos) << text;
    h.view.onNewGame();
    h.view.onOpenGame(file);
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B1}));
}

TEST_F(RecordCommands, ARefusedFileOfEitherKindSaysWhy) {
    play({W1, B1});
    const std::string setUp = path("setup.sgf");
    std::ofstream(setUp) << "(;GM[18]FF[4]SZ[10]AB[aa];W[agafae])";
    const std::string go = path("go.sgf");
    std::ofstream(go) << "(;GM[1]FF[4]SZ[19];B[pd])";
    const std::string noMoves = path("nomoves.amz");
    std::ofstream(noMoves) << "'Amazon Record File\r\n'End of File\r\n";
    struct Case {
        std::string file;
        std::string message;
    } cases[] = {
        {setUp, "Cannot open " + setUp + ": the record sets up a position (AB[aa]); only games "
                                         "played from the starting position are read."},
        {go, "Cannot open " + go +
                 ": the record is of another game, GM[1] (Go); Amazons is GM[18]."},
        {noMoves, "Cannot open " + noMoves + ": it holds no moves."},
    };
    for (const Case& c : cases) {
        h.desktop.messages.clear();
        const int beeps = h.desktop.beeps;
        h.view.onOpenGame(c.file);
        EXPECT_EQ(h.desktop.beeps, beeps + 1) << c.file;
        EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B1})) << c.file;
        ASSERT_EQ(h.desktop.messages.size(), 1u) << c.file;
        EXPECT_EQ(h.desktop.messages[0].text.toStdString(), c.message);
        EXPECT_EQ(h.desktop.messages[0].caption, "WinTarvo");
    }
}

TEST_F(RecordCommands, AGameFromATestPositionIsNotSavedAsSgfButStillAsARecord) {
    h.view.onTestPosition(1);
    Position p;
    h.view.document().getPosition(p);
    MoveList legal;
    generateMoves(p, legal);
    play({legal.front()});
    const std::string sgf = path("test.sgf");
    h.view.onSaveGame(sgf);
    EXPECT_FALSE(std::filesystem::exists(sgf));
    EXPECT_EQ(h.desktop.beeps, 1);
    ASSERT_EQ(h.desktop.messages.size(), 1u);
    EXPECT_EQ(h.desktop.messages[0].text.toStdString(),
              "Cannot save " + sgf + ": the game began at a test position, and an SGF record "
                                     "holds a game from the starting position.");
    h.view.onSaveGame(path("test.amz"));
    EXPECT_EQ(read(path("test.amz")), MoveList{legal.front()});
    // A new game starts from the start again.
    h.view.onNewGame();
    play({W1});
    h.view.onSaveGame(sgf);
    EXPECT_TRUE(std::filesystem::exists(sgf));
}

}  // namespace
}  // namespace wintarvo
