#include "records/record_file.h"

#include <utility>

#include "diag/trace.h"
#include "records/file_utils.h"

namespace wintarvo {

void RecordFile::setMoves(const MoveList& moves) { moves_ = moves; }

bool RecordFile::getMoves(MoveList& moves) const {
    if (moves_.empty()) return false;
    moves = moves_;
    return true;
}

bool RecordFile::writeRecord(const std::string& path) const {
    std::vector<std::string> lines;
    lines.reserve(moves_.size() + 2);
    lines.emplace_back(RECORD_HEADER);
    for (const Move& m : moves_) lines.push_back(moveText(m));
    lines.emplace_back(RECORD_TRAILER);
    return writeLines(path, lines);
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
    std::vector<std::string> lines;
    splitLines(text, lines);
    moves_ = movesFromRecordLines(lines);
    return true;
}

bool moveFromRecordLine(const std::string& line, Move& m) {
    if (line.empty() || line[0] == '\'' || line[0] == 'N') return false;
    m = Move::null();
    return parseMove(line, m);
}

MoveList movesFromRecordLines(const std::vector<std::string>& lines) {
    MoveList moves;
    for (const auto& line : lines) {
        Move m;
        if (moveFromRecordLine(line, m)) moves.push_back(m);
    }
    return moves;
}

bool beginsWithRecordHeader(std::string_view text) {
    return text.substr(0, text.find_first_of("\r\n")) == RECORD_HEADER;
}

std::vector<RecordMove> numberedMovesFromRecordText(std::string_view text) {
    std::vector<RecordMove> moves;
    forEachLine(text, [&moves](std::string_view line, int number) {
        std::string copy(line);
        Move m;
        if (moveFromRecordLine(copy, m)) moves.push_back({m, number, std::move(copy)});
    });
    return moves;
}

}  // namespace wintarvo
