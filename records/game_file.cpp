#include "records/game_file.h"

#include <utility>

#include "diag/trace.h"
#include "model/text.h"
#include "records/file_utils.h"
#include "records/game_replay.h"
#include "records/record_file.h"

namespace wintarvo {
namespace {

// Long enough for any move line and a good part of a line written in another notation.
constexpr std::size_t QUOTED_LINE = 60;

void skipLine(GameFile& file, int line, std::string_view text, SkippedLine::Cause cause) {
    ++file.skippedCount;
    if (cause == SkippedLine::Cause::NotLegal) ++file.notLegalCount;
    if (file.skipped.size() < MAX_SKIPPED_KEPT)
        file.skipped.push_back({line, text::quoted(text, QUOTED_LINE), cause});
}

// A record file: its lines in order, each move replayed as it comes.
void readRecord(std::string_view text, GameFile& file) {
    file.recordHeader = beginsWithRecordHeader(text);
    GameReplay replay;
    readRecordLines(text, [&](int number, std::string_view line, const Move* m) {
        if (m == nullptr) {
            skipLine(file, number, line, SkippedLine::Cause::NotAMove);
        } else if (replay.play(*m)) {
            file.places.push_back(number);
        } else {
            skipLine(file, number, line, SkippedLine::Cause::NotLegal);
        }
    });
    file.moves = replay.moves();
    file.position = replay.position();
}

bool readSgf(std::string_view text, GameFile& file, std::string& error) {
    if (!readSgfRecord(text, file.moves, file.info, error, &file.places)) return false;
    // The reader has replayed the main line through the rules already; all that is left is
    // where it leads.
    file.position.setStartPosition();
    for (const Move& m : file.moves)
        file.position.applyMove(m);
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
    return readGameText(text, file, error);
}

bool readGameText(std::string_view text, GameFile& file, std::string& error) {
    if (text.empty()) {
        error = "the file is empty";
        return false;
    }
    // 2. The content decides the reader; the caller learns which one even on a refusal.
    GameFile read;
    read.format = !beginsWithRecordHeader(text) && looksLikeSgf(text) ? GameFileFormat::Sgf
                                                                      : GameFileFormat::Record;
    file.format = read.format;
    if (read.format == GameFileFormat::Sgf) {
        if (!readSgf(text, read, error)) return false;
    } else {
        readRecord(text, read);
    }
    file = std::move(read);
    return true;
}

bool writeGameFile(const std::string& path, GameFileFormat format, const MoveList& moves,
                   const SgfGameInfo& info, std::string& error) {
    std::string text;
    if (format == GameFileFormat::Record) {
        text = joinLines(recordLines(moves));
    } else if (!writeSgfRecord(moves, info, text, error)) {
        return false;
    }
    const WriteResult written = writeWholeFileChecked(path, text);
    if (!written.ok()) error = writeFailureText(written);
    return written.ok();
}

GameFileFormat formatForSaving(const std::string& path, GameFileFormat chosen) {
    if (text::endsWithIgnoringCase(path, ".sgf")) return GameFileFormat::Sgf;
    if (text::endsWithIgnoringCase(path, ".amz")) return GameFileFormat::Record;
    return chosen;
}

}  // namespace wintarvo
