#include "records/file_utils.h"

#include <cerrno>
#include <cstring>

#include "records/file_system.h"

namespace wintarvo {

bool fileExists(const std::string& path) {
    return !path.empty() && file_system::pathExists(path);
}

bool readWholeFile(const std::string& path, std::string& text) {
    return readWholeFileChecked(path, text) == ReadFailure::None;
}

ReadFailure readWholeFileChecked(const std::string& path, std::string& text) {
    if (path.empty()) return ReadFailure::Missing;
    return file_system::readRegularFile(path, MAX_READ_BYTES, text);
}

std::string readFailureText(ReadFailure failure) {
    switch (failure) {
        case ReadFailure::None: return "read";
        case ReadFailure::Missing: return "no such file";
        case ReadFailure::Folder: return "a folder, not a file";
        case ReadFailure::NotRegularFile: return "not a regular file";
        case ReadFailure::NoPermission: return "not readable (permission denied)";
        case ReadFailure::TooLarge:
            return "larger than the limit of " + std::to_string(MAX_READ_BYTES / (1024 * 1024)) + " MiB";
        case ReadFailure::Failed: break;
    }
    return "cannot be read";
}

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::string text;
    if (!readWholeFile(path, text) || text.empty()) return false;
    splitLines(text, lines);
    return true;
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    return writeWholeFileChecked(path, text).ok();
}

WriteResult writeWholeFileChecked(const std::string& path, const std::string& text) {
    if (path.empty()) return {WriteFailure::Failed, ENOENT};
    return file_system::replaceRegularFile(path, text);
}

std::string writeFailureText(const WriteResult& result) {
    std::string text;
    switch (result.failure) {
        case WriteFailure::None:
            return "written";
        case WriteFailure::NoFolder:
            text = "the folder does not exist";
            break;
        case WriteFailure::NotAFolder:
            text = "a part of the path is a file, not a folder";
            break;
        case WriteFailure::Folder:
            text = "a folder is in the way";
            break;
        case WriteFailure::NotRegularFile:
            text = "not a regular file";
            break;
        case WriteFailure::LinkToNothing:
            text = "a link that leads nowhere";
            break;
        case WriteFailure::NoPermission:
            text = "not writable (permission denied)";
            break;
        case WriteFailure::NoNewFiles:
            text = "no file can be created in that folder";
            break;
        case WriteFailure::NoSpace:
            text = "no space left on the device";
            break;
        case WriteFailure::ReadOnly:
            text = "the file system is read-only";
            break;
        case WriteFailure::TooLarge:
            text = "too large (beyond the file size limit)";
            break;
        case WriteFailure::Failed:
            text = result.systemError != 0 ? std::strerror(result.systemError)
                                           : "it cannot be written";
            break;
    }
    if (result.oldBytesLost)
        text += "; putting its old content back failed too, so the file may now be damaged";
    return text;
}

bool isSameFile(const std::string& a, const std::string& b) {
    return !a.empty() && !b.empty() && file_system::sameFile(a, b);
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines) {
    if (lines.empty()) return false;
    return writeWholeFile(path, joinLines(lines));
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void splitLines(std::string_view text, std::vector<std::string>& lines) {
    forEachLine(text, [&lines](std::string_view line, int) { lines.emplace_back(line); });
}

void forEachLine(std::string_view text, const std::function<void(std::string_view line, int number)>& visit) {
    int number = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        const auto stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) visit(text.substr(start, stop - start), number);
        // The CR of a CR LF leaves the counting to its LF.
        const bool crBeforeLf = stop + 1 < text.size() && text[stop] == '\r' && text[stop + 1] == '\n';
        if (stop < text.size() && !crBeforeLf) ++number;
        start = stop + 1;
    }
}

}  // namespace wintarvo
