// A fresh folder under the system's temporary folder for one test, removed with everything in
// it when the test ends.
#pragma once

#include <string>
#include <vector>

namespace wintarvo::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The path of an entry of the folder.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // The names of the folder's entries, sorted.
    std::vector<std::string> entries() const;

private:
    std::string path_;
};

// Writes bytes to a file with the standard library, for setting up a test.
void writeFileBytes(const std::string& path, const std::string& bytes);
// The whole content of a file, or "<missing>" when it cannot be opened.
std::string fileBytes(const std::string& path);

}  // namespace wintarvo::testing
