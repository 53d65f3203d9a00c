// Fuzzes the referee's reading of an engine: one side of the game is the input's bytes, played
// back line by line whatever the referee asks; the other is the program's own GTP engine
// playing its first legal move. The first byte chooses the fuzzed side, whether it knows
// set_game, the clock and whether an opening is played. Besides running clean under the
// sanitizers, every input must keep these promises: the game ends, with a reason in words;
// its moves are legal from the starting position; a game that did not end on the board was
// lost by the fuzzed engine, and only a loser's stream is given up; the report line is one
// line of eleven fields; and the game can be written as an SGF record.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "match/match_report.h"
#include "match/openings.h"
#include "match/referee.h"
#include "model/move_generation.h"
#include "model/position.h"
#include "records/sgf_record.h"
#include "tests/fuzz/fuzz_require.h"
#include "tests/support/scripted_engine.h"

namespace {

using wintarvo::fuzz::require;
using namespace wintarvo::match;

ClockSettings clockFor(int choice) {
    using std::chrono::milliseconds;
    switch (choice) {
        case 1:
            return {ClockKind::ByoYomi, milliseconds(1000)};
        case 2:
            return {ClockKind::GameTime, milliseconds(5000)};
        case 3:
            return {ClockKind::MoveTime, milliseconds(100)};
        default:
            return {};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wintarvo;
    if (size == 0) return 0;
    const int control = data[0];
    const std::string output(reinterpret_cast<const char*>(data) + 1, size - 1);
    const int fuzzedSide = control & 1;
    RefereeSettings settings;
    settings.clock = clockFor((control >> 2) & 3);
    const MoveList opening = (control & 16) ? generateOpenings(1, 2, control).front() : MoveList{};

    TimePoint now{};
    testing::ReplayedOutput fuzzed(now, output);
    testing::ScriptedEngine sound(now);
    const RefereeEngine engines[2] = {{&fuzzed, (control & 2) != 0}, {&sound, true}};
    const GameOutcome o = playGame(opening, settings, engines[fuzzedSide], engines[1 - fuzzedSide]);

    require(!o.reasonText.empty());
    require(o.winner == 0 || o.winner == 1);
    Position p;
    p.setStartPosition();
    for (const Move& m : o.moves) {
        require(isLegalMove(p, m));
        p.applyMove(m);
    }
    if (o.reason == EndReason::NoMove)
        require(hasNoLegalMove(p) && o.winner == 1 - p.sideToMove);
    else
        require(o.winner != fuzzedSide);
    require(!o.spoilt[o.winner] && !(o.spoilt[1 - o.winner] && o.winner == fuzzedSide));
    for (const ThinkStats& think : o.think)
        require(think.largest <= think.total && think.moves <= 46);

    const std::string line = gameLine(1, true, o);
    require(std::count(line.begin(), line.end(), '\t') == 10);
    require(std::count(line.begin(), line.end(), '\n') == 1 && line.back() == '\n');
    std::string text, error;
    require(writeSgfRecord(o.moves, SgfGameInfo{"a", "b", "", sgfResult(o)}, text, error));
    return 0;
}
