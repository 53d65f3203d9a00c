// The operating-system calls under the file utilities, and the only place in the core that makes
// them. Everything here takes a narrow path exactly as the user chose it and reports failure by
// its cause; nothing throws and nothing is written to the trace.
//
// Reading opens only regular files and never reads more than it was told to accept, so a
// device, a FIFO, a directory or a file that keeps growing is refused instead of blocking the
// program or filling its memory.
//
// Writing is all or nothing and keeps the file the user has. The bytes normally go to a new
// file beside the target, are flushed to the disk and only then renamed over it, so a failed
// save leaves whatever was there before untouched. Where that rename would give the user a
// different file (one with other hard links, one owned by someone else, or a writable file in
// a folder where no new file may be created), the file is overwritten in place instead: its
// old bytes are kept in memory and put back when the new ones do not all reach the disk. All
// names after the folder's are taken relative to the open folder, so a save works wherever
// the file's own path does, however long the folder's path is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wintarvo::file_system {

// True when something exists at the path (links followed).
bool pathExists(const std::string& path);

// Why a file could not be read.
enum class ReadFailure {
    None,
    Missing,         // nothing at the path (or a link that leads nowhere)
    Folder,          // a folder
    NotRegularFile,  // a device, a FIFO, a socket
    NoPermission,    // the user may not read it, or not reach it
    TooLarge,        // more bytes than the caller accepts
    Failed,          // the system refused it for another reason
};

// Appends the whole content of the regular file at the path to bytes and returns
// ReadFailure::None. Otherwise bytes stay unchanged and the result says why: the path names
// anything but a regular file, the file cannot be opened or read, or it holds more than
// maxBytes bytes.
ReadFailure readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Why a file could not be written.
enum class WriteFailure {
    None,
    NoFolder,        // the folder of the path does not exist
    NotAFolder,      // a part of the folder's path is a file
    Folder,          // a folder is in the way: the path names a folder
    NotRegularFile,  // a device, a FIFO, a socket
    LinkToNothing,   // a link that leads nowhere (it is not followed to create a file)
    NoPermission,    // the user may not write the file, or not create files in its folder
    NoNewFiles,      // the folder takes no new files at all (one of the system's, like /proc)
    NoSpace,         // no space left on the device
    ReadOnly,        // the file system is read-only
    TooLarge,        // beyond the file size limit
    Failed,          // the system refused it for another reason (systemError says which)
};

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    int systemError = 0;  // the errno behind the failure, 0 where there was none
    // The file was being overwritten in place, the new bytes did not all arrive, and putting
    // the old ones back failed too: the file may hold neither.
    bool oldBytesLost = false;

    bool ok() const { return failure == WriteFailure::None; }
};

// Creates or replaces the regular file at the path so that it holds exactly these bytes.
// Succeeds only when every byte has reached the disk. A path that names something other than
// a regular file, a file the caller may not write, or a link that leads nowhere is refused. A
// link to a regular file replaces the file it points to and keeps the link. A replaced file
// keeps its permission bits, its owner, its group and its other links; a new one gets 0666
// less the umask. On failure the file is as it was (unless oldBytesLost) and no temporary
// file remains.
WriteResult replaceRegularFile(const std::string& path, std::string_view bytes);

// True when both paths lead (links followed) to one existing file: the same device and inode,
// however the paths are spelt.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace wintarvo::file_system
