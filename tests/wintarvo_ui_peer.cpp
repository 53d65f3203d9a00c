// wintarvo_ui_peer: a running copy of the desktop program that a test can start, steer and
// watch, for the Interlinked Mode tests; and a tool that measures how fast moves travel
// between such copies.
//
//   wintarvo_ui_peer copy FOLDER [OPTION...]
//       Builds the program as its main function does (the broadcast channel, ChannelBroadcast,
//       the run step with its MainFrame and BoardView) with two differences: the channel meets
//       the other copies in FOLDER rather than in the user's own folder, and the desktop
//       contacts never wait: beeps and information boxes are reported rather than sounded and
//       shown, and Open and Save take the path of the command. The options go through the
//       frame's own commands before anything else happens:
//         --depth N|unlimited   Max Search Depth (N plies, 1 to 8)
//         --time S|unlimited    Time per Move (S seconds, a value of the menu)
//         --no-auto-play, --no-interlinked, --no-sound   switch the option off
//         --play                Play Move once the window is shown
//         --trace               the debug trace on standard output, each line as "trace LINE"
//       Reports on standard output, one line each; what an event changed comes before the line
//       of the event:
//         ready SOCKET | ready unavailable          once the copy is set up
//         announced MOVE delivered D missed M removed R at NS
//         received LPARAM played|ignored at NS      a BroadcastMoveEvent the frame handled
//         engine MOVE | engine dropped              after the engine's answer was handled
//         history N MOVE...                         whenever the history changes
//         status TEXT                               whenever the status line changes
//         beep | box TEXT | pong WORD
//       MOVE is written D1-D4(D7), LPARAM as 0x%08x, NS is the steady clock in nanoseconds
//       (one clock for all processes of the machine). Commands on standard input, one a line:
//         play, force, undo, back, forward, new, enter SQ SQ SQ (three left clicks),
//         open PATH, save PATH, toggle autoplay|interlinked|sound, depth N|unlimited,
//         time S|unlimited, ping WORD, quit
//       "quit" or the end of the input closes the window as Exit does.
//
//   wintarvo_ui_peer measure [GAMES]
//       Starts copies of itself on a fresh folder, all at "1 Ply (no search)", and has them
//       play whole games, Play Move given to the first copy: GAMES games (default 4) between
//       two copies, then as many among ten. Prints how long a move takes from the sender's
//       announcement to the moment the other copy's frame is handed it, median and worst, and
//       what became of the games among ten.
//
//   wintarvo_ui_peer games GAMES [COPIES [STARTERS]]
//       For long campaigns: GAMES games among COPIES copies (2 by default) at "1 Ply (no
//       search)", Play Move given to the first STARTERS copies (1 by default) at the same
//       moment. One line a game ("game N: P plies, T of C copies finished it") and the total
//       ("finished with all C copies: F of G games"). Exit status 0 when every game ended with
//       all copies in it, 3 when some did not, 1 when the copies could not be run.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTest>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "diag/trace.h"
#include "model/move.h"
#include "support/fake_desktop.h"
#include "support/peer_process.h"
#include "support/peer_report.h"
#include "ui/app_shell.h"
#include "ui/channel_broadcast.h"
#include "ui/command_ids.h"
#include "ui/interlink/broadcast_channel.h"
#include "ui/main_frame.h"
#include "ui/option_tables.h"
#include "ui/queued_notify_window.h"

namespace wintarvo {
namespace {

using testing::Figures;
using testing::figures;
using testing::microseconds;
using testing::nowNanoseconds;
using testing::say;

std::string compactMove(const Move& m) {
    return squareText(m.from) + "-" + squareText(m.to) + "(" + squareText(m.arrow) + ")";
}

std::string hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

// --- the copy -------------------------------------------------------------------------------

struct CopyOptions {
    std::string folder;
    std::optional<int> depthId, timeId;
    bool autoPlay = true, interlinked = true, sound = true, play = false, trace = false;
};

// The command identifier of a menu value: "unlimited" or a number of the group.
template <typename Options>
std::optional<int> optionId(const Options& options, std::string_view text) {
    int value = -1;
    if (text != "unlimited") {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc{} || end != text.data() + text.size() || value <= 0) return {};
    }
    for (const OptionItem& option : options)
        if (option.value == value) return option.id;
    return {};
}

// The fake desktop contacts, saying what they are asked.
class ReportingDesktop : public testing::FakeDesktop {
  public:
    void beep() override {
        FakeDesktop::beep();
        say("beep");
    }
    void showInformation(QWidget* owner, const QString& text, const QString& caption) override {
        FakeDesktop::showInformation(owner, text, caption);
        say("box " + text.toStdString());
    }
};

// The program's ChannelBroadcast, saying what each announcement did.
class ReportingBroadcast : public MoveBroadcast {
  public:
    explicit ReportingBroadcast(ChannelBroadcast& inner) : inner_(inner) {}
    void post(std::uint32_t packedMove) override {
        const long long at = nowNanoseconds();
        inner_.post(packedMove);
        const BroadcastReport& r = inner_.lastReport();
        Move m;
        unpackMove(packedMove, m);
        say("announced " + compactMove(m) + " delivered " + std::to_string(r.delivered) +
            " missed " + std::to_string(r.missed) + " removed " + std::to_string(r.removed) +
            " at " + std::to_string(at));
    }
    void listen(QObject* receiver) override { inner_.listen(receiver); }
    void stopListening(QObject* receiver) override { inner_.stopListening(receiver); }

  private:
    ChannelBroadcast& inner_;
};

// Watches every event after it has been handled: reports the history and the status line
// whenever they have changed, and the announced moves the frame was given and the engine's
// answers with what became of them.
class PeerApplication : public QApplication {
  public:
    using QApplication::QApplication;

    // Reports on frame from now on; nullptr ends the reports (the frame is about to go).
    void watch(MainFrame* frame) {
        frame_ = frame;
        if (frame_ != nullptr) reportChanges();
    }

    bool notify(QObject* receiver, QEvent* event) override {
        if (frame_ == nullptr) return QApplication::notify(receiver, event);
        const QEvent::Type type = event->type();
        std::optional<std::uint32_t> announced;
        if (type == BroadcastMoveEvent::eventType())
            announced = static_cast<std::uint32_t>(static_cast<BroadcastMoveEvent*>(event)->lParam);
        const long long arrival = nowNanoseconds();
        const std::size_t before = frame_->boardView().movesPlayed().size();
        ++depth_;
        const bool result = QApplication::notify(receiver, event);
        --depth_;
        if (frame_ == nullptr) return result;
        // What the event changed first, then the event itself: a test that has read of an
        // event knows its effect.
        if (depth_ == 0) reportChanges();
        const MoveList& moves = frame_->boardView().movesPlayed();
        const bool grew = moves.size() > before;
        if (announced) {
            say("received " + hex32(*announced) + (grew ? " played" : " ignored") + " at " +
                std::to_string(arrival));
        } else if (type == EngineMoveEvent::eventType()) {
            say(grew ? "engine " + compactMove(moves.back()) : std::string("engine dropped"));
        }
        return result;
    }

    void reportChanges() {
        if (frame_ == nullptr) return;
        const MoveList& moves = frame_->boardView().movesPlayed();
        if (moves != shownHistory_) {
            shownHistory_ = moves;
            std::string line = "history " + std::to_string(moves.size());
            for (const Move& m : moves)
                line += " " + compactMove(m);
            say(line);
        }
        const std::string status =
            frame_->statusLine() ? frame_->statusLine()->text().toStdString() : std::string();
        if (status != shownStatus_) {
            shownStatus_ = status;
            say("status " + status);
        }
    }

  private:
    MainFrame* frame_ = nullptr;
    int depth_ = 0;
    MoveList shownHistory_;
    std::string shownStatus_ = "\n";  // no status line ever shows this
};

void clickSquare(MainFrame& frame, const std::string& name) {
    QWidget* board = frame.boardView().window();
    const Square square = parseSquare(name);
    if (board == nullptr || square == NO_SQUARE) {
        say("bad square " + name);
        return;
    }
    const int s = frame.boardView().squareSize();
    QTest::mouseClick(board, Qt::LeftButton, Qt::NoModifier,
                      QPoint(squareColumn(square) * s + s / 2, squareRow(square) * s + s / 2));
}

void obey(MainFrame& frame, ReportingDesktop& desktop, std::string_view line) {
    const auto word = [&line] {
        const std::size_t end = line.find(' ');
        const std::string_view w = line.substr(0, end);
        line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
        return std::string(w);
    };
    const std::string command = word();
    static const std::map<std::string, int> simple = {
        {"play", ID_PLAY_MOVE}, {"force", ID_FORCE_MOVE},   {"undo", ID_UNDO_MOVE},
        {"back", ID_GO_BACK},   {"forward", ID_GO_FORWARD}, {"new", ID_NEW_GAME},
        {"quit", ID_EXIT}};
    static const std::map<std::string, int> toggles = {
        {"autoplay", ID_AUTO_PLAY}, {"interlinked", ID_INTERLINKED}, {"sound", ID_SOUND}};
    if (const auto it = simple.find(command); it != simple.end()) {
        frame.onCommand(it->second);
    } else if (command == "enter") {
        for (int i = 0; i < 3; ++i)
            clickSquare(frame, word());
    } else if (command == "open" || command == "save") {
        (command == "open" ? desktop.openAnswer : desktop.saveAnswer) = std::string(line);
        frame.onCommand(command == "open" ? ID_OPEN_GAME : ID_SAVE_GAME);
    } else if (command == "toggle") {
        const auto which = toggles.find(std::string(line));
        if (which == toggles.end())
            say("bad command toggle " + std::string(line));
        else
            frame.onCommand(which->second);
    } else if (command == "depth" || command == "time") {
        const auto id =
            command == "depth" ? optionId(DEPTH_OPTIONS, line) : optionId(TIME_OPTIONS, line);
        if (id)
            frame.onCommand(*id);
        else
            say("bad command " + command + " " + std::string(line));
    } else if (command == "ping") {
        say("pong " + std::string(line));
    } else {
        say("bad command " + command);
    }
}

// Lines of standard input become commands, in the event loop like everything else.
class CommandInput {
  public:
    // reportChanges runs after each command, so that a command's effect is reported before
    // whatever the next command says.
    CommandInput(MainFrame& frame, ReportingDesktop& desktop, std::function<void()> reportChanges)
        : frame_(frame),
          desktop_(desktop),
          reportChanges_(std::move(reportChanges)),
          notifier_(0, QSocketNotifier::Read) {
        ::fcntl(0, F_SETFL, ::fcntl(0, F_GETFL) | O_NONBLOCK);
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { readInput(); });
    }

  private:
    void readInput() {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(0, buffer, sizeof buffer)) > 0)
            pending_.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            const std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            obey(frame_, desktop_, line);
            reportChanges_();
        }
        if (n == 0) {
            notifier_.setEnabled(false);
            frame_.onCommand(ID_EXIT);
        }
    }

    MainFrame& frame_;
    ReportingDesktop& desktop_;
    std::function<void()> reportChanges_;
    QSocketNotifier notifier_;
    std::string pending_;
};

// The trace as "trace LINE" reports; both threads write it.
void reportTrace() {
    static std::mutex mutex;
    static std::string partial;
    setDebuggerChannel([](std::string_view text) {
        const std::lock_guard lock(mutex);
        partial.append(text);
        for (std::size_t end; (end = partial.find('\n')) != std::string::npos;) {
            say("trace " + partial.substr(0, end));
            partial.erase(0, end + 1);
        }
    });
}

int runCopy(PeerApplication& app, const CopyOptions& options) {
    if (options.trace) reportTrace();
    ReportingDesktop desktop;
    BroadcastChannel channel(options.folder);
    const bool open = channel.open();
    ChannelBroadcast channelBroadcast(channel);
    ReportingBroadcast broadcast(channelBroadcast);
    std::unique_ptr<CommandInput> input;
    return runMainFrame(desktop, broadcast, [&](MainFrame& frame) {
        if (options.depthId) frame.onCommand(*options.depthId);
        if (options.timeId) frame.onCommand(*options.timeId);
        if (!options.autoPlay) frame.onCommand(ID_AUTO_PLAY);
        if (!options.interlinked) frame.onCommand(ID_INTERLINKED);
        if (!options.sound) frame.onCommand(ID_SOUND);
        app.watch(&frame);
        // The frame object is destroyed once the loop has ended.
        QObject::connect(&app, &QCoreApplication::aboutToQuit, [&app] { app.watch(nullptr); });
        say(open ? "ready " + channel.socketPath() : std::string("ready unavailable"));
        input = std::make_unique<CommandInput>(frame, desktop, [&app] { app.reportChanges(); });
        if (options.play) frame.onCommand(ID_PLAY_MOVE);
    });
}

std::optional<CopyOptions> readCopyOptions(const std::vector<std::string>& args) {
    if (args.size() < 2) return {};
    CopyOptions options;
    options.folder = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--depth" && hasValue) {
            options.depthId = optionId(DEPTH_OPTIONS, args[++i]);
            if (!options.depthId) return {};
        } else if (a == "--time" && hasValue) {
            options.timeId = optionId(TIME_OPTIONS, args[++i]);
            if (!options.timeId) return {};
        } else if (a == "--no-auto-play") {
            options.autoPlay = false;
        } else if (a == "--no-interlinked") {
            options.interlinked = false;
        } else if (a == "--no-sound") {
            options.sound = false;
        } else if (a == "--play") {
            options.play = true;
        } else if (a == "--trace") {
            options.trace = true;
        } else {
            return {};
        }
    }
    return options;
}

// --- measuring ------------------------------------------------------------------------------

long long atTime(const std::string& line) {
    return std::atoll(line.c_str() + line.rfind(" at ") + 4);
}

// What one copy said during a game: its announcements (packed move, time), the moves that
// reached its frame (packed move, time, played), its last history and whether it showed the
// end-of-game box.
struct GameLog {
    std::vector<std::pair<std::uint32_t, long long>> announced;
    struct Arrival {
        std::uint32_t move;
        long long at;
        bool played;
    };
    std::vector<Arrival> received;
    std::string history;
    int missed = 0;
    bool finished = false;

    void take(const std::string& line) {
        if (line.starts_with("announced ")) {
            Move m;
            if (parseMove(line.substr(10, line.find(' ', 10) - 10), m))
                announced.emplace_back(packMove(m), atTime(line));
            missed += std::atoi(line.c_str() + line.find(" missed ") + 8);
        } else if (line.starts_with("received ")) {
            received.push_back(
                {static_cast<std::uint32_t>(std::stoul(line.substr(9, 10), nullptr, 16)),
                 atTime(line), line.find(" played ") != std::string::npos});
        } else if (line.starts_with("history ")) {
            history = line;
        } else if (line.starts_with("box ")) {
            finished = true;
        }
    }
};

// Plays one game among the copies: a new game everywhere, then Play Move in the first (in the
// first `starters`, one right after the other). The game has ended for the copies once all of
// them have shown the end-of-game box, or when none has said anything for five seconds (a copy
// that fell out of the game waits for a move that never comes). Everything they said is in the
// logs.
bool playGame(std::vector<std::unique_ptr<testing::PeerProcess>>& copies,
              std::vector<GameLog>& logs, int game, std::size_t starters = 1) {
    const std::string token = std::to_string(game);
    for (auto& c : copies) {
        c->writeLine("new");
        c->writeLine("ping new" + token);
    }
    std::string line;
    for (auto& c : copies) {
        if (!c->take("pong new" + token, line)) return false;
        while (c->take("", line, std::chrono::milliseconds(0))) {
        }
    }
    logs.assign(copies.size(), {});
    for (std::size_t i = 0; i < starters && i < copies.size(); ++i)
        copies[i]->writeLine("play");
    auto lastHeard = std::chrono::steady_clock::now();
    const auto allFinished = [&logs] {
        return std::all_of(logs.begin(), logs.end(), [](const GameLog& l) { return l.finished; });
    };
    while (!allFinished() &&
           std::chrono::steady_clock::now() - lastHeard < std::chrono::seconds(5)) {
        for (std::size_t i = 0; i < copies.size(); ++i) {
            while (copies[i]->take("", line, std::chrono::milliseconds(2))) {
                logs[i].take(line);
                lastHeard = std::chrono::steady_clock::now();
            }
        }
    }
    // What was still on its way has been reported by the time a copy answers this.
    for (std::size_t i = 0; i < copies.size(); ++i) {
        copies[i]->writeLine("ping end" + token);
        while (copies[i]->take("", line)) {
            if (line == "pong end" + token) break;
            logs[i].take(line);
        }
        if (line != "pong end" + token) return false;
    }
    return true;
}

// For every copy and every move that reached its frame from another copy: the time from the
// first announcement of the move by another copy to the first arrival.
void collectLatencies(const std::vector<GameLog>& logs, std::vector<long long>& samples) {
    for (std::size_t r = 0; r < logs.size(); ++r) {
        std::map<std::uint32_t, long long> firstArrival;
        for (const auto& a : logs[r].received)
            if (!firstArrival.contains(a.move)) firstArrival[a.move] = a.at;
        std::map<std::uint32_t, long long> ownMoves(logs[r].announced.begin(),
                                                    logs[r].announced.end());
        for (const auto& [move, arrival] : firstArrival) {
            if (ownMoves.contains(move)) continue;
            long long sent = -1;
            for (std::size_t s = 0; s < logs.size(); ++s)
                for (const auto& [m, at] : logs[s].announced)
                    if (s != r && m == move && (sent < 0 || at < sent)) sent = at;
            if (sent >= 0) samples.push_back(arrival - sent);
        }
    }
}

// The game most copies finished: how many did, and its length in plies (0 and 0 when none
// finished). The others fell out of it.
struct CommonEnd {
    int together = 0;
    int plies = 0;
};
CommonEnd commonEnd(const std::vector<GameLog>& logs) {
    std::map<std::string, int> ends;
    for (const GameLog& log : logs)
        if (log.finished) ++ends[log.history];
    const auto common = std::max_element(
        ends.begin(), ends.end(), [](const auto& x, const auto& y) { return x.second < y.second; });
    if (common == ends.end()) return {};
    return {common->second, std::atoi(common->first.c_str() + 8)};
}

// A fresh folder under the temporary folder, for the copies' sockets; "" if none can be made.
std::string freshFolder() {
    std::string base = (std::filesystem::temp_directory_path() / "tarvo-measure-XXXXXX").string();
    return ::mkdtemp(base.data()) == nullptr ? std::string() : base;
}

void finishAll(std::vector<std::unique_ptr<testing::PeerProcess>>& copies,
               const std::string& base) {
    for (auto& c : copies)
        c->finish();
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
}

bool startCopies(const std::string& self, const std::string& folder, std::size_t count,
                 std::vector<std::unique_ptr<testing::PeerProcess>>& copies) {
    while (copies.size() < count) {
        copies.push_back(std::make_unique<testing::PeerProcess>(
            std::vector<std::string>{self, "copy", folder, "--depth", "1"}));
        std::string line;
        if (!copies.back()->take("ready /", line)) return false;
    }
    return true;
}

int measure(const std::string& self, int games) {
    const std::string base = freshFolder();
    if (base.empty()) return 1;
    const std::string folder = base + "/link";
    std::vector<std::unique_ptr<testing::PeerProcess>> copies;
    std::vector<GameLog> logs;
    int status = 1;

    std::vector<long long> two;
    int plies = 0;
    bool ok = startCopies(self, folder, 2, copies);
    for (int game = 0; ok && game < games; ++game) {
        ok = playGame(copies, logs, game) && logs[0].finished && logs[1].finished;
        if (ok) {
            collectLatencies(logs, two);
            plies += static_cast<int>(logs[0].announced.size() + logs[1].announced.size());
        }
    }
    if (ok) {
        const Figures f = figures(two);
        std::printf(
            "2 copies, %d games, %d moves: a move reaches the other copy's frame in "
            "median %s, worst %s (%zu samples)\n",
            games, plies, microseconds(f.median).c_str(), microseconds(f.worst).c_str(),
            two.size());
        std::fflush(stdout);
        ok = startCopies(self, folder, 10, copies);
    }
    // Ten copies: each game is one of the first copy against the nine others, whichever of
    // them answers first.
    std::vector<long long> ten;
    int announcements = 0, tenPlies = 0, missed = 0, allTogether = 0, fellOut = 0;
    for (int game = 0; ok && game < games; ++game) {
        ok = playGame(copies, logs, games + game);
        if (!ok) break;
        collectLatencies(logs, ten);
        for (const GameLog& log : logs) {
            announcements += static_cast<int>(log.announced.size());
            missed += log.missed;
        }
        const CommonEnd end = commonEnd(logs);
        tenPlies += end.plies;
        allTogether += end.together == static_cast<int>(logs.size());
        fellOut += static_cast<int>(logs.size()) - end.together;
    }
    if (ok) {
        const Figures f = figures(ten);
        std::printf(
            "10 copies, %d games, %d plies: %d games with all ten to the end; a copy fell "
            "out of a game %d times;\n"
            "  %d announcements (%.1f a ply), %d times a copy missed one (queue full);\n"
            "  a move reaches another copy's frame in median %s, worst %s (%zu samples)\n",
            games, tenPlies, allTogether, fellOut, announcements,
            tenPlies > 0 ? static_cast<double>(announcements) / tenPlies : 0.0, missed,
            microseconds(f.median).c_str(), microseconds(f.worst).c_str(), ten.size());
        std::fflush(stdout);
        status = 0;
    }
    finishAll(copies, base);
    return status;
}

// GAMES games among COPIES copies, the first STARTERS of them given Play Move at once; one line
// a game and a total. 0 when every game ended with all copies in it, 3 when not, 1 when the
// copies could not be run.
int playGames(const std::string& self, int games, std::size_t count, std::size_t starters) {
    const std::string base = freshFolder();
    if (base.empty()) return 1;
    std::vector<std::unique_ptr<testing::PeerProcess>> copies;
    std::vector<GameLog> logs;
    bool ok = startCopies(self, base + "/link", count, copies);
    int allTogether = 0, played = 0;
    for (int game = 0; ok && game < games; ++game) {
        ok = playGame(copies, logs, game, starters);
        if (!ok) break;
        const CommonEnd end = commonEnd(logs);
        const bool all = end.together == static_cast<int>(count);
        allTogether += all;
        ++played;
        std::printf("game %d: %d plies, %d of %zu copies finished it%s\n", game + 1, end.plies,
                    end.together, count, all ? "" : " (not all)");
        std::fflush(stdout);
    }
    std::printf("finished with all %zu copies: %d of %d games%s\n", count, allTogether, played,
                ok ? "" : " (the copies stopped answering)");
    finishAll(copies, base);
    return !ok ? 1 : allTogether == games ? 0 : 3;
}

}  // namespace
}  // namespace wintarvo

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::vector<std::string> args(argv + 1, argv + argc);
    wintarvo::setStandardOutputEnabled(false);
    if (!args.empty() && args[0] == "copy") {
        if (const auto options = wintarvo::readCopyOptions(args)) {
            wintarvo::PeerApplication app(argc, argv);
            QApplication::setQuitOnLastWindowClosed(false);
            return wintarvo::runCopy(app, *options);
        }
    } else if (!args.empty() && args.size() <= 2 && args[0] == "measure") {
        const int games = args.size() == 2 ? std::atoi(args[1].c_str()) : 4;
        std::error_code error;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
        if (games > 0 && !error) return wintarvo::measure(self.string(), games);
    } else if (args.size() >= 2 && args.size() <= 4 && args[0] == "games") {
        const int games = std::atoi(args[1].c_str());
        const int count = args.size() >= 3 ? std::atoi(args[2].c_str()) : 2;
        const int starters = args.size() >= 4 ? std::atoi(args[3].c_str()) : 1;
        std::error_code error;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
        if (games > 0 && count >= 1 && count <= 64 && starters >= 1 && starters <= count && !error)
            return wintarvo::playGames(self.string(), games, static_cast<std::size_t>(count),
                                       static_cast<std::size_t>(starters));
    }
    std::fprintf(stderr,
                 "usage: wintarvo_ui_peer copy FOLDER [--depth N|unlimited] [--time S|unlimited]\n"
                 "         [--no-auto-play] [--no-interlinked] [--no-sound] [--play] [--trace]\n"
                 "       wintarvo_ui_peer measure [GAMES]\n"
                 "       wintarvo_ui_peer games GAMES [COPIES [STARTERS]]\n");
    return 2;
}
