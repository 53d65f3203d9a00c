#include "match/game_clock.h"

#include <cstdio>

#include "match/gtp_client.h"

namespace wintarvo::match {

std::string clockText(const ClockSettings& settings) {
    const long long ms = settings.time.count();
    switch (settings.kind) {
        case ClockKind::ByoYomi:
            return "byoyomi " + std::to_string(ms / 1000) + " s";
        case ClockKind::GameTime:
            return "game " + std::to_string(ms / 1000) + " s";
        case ClockKind::MoveTime:
            return "movetime " + std::to_string(ms) + " ms";
        case ClockKind::None:
            break;
    }
    return "none";
}

std::string secondsText(std::chrono::nanoseconds duration) {
    char text[48];
    std::snprintf(text, sizeof text, "%.3f s", std::chrono::duration<double>(duration).count());
    return text;
}

GameClock::GameClock(const ClockSettings& settings)
    : settings_(settings), left_{settings.time, settings.time} {}

std::string GameClock::timeSettingsCommand() const {
    const std::string seconds = std::to_string(settings_.time.count() / 1000);
    if (settings_.kind == ClockKind::ByoYomi) return "time_settings 0 " + seconds + " 1";
    if (settings_.kind == ClockKind::GameTime) return "time_settings " + seconds + " 0 0";
    return {};
}

std::string GameClock::timeLeftCommand(int side) const {
    const std::string colour = gtpColour(side);
    if (settings_.kind == ClockKind::ByoYomi)
        return "time_left " + colour + " " + std::to_string(settings_.time.count() / 1000) + " 1";
    if (settings_.kind == ClockKind::GameTime) {
        // Whole seconds, rounded down: the engine must not think it has more than it has.
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left_[side]);
        return "time_left " + colour + " " + std::to_string(seconds.count()) + " 0";
    }
    return {};
}

std::optional<std::chrono::nanoseconds> GameClock::allowance(int side) const {
    switch (settings_.kind) {
        case ClockKind::ByoYomi:
        case ClockKind::MoveTime:
            return settings_.time;
        case ClockKind::GameTime:
            return left_[side];
        case ClockKind::None:
            break;
    }
    return std::nullopt;
}

bool GameClock::charge(int side, std::chrono::nanoseconds think, std::string& overrun) {
    const auto allowed = allowance(side);
    if (!allowed) return true;
    if (settings_.kind == ClockKind::GameTime) {
        if (think <= left_[side]) {
            left_[side] -= think;
            return true;
        }
        overrun = std::string(sideName(side)) + " ran out of time: a move of " +
                  secondsText(think) + " with " + secondsText(left_[side]) + " of its " +
                  secondsText(settings_.time) + " left";
        left_[side] = std::chrono::nanoseconds(0);
        return false;
    }
    if (think <= *allowed) return true;
    overrun = std::string(sideName(side)) + " overran its time: a move of " + secondsText(think) +
              ", more than the " + secondsText(*allowed) + " allowed";
    return false;
}

}  // namespace wintarvo::match
