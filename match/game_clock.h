// The match's clock: what the engines are told of it and what it allows each think.
//
// Three kinds besides none. Byo-yomi: every move within the same period (GTP time_settings 0
// S 1, and time_left COLOUR S 1 before each genmove). Game time: sudden death, one allowance
// for all of a side's moves (time_settings S 0 0; before each genmove time_left with the
// whole seconds left, rounded down, and 0 stones). Move time: a fixed time a move that the
// engines are given on their own command lines, so nothing is sent; it is still enforced.
//
// The referee measures each think and charges it here; a think longer than the allowance is
// an overrun, with a reason in words. One object per game, used by the thread running it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace wintarvo::match {

enum class ClockKind { None, ByoYomi, GameTime, MoveTime };

struct ClockSettings {
    ClockKind kind = ClockKind::None;
    // The byo-yomi period, a side's time for the whole game, or the time a move.
    std::chrono::milliseconds time{0};
};

// "none", "byoyomi 1 s", "game 60 s", "movetime 500 ms": the clock in the match's header.
std::string clockText(const ClockSettings& settings);

// "1.234 s".
std::string secondsText(std::chrono::nanoseconds duration);

class GameClock {
  public:
    explicit GameClock(const ClockSettings& settings);

    // The time_settings command the engines get before a game, or empty.
    std::string timeSettingsCommand() const;
    // The time_left command the side's engine gets before its genmove, or empty.
    std::string timeLeftCommand(int side) const;
    // How long the side may think now; none without a clock.
    std::optional<std::chrono::nanoseconds> allowance(int side) const;
    // Charges a think to the side. False when it took more than the allowance; `overrun` then
    // says so in words.
    bool charge(int side, std::chrono::nanoseconds think, std::string& overrun);

  private:
    ClockSettings settings_;
    std::chrono::nanoseconds left_[2];
};

}  // namespace wintarvo::match
