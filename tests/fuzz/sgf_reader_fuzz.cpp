// Fuzzes the reading of SGF records from the text of a file: the syntax down the main line and
// the Amazons game read from it. Besides running clean under the sanitizers (a deep nesting
// must not overflow the stack), every input must keep these promises: the main line has at
// least one and at most SGF_MAX_MAIN_LINE_NODES nodes, each property with an upper-case
// identifier and a value; a game that is read is legal move by move from the starting
// position; writing it gives valid UTF-8 without control characters, and reading that back
// gives the same moves and game information.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/move_generation.h"
#include "model/position.h"
#include "records/sgf_main_line.h"
#include "records/sgf_record.h"
#include "records/sgf_text.h"
#include "tests/fuzz/fuzz_require.h"

namespace {

using wintarvo::fuzz::require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wintarvo;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<SgfNode> nodes;
    std::string error;
    if (readSgfMainLine(text, nodes, error)) {
        require(!nodes.empty() && nodes.size() <= SGF_MAX_MAIN_LINE_NODES);
        for (const SgfNode& node : nodes)
            for (const SgfProperty& property : node) {
                require(!property.id.empty() && !property.values.empty());
                for (const char c : property.id)
                    require(c >= 'A' && c <= 'Z');
            }
    } else {
        require(nodes.empty() && !error.empty());
    }

    MoveList moves;
    SgfGameInfo info;
    error.clear();
    if (!readSgfRecord(text, moves, info, error)) {
        require(!error.empty() && moves.empty());
        return 0;
    }
    Position p;
    p.setStartPosition();
    for (const Move& m : moves) {
        require(isLegalMove(p, m));
        p.applyMove(m);
    }

    std::string written;
    require(writeSgfRecord(moves, info, written, error));
    require(looksLikeSgf(written));
    // What is written is UTF-8, whatever the record held, with no control character but the
    // line breaks between properties.
    require(isValidUtf8(written));
    for (const char c : written)
        require(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F));
    MoveList again;
    SgfGameInfo infoAgain;
    require(readSgfRecord(written, again, infoAgain, error));
    require(again == moves);
    require(infoAgain.white == info.white && infoAgain.black == info.black &&
            infoAgain.date == info.date);
    return 0;
}
