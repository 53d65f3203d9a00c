// Fuzzes the GTP engine's reading of its input: the bytes a controller sends, cut into capped
// lines, cleaned up, split and answered by every command. The think is a stand-in that takes
// the first legal move, so the run exercises the protocol rather than the search. Besides
// running clean under the sanitizers, every input must keep these promises: the output is a
// series of responses, each "=" or "?" and ended by an empty line, with no empty line inside
// one and no more of them than lines read; and the game only ever holds legal positions
// (each genmove's move is legal, the side to move always has its four amazons).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "gtp/gtp_engine.h"
#include "model/move_generation.h"
#include "model/move_list.h"
#include "tests/fuzz/fuzz_require.h"

namespace {

using wintarvo::fuzz::require;

wintarvo::ThinkAnswer firstLegalMove(const wintarvo::ThinkRequest& request) {
    wintarvo::MoveList moves;
    wintarvo::generateMoves(request.position, moves);
    wintarvo::ThinkAnswer answer;
    answer.found = !moves.empty();
    if (answer.found) answer.move = moves[0];
    require(request.timeLimit >= -1);
    require(!request.deadlineSeconds || *request.deadlineSeconds >= 0.0);
    return answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wintarvo;
    const std::string text(reinterpret_cast<const char*>(data), size);
    gtp::EngineSettings settings;
    settings.version = "0";
    gtp::GtpEngine engine(settings, firstLegalMove);
    std::istringstream in(text);
    std::ostringstream out;
    engine.run(in, out);

    const std::string answers = out.str();
    std::size_t responses = 0;
    for (std::size_t at = 0; at < answers.size();) {
        const std::size_t end = answers.find("\n\n", at);
        require(end != std::string::npos);
        require(answers[at] == '=' || answers[at] == '?');
        ++responses;
        at = end + 2;
    }
    require(responses <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);

    const Position& p = engine.position();
    require(std::count(p.cells.begin(), p.cells.end(), WhiteAmazon) == 4);
    require(std::count(p.cells.begin(), p.cells.end(), BlackAmazon) == 4);
    require(p.sideToMove == 0 || p.sideToMove == 1);
    return 0;
}
