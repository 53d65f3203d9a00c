// The five small file utilities under the record file: an existence test, whole-file read and
// write, and line-wise read and write.
//
// Paths are narrow strings exactly as the user chose them; an empty path fails everywhere.
// Every operation reports failure by a false result (the ...Checked ones by their cause) and
// leaves its out-parameter as it was.
// Reading accepts only regular files of at most MAX_READ_BYTES bytes. Writing replaces the
// file's content as a whole or not at all: true means every byte is on the disk, false means
// the file that was there before (if any) holds what it held. A replaced file stays the same
// file to its other names (hard links), its owner and its group, and keeps its permission
// bits. Used from the user-interface thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/file_system.h"

namespace wintarvo {

using file_system::ReadFailure;
using file_system::WriteFailure;
using file_system::WriteResult;

// A full game record is about a kilobyte; four mebibytes leave room for any amount of comment
// while keeping a stray large file (or one that never ends) from being loaded into memory.
constexpr std::size_t MAX_READ_BYTES = 4 * 1024 * 1024;

// True when something exists at the path.
bool fileExists(const std::string& path);

// Appends the file's bytes, exactly as they are, to text.
bool readWholeFile(const std::string& path, std::string& text);

// The same, saying why the file could not be read; an empty path is Missing.
ReadFailure readWholeFileChecked(const std::string& path, std::string& text);

// The cause of a failed read in words, to follow the path in a message: "no such file",
// "a folder, not a file", "larger than the limit of 4 MiB" and so on.
std::string readFailureText(ReadFailure failure);

// Appends the file's lines (see splitLines) to lines. False as well when the file is empty.
bool readLines(const std::string& path, std::vector<std::string>& lines);

// Creates the file, or replaces the existing one, with exactly the bytes of text.
bool writeWholeFile(const std::string& path, const std::string& text);

// The same, saying why the file could not be written.
WriteResult writeWholeFileChecked(const std::string& path, const std::string& text);

// The cause of a failed write in words, to follow the path in a message: "the folder does not
// exist", "no space left on the device", or the system's own text for a rarer cause. A write
// whose old bytes could not be put back says so.
std::string writeFailureText(const WriteResult& result);

// True when both paths name one existing file (links followed, however the paths are spelt).
bool isSameFile(const std::string& a, const std::string& b);

// Writes every line followed by CR LF. False for an empty list.
bool writeLines(const std::string& path, const std::vector<std::string>& lines);

// The text writeLines writes: every line followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

// Cuts text at every CR and every LF and appends each non-empty run between them to lines, so
// CR LF, LF alone, CR alone and blank lines all separate lines alike and a last line without a
// line end still counts. Every other byte, NUL included, belongs to a line.
void splitLines(std::string_view text, std::vector<std::string>& lines);

// Hands each line that splitLines cuts from text to visit, in order, with its number counted as
// an editor counts lines: CR LF, LF alone and CR alone each end one line, blank lines included.
void forEachLine(std::string_view text, const std::function<void(std::string_view line, int number)>& visit);

}  // namespace wintarvo
