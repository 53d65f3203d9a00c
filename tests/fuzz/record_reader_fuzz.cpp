// Fuzzes the reading of a record from the text of a file: the cutting into lines and the
// reading of moves from the lines, exactly as readRecord does them once the file is read.
// Besides running clean under the sanitizers, every input must keep these promises: the lines
// are the text without its line ends, nothing lost or added; every move read names squares on
// the board or -1; a move on the board reads back from its own notation; and the reading with
// line numbers finds the same moves on increasing lines. Each line also goes through the reader
// of typed moves, which must either refuse it or give a move on the board that reads back the
// same from its record and compact notations.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/move.h"
#include "model/typed_move.h"
#include "records/file_utils.h"
#include "records/record_file.h"
#include "tests/fuzz/fuzz_require.h"

namespace {

using wintarvo::fuzz::require;

bool squareOrNone(wintarvo::Square s) { return s >= -1 && s <= 99; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wintarvo;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<std::string> lines;
    splitLines(text, lines);
    std::string joined;
    for (const auto& line : lines) {
        require(!line.empty() && line.find_first_of("\r\n") == std::string::npos);
        joined += line;
    }
    std::string withoutLineEnds;
    for (const char c : text)
        if (c != '\r' && c != '\n') withoutLineEnds += c;
    require(joined == withoutLineEnds);

    for (const auto& line : lines) {
        Move typed;
        if (!parseTypedMove(line, typed)) continue;
        require(typed.isValid() && typed.from <= 99 && typed.to <= 99 && typed.arrow <= 99);
        const std::string compact =
            squareText(typed.from) + squareText(typed.to) + squareText(typed.arrow);
        Move back, again;
        require(parseTypedMove(moveText(typed), back) && back == typed);
        require(parseTypedMove(compact, again) && again == typed);
    }

    const MoveList moves = movesFromRecordLines(lines);
    require(moves.size() <= lines.size());

    // The reading with line numbers finds the same moves, on lines that exist, in order.
    const std::vector<RecordMove> numbered = numberedMovesFromRecordText(text);
    require(numbered.size() == moves.size());
    int lastLine = 0;
    const auto lineEnds = static_cast<int>(text.size() - withoutLineEnds.size());
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        require(numbered[i].move == moves[i]);
        require(numbered[i].line > lastLine && numbered[i].line <= lineEnds + 1);
        require(text.find(numbered[i].text) != std::string_view::npos);
        lastLine = numbered[i].line;
    }
    for (const Move& m : moves) {
        require(squareOrNone(m.from) && squareOrNone(m.to) && squareOrNone(m.arrow));
        if (!m.isValid()) continue;
        Move back;
        require(parseMove(moveText(m), back) && back == m);
    }
    return 0;
}
