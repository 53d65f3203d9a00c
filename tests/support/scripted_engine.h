// GTP engines for the referee without processes: the program's own GTP engine (playing the
// first legal move) behind an EngineChannel, with a script that can put other output, a long
// think, silence or an end in place of any answer. Time is a clock the engines share and move
// forward as they "think", so overruns and silences are decided without waiting.
//
// For tests and fuzz targets; one thread.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gtp/gtp_engine.h"
#include "match/engine_channel.h"

namespace wintarvo::testing {

struct ScriptedAnswer {
    enum class Kind { Output, Silent, Close };
    Kind kind = Kind::Output;
    // What the engine writes (lines ended by '\n'); unset: its own answer.
    std::optional<std::string> output;
    // How long it takes to answer.
    std::chrono::milliseconds think{10};
};

// Given the command and how many genmoves came before it, an answer in place of the engine's
// own, or nothing.
using EngineScript =
    std::function<std::optional<ScriptedAnswer>(const std::string& command, int genmoves)>;

// The answer to the n-th genmove (from 0) replaced.
EngineScript atGenmove(int n, ScriptedAnswer answer);

class ScriptedEngine final : public match::EngineChannel {
  public:
    // The engine's genmove takes `think`, every other command no time.
    explicit ScriptedEngine(match::TimePoint& clock, EngineScript script = {},
                            std::chrono::milliseconds think = std::chrono::milliseconds(10));

    bool sendLine(const std::string& line) override;
    match::ReceivedLine receiveLine(match::TimePoint deadline) override;
    match::TimePoint now() override { return clock_; }

    // Every line the referee sent.
    const std::vector<std::string>& sent() const { return sent_; }

  private:
    match::TimePoint& clock_;
    EngineScript script_;
    std::chrono::milliseconds think_;
    gtp::GtpEngine engine_;
    std::vector<std::string> sent_;
    std::deque<std::string> pending_;
    match::TimePoint readyAt_{};
    int genmoves_ = 0;
    bool closed_ = false;
};

// Output of an engine as lines, each returned once in turn, 1 ms apart; then the end. For the
// fuzz target: whatever was sent is ignored.
class ReplayedOutput final : public match::EngineChannel {
  public:
    ReplayedOutput(match::TimePoint& clock, const std::string& bytes);

    bool sendLine(const std::string&) override { return true; }
    match::ReceivedLine receiveLine(match::TimePoint deadline) override;
    match::TimePoint now() override { return clock_; }

  private:
    match::TimePoint& clock_;
    std::deque<std::string> lines_;
};

}  // namespace wintarvo::testing
