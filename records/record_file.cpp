#include "records/record_file.h"

#include <utility>

#include "diag/trace.h"
#include "model/text.h"
#include "records/file_utils.h"

namespace wintarvo {

void RecordFile::setMoves(const MoveList& moves) { moves_ = moves; }

bool RecordFile::getMoves(MoveList& moves) const {
    if (moves_.empty()) return false;
    moves = moves_;
    return true;
}

bool RecordFile::writeRecord(const std::string& path) const {
    return writeLines(path, recordLines(moves_));
}

bool RecordFile::readRecord(const std::string& path) {
    ReadFailure failure = ReadFailure::None;
    return readRecord(path, failure);
}

bool RecordFile::readRecord(const std::string& path, ReadFailure& failure) {
    // 1. A missing file is the one failure worth a trace line.
    if (!fileExists(path)) {
        traceLine(path + " does not exist");
        failure = ReadFailure::Missing;
        return false;
    }
    // 2. Unreadable or empty: the list stays as it was.
    std::string text;
    failure = readWholeFileChecked(path, text);
    if (failure != ReadFailure::None || text.empty()) return false;
    // 3.-4. Otherwise the file's moves replace the list, even when there are none.
    moves_ = movesFromRecordText(text);
    return true;
}

bool moveFromRecordLine(const std::string& line, Move& m) {
    if (line.empty() || line[0] == '\'' || line[0] == 'N') return false;
    m = Move::null();
    return parseMove(line, m);
}

namespace {

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        text.remove_prefix(BYTE_ORDER_MARK.size());
    return text;
}

}  // namespace

bool beginsWithRecordHeader(std::string_view text) {
    text = withoutByteOrderMark(text);
    return text.substr(0, text.find_first_of("\r\n")) == RECORD_HEADER;
}

void readRecordLines(
    std::string_view text,
    const std::function<void(int number, std::string_view line, const Move* move)>& visit) {
    forEachLine(withoutByteOrderMark(text), [&visit](std::string_view line, int number) {
        const std::string copy(line);
        Move m;
        if (moveFromRecordLine(copy, m)) {
            visit(number, line, &m);
        } else if (line[0] != '\'' && line[0] != 'N' &&
                   !text::isBlankText(line, text::RECORD_BLANKS)) {
            visit(number, line, nullptr);
        }
    });
}

MoveList movesFromRecordText(std::string_view text) {
    MoveList moves;
    readRecordLines(text, [&moves](int, std::string_view, const Move* m) {
        if (m != nullptr) moves.push_back(*m);
    });
    return moves;
}

std::vector<std::string> recordLines(const MoveList& moves) {
    std::vector<std::string> lines;
    lines.reserve(moves.size() + 2);
    lines.emplace_back(RECORD_HEADER);
    for (const Move& m : moves)
        lines.push_back(moveText(m));
    lines.emplace_back(RECORD_TRAILER);
    return lines;
}

}  // namespace wintarvo
