// The engine as a Go Text Protocol (version 2) engine, for game programs and match tools that
// drive engines over standard input and output.
//
// The engine keeps one Amazons game (White first, white amazons on A4 D1 G1 J4), takes the
// client's moves with play, answers genmove with the think the program and `wintarvo-cli
// search` run (the same move for the same position and limits), and can take moves back with
// undo. Moves are read in every notation a person types (D1-D4 (D7), D1-D4-D7, d1-d4/d7,
// D1-D4xD7, D1D4D7, ...) and written D1-D4-D7. A side without a move answers genmove with
// "resign". Once the controller sets a clock (time_settings, then time_left before each move),
// genmove is the tournament engine's think under it: a soft target and a hard deadline in
// milliseconds from the moment genmove was read (search/clock_manager.h), less a margin that the
// engine measures, from that deadline to its answer written. The engine also keeps its own
// clock, taking each answer's time off it, for controllers that send no time_left. With
// --movetime, a fixed time a move, without a clock. Otherwise the engine's own limits apply
// (wintarvo-depth, wintarvo-time), and EngineSettings::standardThink keeps the program's
// whole-second think under a clock too (time_budget.h).
//
// One object per session, used by one thread. It answers every line, however malformed,
// with a response or (for lines with no command) nothing, and never reads more than a capped
// line at a time. The think itself is passed in, so tests and the fuzz target can drive the
// protocol without a search.
#pragma once

#include <chrono>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "gtp/gtp_reader.h"
#include "gtp/time_budget.h"
#include "model/position.h"
#include "search/clock_manager.h"
#include "search/think_request.h"

namespace wintarvo::gtp {

// The program's start-up time per move, used while no clock is set and no limit was given.
constexpr int DEFAULT_TIME_LIMIT = 10;

struct EngineSettings {
    std::string version;
    int depthLimit = -1;  // plies, -1 for none: the program's start-up choice
    // Seconds per move, -1 for none. Given, it is the limit without a clock and caps the
    // clock's budget; unset, DEFAULT_TIME_LIMIT applies without a clock and the clock alone
    // decides with one.
    std::optional<int> timeLimit;
    std::optional<bool> helperThread;
    // Milliseconds a move for the tournament engine when the controller sets no clock.
    std::optional<int> moveTimeMs;
    // Under a clock, the program's own think (a whole-second share) instead of the tournament's.
    bool standardThink = false;
    // The tournament engine solves split boards exactly.
    bool splitSolver = true;
};

using ThinkFunction = std::function<ThinkAnswer(const ThinkRequest&)>;

class GtpEngine {
  public:
    GtpEngine(EngineSettings settings, ThinkFunction think);

    // The response to one line of input (without its line end), or the empty text when the
    // line holds no command.
    std::string respond(std::string_view line);
    // Answers the commands read from in, each response written to out and flushed, until
    // quit, the end of input or a failed write; false after a failed write.
    bool run(std::istream& in, std::ostream& out);

    bool quitRequested() const { return quit_; }
    const Position& position() const { return position_; }

  private:
    struct Reply {
        bool ok = true;
        std::string text;
    };
    using Handler = Reply (GtpEngine::*)(const std::vector<std::string>&);
    struct Entry {
        const char* name;
        Handler handler;
    };
    static const std::vector<Entry>& commands();

    Reply protocolVersion(const std::vector<std::string>& args);
    Reply name(const std::vector<std::string>& args);
    Reply version(const std::vector<std::string>& args);
    Reply knownCommand(const std::vector<std::string>& args);
    Reply listCommands(const std::vector<std::string>& args);
    Reply quit(const std::vector<std::string>& args);
    Reply boardSize(const std::vector<std::string>& args);
    Reply clearBoard(const std::vector<std::string>& args);
    Reply listGames(const std::vector<std::string>& args);
    Reply setGame(const std::vector<std::string>& args);
    Reply showBoard(const std::vector<std::string>& args);
    Reply play(const std::vector<std::string>& args);
    Reply genMove(const std::vector<std::string>& args);
    Reply undo(const std::vector<std::string>& args);
    Reply timeSettings(const std::vector<std::string>& args);
    Reply timeLeft(const std::vector<std::string>& args);
    Reply depthLimit(const std::vector<std::string>& args);
    Reply timeLimit(const std::vector<std::string>& args);
    Reply limits(const std::vector<std::string>& args);

    // respond for a line read at `read`, when a genmove's clock starts.
    std::string respondAt(std::string_view line, std::chrono::steady_clock::time_point read);
    ThinkRequest nextRequest() const;
    // After a genmove's answer is written: its time off the side's clock, and the margin.
    void answered(std::chrono::steady_clock::time_point written);

    EngineSettings settings_;
    ThinkFunction think_;
    Position position_;
    std::vector<Move> history_;
    std::optional<TimeSettings> timeSettings_;
    Clock clocks_[2];
    bool quit_ = false;
    // When the line being answered was read: a genmove's clock starts then.
    std::chrono::steady_clock::time_point lineRead_ = std::chrono::steady_clock::now();
    // The genmove whose answer is being written: its side, and when its think was planned to end.
    struct PendingAnswer {
        int side = 0;
        std::chrono::steady_clock::time_point plannedEnd;
    };
    std::optional<PendingAnswer> pending_;
    OverheadMeter overhead_;
};

}  // namespace wintarvo::gtp
