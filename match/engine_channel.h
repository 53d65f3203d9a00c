// The referee's line to one engine: send a line, receive a line by a deadline, read the clock.
//
// The match tool implements it over an engine process's pipes; tests and the fuzz target
// implement it with scripted engines in the same process and a clock of their own, so every
// decision of the referee (what counts as a move, an overrun, a crash) is made here in the
// core from what the channel reports, never from the operating system directly.
//
// One channel per engine, used by one thread at a time (the thread running that engine's game).
#pragma once

#include <chrono>
#include <string>

namespace wintarvo::match {

using MatchClock = std::chrono::steady_clock;
using TimePoint = MatchClock::time_point;

enum class Arrival {
    Line,     // a whole line came (without its line feed)
    Timeout,  // nothing complete by the deadline
    Closed,   // the engine's output ended (it exited, crashed or closed it)
};

struct ReceivedLine {
    Arrival arrival = Arrival::Closed;
    std::string text;
    // The line was longer than the channel keeps; the rest of it was dropped.
    bool tooLong = false;
};

class EngineChannel {
  public:
    virtual ~EngineChannel() = default;
    // Sends one line (the line feed is added); false when the engine no longer reads.
    virtual bool sendLine(const std::string& line) = 0;
    // The next line of the engine's output, waiting at most until the deadline.
    virtual ReceivedLine receiveLine(TimePoint deadline) = 0;
    // The time on the clock the deadlines and think times are measured with.
    virtual TimePoint now() = 0;
};

}  // namespace wintarvo::match
