#include "records/file_utils.h"

#include "records/file_system.h"

namespace wintarvo {

bool fileExists(const std::string& path) {
    return !path.empty() && file_system::pathExists(path);
}

bool readWholeFile(const std::string& path, std::string& text) {
    return !path.empty() && file_system::readRegularFile(path, MAX_READ_BYTES, text);
}

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::string text;
    if (!readWholeFile(path, text) || text.empty()) return false;
    splitLines(text, lines);
    return true;
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    return !path.empty() && file_system::replaceRegularFile(path, text);
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines) {
    if (lines.empty()) return false;
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return writeWholeFile(path, text);
}

void splitLines(std::string_view text, std::vector<std::string>& lines) {
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        const auto stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) lines.emplace_back(text.substr(start, stop - start));
        start = stop + 1;
    }
}

}  // namespace wintarvo
