// How long one think of the tournament engine may take, in milliseconds: a soft target (start
// no further iteration after it) and a hard deadline (cut the running iteration there), both
// counted from the moment the move was asked for.
//
// A game clock has main time, then Canadian byo-yomi: periods of byo-yomi time in which a
// number of stones (moves) must be played; byo-yomi time with no stones means no limit (GTP's
// way of saying so). With one move a period (time per move) the whole period is used; with
// several, a period's time is shared among its stones; in main time, what is left is shared
// among the moves the side is still expected to think about, plus a byo-yomi move's worth when
// byo-yomi follows. The hard deadline lets a move run long but always keeps the margin (the
// time from the deadline to the answer reaching the controller) and a few milliseconds for
// each move that may still have to be played.
//
// Where time not spent is kept for later moves (main time, a period of several stones), a move
// starts no iteration after half its share and may run to two shares. An iteration takes about
// five times as long as all before it together (the median over match games; a quarter take
// ten times or more), so one started late in the share is mostly cut, and a cut iteration's
// time is lost to every later move: with the soft target at the share itself and the deadline
// at three shares, moves spent three shares each and the last third of a game was played on a
// nearly empty clock; with the soft target at a quarter of the share, a game reached its split
// with a third of the clock unspent. Where it is not kept (one stone a period, a fixed move
// time), the whole period is the soft target and the deadline.
//
// Plain functions and values; any thread.
#pragma once

#include <array>
#include <cstdint>

namespace wintarvo {

struct GameClock {
    std::int64_t mainMs = 0;
    std::int64_t byoYomiMs = 0;
    int byoYomiStones = 0;
    bool limited() const { return !(byoYomiMs > 0 && byoYomiStones == 0); }
    bool byoYomiFollows() const { return byoYomiMs > 0 && byoYomiStones > 0; }
};

// A side's clock now: what is left of main time or of the byo-yomi period, and in byo-yomi the
// stones still to play in it (0 while main time runs).
struct ClockReading {
    std::int64_t leftMs = 0;
    int stones = 0;
};

struct MoveBudget {
    std::int64_t softMs = -1;
    std::int64_t hardMs = -1;
};

// The least time a later move must be left for a shallow think and its answer.
constexpr std::int64_t MIN_MOVE_MS = 10;
// Where unspent time is kept: no iteration starts after share / SOFT_PART, and a move may run to
// HARD_SHARES times its share before it is cut.
constexpr int SOFT_PART = 2;
constexpr int HARD_SHARES = 2;

// movesToGo: the moves the side is expected still to think about (at least 1); movesLeft: the
// most moves it can still have to make (at least movesToGo), each needing MIN_MOVE_MS.
MoveBudget budgetForClock(const GameClock& clock, const ClockReading& now, int movesToGo,
                          int movesLeft, std::int64_t marginMs);

// A fixed time a move (no clock): all of it but the margin, for both targets.
MoveBudget budgetForMoveTime(std::int64_t moveMs, std::int64_t marginMs);

// The margin to keep, from the measured time between a think's end (its deadline, or the moment
// it decided to stop) and its answer being written: one and a half times the longest of the
// last 32 plus 5 ms, at least FLOOR_MS; INITIAL_MS until something was measured. A loaded
// machine can hold a process back for a tenth of a second now and then; after one such tail the
// margin covers the next for as long as it is remembered.
class OverheadMeter {
  public:
    static constexpr std::int64_t INITIAL_MS = 50;
    static constexpr std::int64_t FLOOR_MS = 20;

    void record(std::int64_t tailMs);
    std::int64_t marginMs() const;

  private:
    std::array<std::int64_t, 32> recent_{};
    int count_ = 0;
};

}  // namespace wintarvo
