#include "records/record_file.h"

#include "diag/trace.h"
#include "records/file_utils.h"

namespace wintarvo {
namespace {

const char* const RECORD_HEADER = "'Amazon Record File";
const char* const RECORD_TRAILER = "'End of File";

}  // namespace

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
    // 1. A missing file is the one failure worth a trace line.
    if (!fileExists(path)) {
        traceLine(path + " does not exist");
        return false;
    }
    // 2. Unreadable or empty: the list stays as it was.
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return false;
    // 3.-4. Otherwise the file's moves replace the list, even when there are none.
    moves_ = movesFromRecordLines(lines);
    return true;
}

MoveList movesFromRecordLines(const std::vector<std::string>& lines) {
    MoveList moves;
    for (const auto& line : lines) {
        if (line.empty() || line[0] == '\'' || line[0] == 'N') continue;
        Move m;
        if (parseMove(line, m)) moves.push_back(m);
    }
    return moves;
}

}  // namespace wintarvo
