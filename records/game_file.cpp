#include "records/game_file.h"

#include <vector>

#include "diag/trace.h"
#include "model/move_generation.h"
#include "model/position.h"
#include "records/file_utils.h"
#include "records/record_file.h"

namespace wintarvo {
namespace {

bool endsWith(const std::string& path, std::string_view ending) {
    if (path.size() < ending.size()) return false;
    for (std::size_t i = 0; i < ending.size(); ++i) {
        char c = path[path.size() - ending.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ending[i]) return false;
    }
    return true;
}

}  // namespace

bool readGameFile(const std::string& path, GameFile& file, std::string& error) {
    // 1. The steps and the trace line of RecordFile::readRecord, up to the text.
    if (!fileExists(path)) {
        traceLine(path + " does not exist");
        error = readFailureText(ReadFailure::Missing);
        return false;
    }
    std::string text;
    if (const ReadFailure failure = readWholeFileChecked(path, text); failure != ReadFailure::None) {
        error = readFailureText(failure);
        return false;
    }
    if (text.empty()) {
        error = "the file is empty";
        return false;
    }
    // 2. The content decides the reader; the caller learns which one even on a refusal.
    GameFile read;
    read.format = looksLikeSgf(text) ? GameFileFormat::Sgf : GameFileFormat::Record;
    file.format = read.format;
    if (read.format == GameFileFormat::Sgf) {
        if (!readSgfRecord(text, read.moves, read.info, error)) return false;
    } else {
        std::vector<std::string> lines;
        splitLines(text, lines);
        read.moves = movesFromRecordLines(lines);
    }
    if (read.moves.empty()) {
        error = "it holds no moves";
        return false;
    }
    file = std::move(read);
    return true;
}

bool writeGameFile(const std::string& path, GameFileFormat format, const MoveList& moves,
                   const SgfGameInfo& info, std::string& error) {
    bool written = false;
    if (format == GameFileFormat::Record) {
        RecordFile record;
        record.setMoves(moves);
        written = record.writeRecord(path);
    } else {
        std::string text;
        if (!writeSgfRecord(moves, info, text, error)) return false;
        written = writeWholeFile(path, text);
    }
    if (!written) error = "the file cannot be written";
    return written;
}

GameFileFormat formatForSaving(const std::string& path, GameFileFormat chosen) {
    if (endsWith(path, ".sgf")) return GameFileFormat::Sgf;
    if (endsWith(path, ".amz")) return GameFileFormat::Record;
    return chosen;
}

MoveList legalLineFromStart(const MoveList& moves) {
    Position p;
    p.setStartPosition();
    MoveList line;
    for (const Move& m : moves) {
        if (!isLegalMove(p, m)) continue;
        p.applyMove(m);
        line.push_back(m);
    }
    return line;
}

}  // namespace wintarvo
