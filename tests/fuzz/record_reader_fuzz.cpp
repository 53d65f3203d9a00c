// Fuzzes the reading of a game file from its text: the cutting into lines, the reading of
// moves from the lines (readRecordLines, as RecordFile and the game file reader do it) and the
// game file reader itself. Besides running clean under the sanitizers, every input must keep
// these promises: the lines are the text without its line ends, nothing lost or added; the
// lines read come on increasing lines that exist; every move read names squares on the board
// or -1, and a move on the board reads back from its own notation; the game read is legal from
// the start, and each move line of a record is either in it or skipped as not legal. Each line
// also goes through the reader of typed moves, which must either refuse it or give a move on
// the board that reads back the same from its record and compact notations.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/move.h"
#include "model/move_generation.h"
#include "model/typed_move.h"
#include "records/file_utils.h"
#include "records/game_file.h"
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

    // The one reading of the lines: moves and lines that are not moves, on lines that exist,
    // in order; every move read names squares on the board or -1, and one on the board reads
    // back from its own notation.
    MoveList moves;
    int lastLine = 0;
    const auto lineEnds = static_cast<int>(text.size() - withoutLineEnds.size());
    readRecordLines(text, [&](int number, std::string_view line, const Move* m) {
        require(number > lastLine && number <= lineEnds + 1);
        require(!line.empty() && text.find(line) != std::string_view::npos);
        lastLine = number;
        if (m == nullptr) return;
        moves.push_back(*m);
        require(squareOrNone(m->from) && squareOrNone(m->to) && squareOrNone(m->arrow));
        if (!m->isValid()) return;
        Move back;
        require(parseMove(moveText(*m), back) && back == *m);
    });
    require(moves.size() <= lines.size());

    // The game file reader: a record file is always read, its game is legal from the start,
    // and every move line is either in the game or skipped as not legal.
    GameFile file;
    std::string error;
    if (!readGameText(text, file, error)) {
        require(!error.empty() && (text.empty() || file.format == GameFileFormat::Sgf));
        return 0;
    }
    require(file.places.size() == file.moves.size());
    require(file.skipped.size() <= MAX_SKIPPED_KEPT && file.skipped.size() <= file.skippedCount);
    Position p;
    p.setStartPosition();
    for (const Move& m : file.moves) {
        require(isLegalMove(p, m));
        p.applyMove(m);
    }
    require(!p.differs(file.position));
    if (file.format == GameFileFormat::Record)
        require(file.moves.size() + file.notLegalCount == moves.size());
    return 0;
}
