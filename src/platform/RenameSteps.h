#pragma once
// The single steps RenameNoReplace chooses between. They are separate so that
// the paths a local file system never takes (no RENAME_NOREPLACE, no hard
// links) can still be exercised directly.
//
// Every step works relative to a folder descriptor: names are looked up in
// the folder the caller holds, not wherever its path leads now. With
// AT_FDCWD the names may be whole paths.

#include <fcntl.h>
#include <string>

namespace quorvane::detail {

// Moves one name to another without replacing: renameat2 with
// RENAME_NOREPLACE, falling back to RenameByLink and then
// RenameOverPlaceholder. Returns 0 or an errno value (or kErrorSourceLost).
[[nodiscard]] int MoveNoReplace(int folder, const std::string& from, const std::string& to);

// link + unlink: atomic against replacing, for file systems without the flag.
[[nodiscard]] int RenameByLink(int folder, const std::string& from, const std::string& to);

// For file systems that refuse both the flag and hard links (FAT through
// FUSE): the target is created first with O_EXCL, so a name the volume cannot
// hold, or one another program has taken, is refused before the source is
// touched; the source is then renamed over that empty placeholder, which is
// removed again when the rename fails. Returns kErrorSourceLost when the
// file system dropped the source of a refused rename.
[[nodiscard]] int RenameOverPlaceholder(int folder, const std::string& from, const std::string& to);

// Whether a fresh listing of the name's folder holds an entry spelled byte
// for byte like it. A lookup by name may be answered from a cache that still
// shows an entry the file system has dropped; a listing asks the file system.
// A folder that cannot be listed counts as holding it.
[[nodiscard]] bool IsListed(int folder, const std::string& name);

// A change of letter case alone on a file system that sees both spellings as
// one entry: from -> unique temporary name -> to, rolled back on failure.
[[nodiscard]] int RenameThroughTemporary(int folder, const std::string& oldName,
                                         const std::string& newName);

// The same steps for whole paths.
[[nodiscard]] inline int MoveNoReplace(const std::string& from, const std::string& to) {
    return MoveNoReplace(AT_FDCWD, from, to);
}
[[nodiscard]] inline int RenameByLink(const std::string& from, const std::string& to) {
    return RenameByLink(AT_FDCWD, from, to);
}
[[nodiscard]] inline int RenameOverPlaceholder(const std::string& from, const std::string& to) {
    return RenameOverPlaceholder(AT_FDCWD, from, to);
}
// folder ends in "/".
[[nodiscard]] int RenameThroughTemporary(const std::string& folder, const std::string& oldName,
                                         const std::string& newName);

} // namespace quorvane::detail
