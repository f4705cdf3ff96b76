#pragma once
// The files of the run history ("History.sqlite", its "-wal" and "-shm", and
// the run lock) are the user's own: a link put in their place, or a file
// another user made there, could lead the history's writes elsewhere or feed
// it someone else's records. They are never followed and never used then.

#include <cstdint>
#include <string>

namespace quorvane {

// Empty when `path` may be used: it does not exist, or it is a plain file of
// this user reached without a link. Otherwise the reason in words.
std::string RefuseForeignFile(const std::string& path);

// Opens `path` for reading and writing without following a link, creating
// it with mode 0600 when it is missing, and only when it is this user's plain
// file. Returns the descriptor, or -1 with `reason` set.
int OpenOwnFile(const std::string& path, std::string& reason);

// Which file a path names now (device and inode), or 0 and 0 when none.
struct FileAt {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileAt&, const FileAt&) = default;
};
FileAt FileAtPath(const std::string& path);

// The size of a file, 0 when there is none.
std::uint64_t FileSize(const std::string& path);

// Copies a file byte for byte to a new file (never replacing one); false
// when that fails.
bool CopyFileAside(const std::string& from, const std::string& to);

} // namespace quorvane
