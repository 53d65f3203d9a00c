// Interlinked Mode between real processes: copies of the desktop program (wintarvo_ui_peer, the
// program's own frame, view and channel, steered through standard input) on a folder of the
// test's own, and the program itself on a runtime folder of the test's own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "model/move.h"
#include "model/move_generation.h"
#include "model/move_list.h"
#include "model/position.h"
#include "support/peer_process.h"
#include "support/raw_datagram.h"
#include "support/temp_dir.h"

namespace wintarvo {
namespace {

using namespace std::chrono_literals;

// Everything one copy has reported so far.
struct Reports {
    std::string socket;  // empty until ready; "unavailable" without a channel
    MoveList history;
    std::vector<std::size_t> historySizes;  // one entry per change of the history
    std::string status;
    std::vector<std::string> statuses;
    int beeps = 0;
    std::vector<std::string> boxes;
    MoveList announced;
    struct Sent {
        int delivered, missed, removed;
    };
    std::vector<Sent> sent;
    struct Arrival {
        std::uint32_t lParam;
        bool played;
    };
    std::vector<Arrival> received;
    MoveList engineMoves;
    int droppedAnswers = 0;
    std::vector<std::string> trace;
    std::vector<std::string> pongs;
};

Move moveFrom(const std::string& text) {
    Move m;
    EXPECT_TRUE(parseMove(text, m)) << text;
    return m;
}

std::uint32_t packed(const Move& m) {
    return packMove(m);
}

std::vector<std::uint32_t> lParams(const std::vector<Reports::Arrival>& arrivals) {
    std::vector<std::uint32_t> values;
    for (const auto& a : arrivals)
        values.push_back(a.lParam);
    return values;
}

std::vector<std::uint32_t> packedMoves(const MoveList& moves) {
    std::vector<std::uint32_t> values;
    for (const Move& m : moves)
        values.push_back(packMove(m));
    return values;
}

// A running copy of the program and what it said.
class Copy {
  public:
    explicit Copy(const std::vector<std::string>& argv) : process(argv) {}

    void command(const std::string& line) { EXPECT_TRUE(process.writeLine(line)) << line; }

    // Takes reports until done holds; false when the copy falls silent for the timeout first.
    bool waitFor(const std::function<bool(const Reports&)>& done,
                 std::chrono::milliseconds timeout = 120s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::string line;
        while (!done(reports_)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !process.take("", line, left)) return false;
            take(line);
        }
        return true;
    }
    // Everything the copy reported before it handled this command.
    bool sync() {
        const std::string word = std::to_string(++pings_);
        command("ping " + word);
        return waitFor(
            [&](const Reports& r) { return !r.pongs.empty() && r.pongs.back() == word; });
    }
    // Ends the copy as closing its window would; its exit status.
    int quit() { return process.finish(); }

    const Reports& reports() const { return reports_; }
    testing::PeerProcess process;

  private:
    void take(const std::string& line) {
        std::istringstream in(line);
        std::string kind, rest;
        in >> kind;
        std::getline(in >> std::ws, rest);
        Reports& r = reports_;
        if (kind == "ready") {
            r.socket = rest;
        } else if (kind == "history") {
            std::istringstream moves(rest);
            std::size_t count = 0;
            moves >> count;
            r.history.clear();
            for (std::string m; moves >> m;)
                r.history.push_back(moveFrom(m));
            EXPECT_EQ(r.history.size(), count) << line;
            r.historySizes.push_back(count);
        } else if (kind == "status") {
            r.status = rest;
            r.statuses.push_back(rest);
        } else if (kind == "beep") {
            ++r.beeps;
        } else if (kind == "box") {
            r.boxes.push_back(rest);
        } else if (kind == "announced") {
            std::istringstream fields(rest);
            std::string move, label;
            Reports::Sent s{};
            fields >> move >> label >> s.delivered >> label >> s.missed >> label >> s.removed;
            r.announced.push_back(moveFrom(move));
            r.sent.push_back(s);
        } else if (kind == "received") {
            r.received.push_back({static_cast<std::uint32_t>(std::stoul(rest, nullptr, 16)),
                                  rest.find(" played ") != std::string::npos});
        } else if (kind == "engine") {
            if (rest == "dropped")
                ++r.droppedAnswers;
            else
                r.engineMoves.push_back(moveFrom(rest));
        } else if (kind == "trace") {
            r.trace.push_back(rest);
        } else if (kind == "pong") {
            r.pongs.push_back(rest);
        } else {
            ADD_FAILURE() << "unexpected report: " << line;
        }
    }

    Reports reports_;
    int pings_ = 0;
};

bool present(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The text of the end-of-game box after a game of this many plies: the side that made the last
// move has won.
std::string gameOverText(std::size_t plies) {
    return plies % 2 == 1 ? "Game Over - White wins" : "Game Over - Black wins";
}

class Interlinked : public ::testing::Test {
  protected:
    testing::TempDir dir;
    const std::string folder = dir.file("link");
    std::vector<std::unique_ptr<Copy>> copies;

    // A copy on the test's folder (or another), with the options given; ready when returned.
    Copy& start(const std::vector<std::string>& options, const std::string& on = "") {
        std::vector<std::string> argv = {WINTARVO_UI_PEER, "copy", on.empty() ? folder : on};
        argv.insert(argv.end(), options.begin(), options.end());
        copies.push_back(std::make_unique<Copy>(argv));
        Copy& c = *copies.back();
        EXPECT_TRUE(c.waitFor([](const Reports& r) { return !r.socket.empty(); }, 60s))
            << "a copy did not start";
        return c;
    }

    // Both copies play on to the end of the game: both show the end-of-game box once, with
    // the same text, and both histories hold the same moves. Waits until the last moves have
    // come back to their senders as well.
    static void expectSameFinishedGame(Copy& a, Copy& b) {
        const auto over = [](const Reports& r) { return !r.boxes.empty(); };
        ASSERT_TRUE(a.waitFor(over));
        ASSERT_TRUE(b.waitFor(over));
        // The box opens while the last move is being handled, before the move's other
        // reports.
        ASSERT_TRUE(a.sync());
        ASSERT_TRUE(b.sync());
        // Of the two last moves one is the copy's own, and its announcement may come in after
        // the other copy's answer; every earlier one has come in by then.
        const auto lastMovesArrived = [](const Reports& r) {
            const auto arrived = [&r](const Move& m) {
                return std::any_of(
                    r.received.begin(), r.received.end(),
                    [&m](const Reports::Arrival& a) { return a.lParam == packed(m); });
            };
            const std::size_t n = r.history.size();
            return n >= 2 && arrived(r.history[n - 1]) && arrived(r.history[n - 2]);
        };
        ASSERT_TRUE(a.waitFor(lastMovesArrived));
        ASSERT_TRUE(b.waitFor(lastMovesArrived));
        const MoveList& moves = a.reports().history;
        EXPECT_GT(moves.size(), 20u);
        EXPECT_EQ(b.reports().history, moves);
        const std::vector<std::string> box = {gameOverText(moves.size())};
        EXPECT_EQ(a.reports().boxes, box);
        EXPECT_EQ(b.reports().boxes, box);
    }

    // Every copy still running ends cleanly, and the last one leaves the folder empty.
    void quitAll() {
        for (auto& c : copies)
            EXPECT_TRUE(!c->process.started() || c->quit() == 0) << "a copy did not end cleanly";
        EXPECT_TRUE(!present(folder) || std::filesystem::is_empty(folder));
    }
};

TEST_F(Interlinked, TwoCopiesPlayAWholeGameOncePlayMoveIsGivenToOne) {
    Copy& a = start({"--depth", "1"});
    Copy& b = start({"--depth", "1"});
    a.command("play");
    expectSameFinishedGame(a, b);
    const Reports& ra = a.reports();
    const Reports& rb = b.reports();
    const MoveList& moves = ra.history;

    // A's engine made the odd plies and B's the even ones; each copy announced exactly the
    // moves of its own engine, beeping after each and at no other time.
    MoveList odd, even;
    for (std::size_t i = 0; i < moves.size(); ++i)
        (i % 2 == 0 ? odd : even).push_back(moves[i]);
    EXPECT_EQ(ra.engineMoves, odd);
    EXPECT_EQ(ra.announced, odd);
    EXPECT_EQ(ra.beeps, static_cast<int>(odd.size()));
    EXPECT_EQ(rb.engineMoves, even);
    EXPECT_EQ(rb.announced, even);
    EXPECT_EQ(rb.beeps, static_cast<int>(even.size()));

    // Every move reached both frames once; each copy played the other's moves and ignored
    // its own, so its history grew by one move at a time. (A copy's own announcement need not
    // come in before the other copy's answer to it.)
    std::vector<std::size_t> oneByOne;
    for (std::size_t n = 1; n <= moves.size(); ++n)
        oneByOne.push_back(n);
    for (const Copy* c : {&a, &b}) {
        const Reports& r = c->reports();
        const std::size_t own = c == &a ? 0 : 1;
        std::map<std::uint32_t, bool> played;
        for (const Reports::Arrival& arrival : r.received)
            EXPECT_TRUE(played.emplace(arrival.lParam, arrival.played).second) << arrival.lParam;
        ASSERT_EQ(played.size(), moves.size());
        for (std::size_t i = 0; i < moves.size(); ++i) {
            ASSERT_TRUE(played.contains(packed(moves[i]))) << "ply " << i + 1;
            EXPECT_EQ(played[packed(moves[i])], i % 2 != own) << "ply " << i + 1;
        }
        EXPECT_EQ(r.historySizes, oneByOne);
        EXPECT_EQ(r.droppedAnswers, 0);
    }
    // The copy that made the last move shows its engine's text; the other one the game's end.
    const Reports& last = moves.size() % 2 == 1 ? ra : rb;
    const Reports& other = moves.size() % 2 == 1 ? rb : ra;
    EXPECT_EQ(last.status.rfind("Depth = ", 0), 0u) << last.status;
    EXPECT_EQ(other.status, "Game Over");
    quitAll();
}

// Play Move in both copies at nearly the same moment: both engines search the starting
// position. A copy that plays the other's move during its search drops its own answer and then
// asks its engine for the position it has, so the game goes on to the end in both.
TEST_F(Interlinked, PlayMoveInBothCopiesAtOnceStillEndsInOneFinishedGame) {
    Copy& a = start({"--depth", "1"});
    Copy& b = start({"--depth", "1"});
    a.command("play");
    b.command("play");
    expectSameFinishedGame(a, b);
    quitAll();
}

// Interlinked Mode off in one copy: it neither plays what arrives nor announces its engine's
// moves. Switched on again, it does both from the next move on.
TEST_F(Interlinked, WithInterlinkedModeOffInOneCopyNothingPassesEitherWay) {
    Copy& a = start({"--depth", "1"});
    Copy& b = start({"--depth", "1", "--no-interlinked"});
    a.command("play");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 1; }));
    EXPECT_FALSE(b.reports().received[0].played);
    EXPECT_TRUE(b.reports().history.empty());
    EXPECT_EQ(b.reports().status, "Ply number 1");

    b.command("play");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.engineMoves.size() == 1; }));
    EXPECT_TRUE(b.reports().announced.empty());
    // A's next move is the next thing A hears: nothing came from B before it.
    a.command("play");
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.received.size() == 2; }));
    EXPECT_EQ(lParams(a.reports().received), packedMoves(a.reports().announced));
    EXPECT_EQ(a.reports().history.size(), 2u);
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 2; }));
    EXPECT_FALSE(b.reports().received[1].played);
    EXPECT_EQ(b.reports().history.size(), 1u);

    b.command("toggle interlinked");
    for (Copy* c : {&a, &b}) {
        c->command("new");
        ASSERT_TRUE(c->sync());
    }
    a.command("play");
    expectSameFinishedGame(a, b);
    quitAll();
}

// Auto Play off in the receiving copy: the move is played and shown, and nothing answers it.
// Switched on, the next move that arrives is answered at once.
TEST_F(Interlinked, WithAutoPlayOffAReceivedMoveIsShownAndNotAnswered) {
    Copy& a = start({"--depth", "1"});
    Copy& b = start({"--depth", "1", "--no-auto-play"});
    a.command("play");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 1; }));
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.announced.size() == 1; }));
    EXPECT_TRUE(b.reports().received[0].played);
    EXPECT_EQ(b.reports().history, a.reports().announced);
    EXPECT_EQ(b.reports().status, "Ply number 2");

    // The next move A hears is its own next one.
    a.command("play");
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.received.size() == 2; }));
    EXPECT_EQ(lParams(a.reports().received), packedMoves(a.reports().announced));
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 2; }));
    EXPECT_EQ(b.reports().status, "Ply number 3");
    EXPECT_EQ(b.reports().history, a.reports().history);
    for (const std::string& status : b.reports().statuses)
        EXPECT_NE(status, "Thinking...");
    EXPECT_TRUE(b.reports().engineMoves.empty());
    EXPECT_EQ(b.reports().beeps, 0);

    b.command("toggle autoplay");
    ASSERT_TRUE(b.sync());
    a.command("play");
    expectSameFinishedGame(a, b);
    quitAll();
}

// A move that arrives while the copy's engine is searching is played; the automatic reply is
// withheld with a beep, and the search's answer, meant for the position before, is dropped.
TEST_F(Interlinked, AMoveReceivedDuringASearchIsPlayedAndTheSearchAnswerDropped) {
    Copy& a = start({"--depth", "unlimited", "--time", "unlimited"});
    Copy& b = start({"--depth", "1", "--no-auto-play"});
    a.command("play");
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.status == "Thinking..."; }));
    b.command("play");
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.received.size() == 1; }));
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.announced.size() == 1; }));
    EXPECT_TRUE(a.reports().received[0].played);
    EXPECT_EQ(a.reports().history, b.reports().announced);
    EXPECT_EQ(a.reports().beeps, 1);
    EXPECT_EQ(a.reports().status, "Thinking...");

    // Without Auto Play B's next move is not answered with another search without end.
    a.command("toggle autoplay");
    a.command("force");
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.droppedAnswers == 1; }));
    ASSERT_TRUE(a.sync());
    EXPECT_TRUE(a.reports().engineMoves.empty());
    EXPECT_TRUE(a.reports().announced.empty());
    EXPECT_EQ(a.reports().history.size(), 1u);
    EXPECT_EQ(a.reports().status, "Ply number 2");
    EXPECT_EQ(a.reports().beeps, 1);

    // Nothing came from A: what B hears next is its own next move, which A plays.
    b.command("play");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 2; }));
    EXPECT_EQ(lParams(b.reports().received), packedMoves(b.reports().announced));
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.received.size() == 2; }));
    EXPECT_TRUE(a.reports().received[1].played);
    EXPECT_EQ(a.reports().history, b.reports().history);
    quitAll();
}

// Only the engine's moves are announced: a move entered with the mouse, a game opened from a
// file and steps through the history stay in their copy.
TEST_F(Interlinked, MovesEnteredOpenedOrSteppedAreNotAnnounced) {
    Copy& a = start({"--depth", "1"});
    Copy& b = start({"--depth", "1"});
    // The engine answers the mouse's move; B, still at the start, cannot play that answer.
    // (A steps back over the answer only once its own announcement of it is in, which would
    // otherwise play it again.)
    a.command("enter A4 A5 A6");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 1; }));
    EXPECT_FALSE(b.reports().received[0].played);
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.received.size() == 1; }));
    ASSERT_EQ(a.reports().announced.size(), 1u);
    EXPECT_EQ(b.reports().received[0].lParam, packed(a.reports().announced[0]));

    const std::string record = dir.file("game.amz");
    for (const std::string& command :
         {"save " + record, std::string("new"), "open " + record, std::string("back"),
          std::string("back"), std::string("forward")})
        a.command(command);
    ASSERT_TRUE(a.sync());
    EXPECT_EQ(a.reports().history.size(), 1u);
    EXPECT_EQ(a.reports().history[0], moveFrom("A4-A5(A6)"));
    // A's engine moves again: that is the next and only other thing B hears.
    a.command("play");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 2; }));
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.announced.size() == 2; }));
    EXPECT_EQ(lParams(b.reports().received), packedMoves(a.reports().announced));
    EXPECT_TRUE(b.reports().history.empty());
    quitAll();
}

// A copy killed in the middle of a game: the other one plays on, and its next announcement
// clears what the dead copy left in the folder. A copy started again joins by opening the game
// so far, and the two finish it.
TEST_F(Interlinked, ACopyKilledMidGameLeavesTheOtherPlayingAndARestartedOneJoins) {
    Copy& a = start({"--depth", "1"});
    Copy& b = start({"--depth", "1", "--no-auto-play"});
    a.command("play");
    for (std::size_t heard : {1u, 3u, 5u}) {
        ASSERT_TRUE(b.waitFor([heard](const Reports& r) { return r.received.size() == heard; }));
        if (heard < 5) b.command("play");  // A answers each of B's moves
    }
    EXPECT_EQ(b.reports().history.size(), 5u);
    b.command("depth unlimited");
    b.command("time unlimited");
    b.command("play");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.status == "Thinking..."; }));
    b.process.signal(SIGKILL);
    EXPECT_EQ(b.quit(), -1);
    const std::string deadSocket = b.reports().socket;
    ASSERT_TRUE(present(deadSocket));

    a.command("play");
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.received.size() == 6; }));
    EXPECT_EQ(a.reports().history.size(), 6u);
    EXPECT_FALSE(a.reports().received.back().played);
    ASSERT_EQ(a.reports().sent.size(), 4u);
    EXPECT_EQ(a.reports().sent.back().delivered, 1);
    EXPECT_EQ(a.reports().sent.back().removed, 1);
    EXPECT_FALSE(present(deadSocket));

    const std::string record = dir.file("so-far.amz");
    a.command("save " + record);
    ASSERT_TRUE(a.sync());
    Copy& c = start({"--depth", "1"});
    c.command("open " + record);
    ASSERT_TRUE(c.waitFor([](const Reports& r) { return r.history.size() == 6; }));
    EXPECT_EQ(c.reports().history, a.reports().history);
    c.command("play");
    expectSameFinishedGame(a, c);
    quitAll();
}

// Datagrams that are not messages of this program, or are messages without a legal move, do
// nothing, even where they carry a move that is legal in the copies' game; the copies then
// play on as if nothing had come.
TEST_F(Interlinked, AFloodOfForeignAndMalformedDatagramsChangesNothing) {
    Copy& a = start({"--depth", "1"});
    Copy& b = start({"--depth", "1", "--no-auto-play"});
    a.command("play");
    ASSERT_TRUE(b.waitFor([](const Reports& r) { return r.received.size() == 1; }));
    ASSERT_TRUE(a.waitFor([](const Reports& r) { return r.received.size() == 1; }));
    const Move first = a.reports().history.at(0);
    Position position;
    position.setStartPosition();
    position.applyMove(first);
    MoveList legal;
    generateMoves(position, legal);
    ASSERT_FALSE(legal.empty());
    const std::uint32_t tempting = packed(legal.back());

    // Well-formed messages whose values are not a legal move here (a legal move with bits set
    // above its 24 is none), the last one marking the end of the flood. The move already
    // played goes to B only: to A, whose engine made it, it would come from a second copy
    // that made the same move at the same moment, and A would answer it.
    for (Copy* c : {&a, &b}) {
        std::vector<std::uint32_t> noMove = {
            0, 0x00FFFFFF, 0x5A000000 | tempting, 0x00636363, 0x00646464, 0xFF000000, 0x00FFFFFF};
        if (c == &b) noMove.insert(noMove.begin() + 2, packed(first));
        ASSERT_TRUE(c->sync());
        const Reports before = c->reports();
        for (const auto& bad : testing::badDatagrams(1000, tempting))
            ASSERT_TRUE(testing::sendDatagram(before.socket, bad.bytes, true)) << bad.what;
        for (const std::uint32_t value : noMove)
            ASSERT_TRUE(
                testing::sendDatagram(before.socket, testing::messageBytes(0, value), true));
        const std::size_t expected = before.received.size() + noMove.size();
        ASSERT_TRUE(c->waitFor([&](const Reports& r) { return r.received.size() == expected; }));
        ASSERT_TRUE(c->sync());
        const Reports& after = c->reports();
        for (std::size_t i = 0; i < noMove.size(); ++i) {
            EXPECT_EQ(after.received[before.received.size() + i].lParam, noMove[i]);
            EXPECT_FALSE(after.received[before.received.size() + i].played);
        }
        EXPECT_EQ(after.history, before.history);
        EXPECT_EQ(after.statuses, before.statuses);
        EXPECT_EQ(after.beeps, before.beeps);
        EXPECT_TRUE(after.boxes.empty());
    }

    b.command("toggle autoplay");
    b.command("play");
    expectSameFinishedGame(a, b);
    quitAll();
}

TEST_F(Interlinked, ACopyWhoseFolderCannotBeUsedPlaysAlone) {
    const std::string open = dir.file("open");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0755), 0);
    Copy& a = start({"--depth", "1", "--trace"}, open);
    EXPECT_EQ(a.reports().socket, "unavailable");
    EXPECT_EQ(a.reports().trace,
              (std::vector<std::string>{"Interlinked Mode unavailable, moves are neither sent nor "
                                        "received: the folder is open to other users"}));
    for (std::size_t n = 1; n <= 2; ++n) {
        a.command("play");
        ASSERT_TRUE(a.waitFor([n](const Reports& r) { return r.engineMoves.size() == n; }));
    }
    ASSERT_TRUE(a.sync());
    EXPECT_EQ(a.reports().history, a.reports().engineMoves);
    EXPECT_EQ(a.reports().sent.size(), 2u);
    EXPECT_EQ(a.reports().sent.back().delivered, 0);
    EXPECT_TRUE(a.reports().received.empty());
    EXPECT_TRUE(std::filesystem::is_empty(open));
    quitAll();
}

// --- the program itself ---------------------------------------------------------------------

// The program, started with XDG_RUNTIME_DIR naming a folder of the test's and its standard
// output (the trace) going to out. The trace is written through the C library, which keeps
// what goes to a file until its buffer is full; traceFile asks for a line at a time (stdbuf,
// whose preloaded library AddressSanitizer must be told to accept).
// A wrapper (nohup) may run it.
std::unique_ptr<testing::PeerProcess> startProgram(const std::string& runtime,
                                                   const std::string& traceFile = "",
                                                   const std::string& wrapper = "") {
    std::vector<std::string> argv = {"/usr/bin/env", "XDG_RUNTIME_DIR=" + runtime,
                                     "QT_QPA_PLATFORM=offscreen"};
    if (!traceFile.empty()) {
        const char* asan = std::getenv("ASAN_OPTIONS");
        argv.push_back(std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") +
                       "verify_asan_link_order=0");
        argv.insert(argv.end(), {"/usr/bin/stdbuf", "-oL"});
    }
    if (!wrapper.empty()) argv.push_back(wrapper);
    argv.insert(argv.end(), {"/bin/sh", "-c", "exec \"$0\" > \"$1\"", WINTARVO_PROGRAM,
                             traceFile.empty() ? std::string("/dev/null") : traceFile});
    return std::make_unique<testing::PeerProcess>(argv);
}

// With its default options (Auto Play, Interlinked Mode, 10 seconds a move), the program
// answers a copy's engine move in the copies' folder under the runtime folder, and the copy
// plays the answer.
TEST_F(Interlinked, TheProgramAnswersACopyInTheUsersFolder) {
    const std::string runtime = dir.path();  // made private by mkdtemp
    const std::string usersFolder = runtime + "/tarvo-broadcasted-move";
    const auto program = startProgram(runtime);
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!(present(usersFolder) && !std::filesystem::is_empty(usersFolder)) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(present(usersFolder)) << "the program did not join";

    Copy& a = start({"--depth", "1", "--play"}, usersFolder);
    const auto answered = [](const Reports& r) {
        return r.history.size() >= 2 &&
               std::any_of(r.received.begin(), r.received.end(),
                           [](const Reports::Arrival& arrival) { return arrival.played; });
    };
    ASSERT_TRUE(a.waitFor(answered));
    const Reports& r = a.reports();
    ASSERT_FALSE(r.announced.empty());
    for (const Reports::Arrival& arrival : r.received) {
        if (arrival.played)
            EXPECT_EQ(arrival.lParam, packed(r.history[1]));
        else
            EXPECT_EQ(arrival.lParam, packed(r.announced[0]));  // its own, ignored
    }
    EXPECT_EQ(a.quit(), 0);
}

// Where the users' folder cannot be used the program says why in its trace and runs on.
TEST_F(Interlinked, TheProgramWithoutAUsableFolderRunsAlone) {
    const std::string runtime = dir.path();
    testing::writeFileBytes(runtime + "/tarvo-broadcasted-move", "not a folder");
    const std::string trace = dir.file("trace.txt");
    const auto program = startProgram(runtime, trace);
    const std::string expected =
        "Interlinked Mode unavailable, moves are neither sent nor received: the folder is not "
        "a directory\n";
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (testing::fileBytes(trace) != expected && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(testing::fileBytes(trace), expected);
    // Still running: it has not ended by itself.
    std::ifstream stat("/proc/" + std::to_string(program->pid()) + "/stat");
    std::string fields;
    std::getline(stat, fields);
    const std::size_t state = fields.rfind(") ");
    ASSERT_NE(state, std::string::npos);
    EXPECT_NE(fields[state + 2], 'Z');
}

// --- signals ------------------------------------------------------------------------------

// The program's socket in the users' folder under runtime, once it has joined; "" if it has
// not within a minute.
std::string programSocket(const std::string& runtime) {
    const std::string folder = runtime + "/tarvo-broadcasted-move";
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            return entry.path().string();
        std::this_thread::sleep_for(10ms);
    }
    return "";
}

bool waitForText(const std::string& file, const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (testing::fileBytes(file).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// SIGTERM, SIGHUP and SIGINT close the program as Exit does, in the middle of a search too: the
// search is stopped and its thread joined (its answer finds the window gone), the program's
// socket leaves the folder, and it ends with 0, or 130 after SIGINT.
TEST_F(Interlinked, ASignalClosesTheProgramAsExitDoes) {
    struct Case {
        int signal;
        int status;
    };
    for (const Case& c : {Case{SIGTERM, 0}, Case{SIGHUP, 0}, Case{SIGINT, 130}}) {
        SCOPED_TRACE(strsignal(c.signal));
        testing::TempDir runtime;
        const std::string trace = runtime.file("trace.txt");
        const auto program = startProgram(runtime.path(), trace);
        const std::string socket = programSocket(runtime.path());
        ASSERT_FALSE(socket.empty()) << "the program did not join";
        // A copy's engine move, which the program answers with a search of 10 seconds.
        Copy& a = start({"--depth", "1", "--play"}, runtime.path() + "/tarvo-broadcasted-move");
        ASSERT_TRUE(waitForText(trace, "Estimated branch factor"));
        program->signal(c.signal);
        EXPECT_EQ(program->finish(), c.status);
        EXPECT_FALSE(present(socket));
        const std::string text = testing::fileBytes(trace);
        EXPECT_TRUE(text.ends_with("\nWindow closed - move could not be posted.\n")) << text;
        ASSERT_TRUE(a.sync());
        EXPECT_EQ(a.reports().history.size(), 1u);
        EXPECT_EQ(a.quit(), 0);
        EXPECT_TRUE(std::filesystem::is_empty(runtime.path() + "/tarvo-broadcasted-move"));
    }
}

// A second signal while the program is closing ends it at once, by that signal: nothing is
// cleaned up, and its socket stays for the next copy to remove. (Stopped, the program gets
// both signals at once when it goes on.)
TEST_F(Interlinked, ASecondSignalEndsTheProgramAtOnce) {
    const std::string runtime = dir.path();
    const auto program = startProgram(runtime);
    const std::string socket = programSocket(runtime);
    ASSERT_FALSE(socket.empty()) << "the program did not join";
    for (const int number : {SIGSTOP, SIGTERM, SIGHUP, SIGCONT})
        program->signal(number);
    EXPECT_EQ(program->finish(), -1);
    EXPECT_TRUE(program->endSignal() == SIGTERM || program->endSignal() == SIGHUP)
        << program->endSignal();
    EXPECT_TRUE(present(socket));
}

// Started with SIGHUP ignored (nohup), the program leaves it ignored.
TEST_F(Interlinked, ASignalIgnoredAtTheStartStaysIgnored) {
    const std::string runtime = dir.path();
    const auto program = startProgram(runtime, "", "/usr/bin/nohup");
    ASSERT_FALSE(programSocket(runtime).empty()) << "the program did not join";
    program->signal(SIGHUP);
    program->signal(SIGINT);
    EXPECT_EQ(program->finish(), 130);
}

}  // namespace
}  // namespace wintarvo
