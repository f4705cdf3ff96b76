#pragma once
// The single steps RenameNoReplace chooses between. They are separate so that
// the paths a local file system never takes (no RENAME_NOREPLACE, no hard
// links) can still be exercised directly.

#include <string>

namespace quorvane::detail {

// Moves one full path to another without replacing: renameat2 with
// RENAME_NOREPLACE, falling back to RenameByLink and then RenameAfterCheck.
// Returns 0 or an errno value.
[[nodiscard]] int MoveNoReplace(const std::string& from, const std::string& to);

// link + unlink: atomic against replacing, for file systems without the flag.
[[nodiscard]] int RenameByLink(const std::string& from, const std::string& to);

// lstat of the target, then a plain rename: for file systems that refuse
// both the flag and hard links.
[[nodiscard]] int RenameAfterCheck(const std::string& from, const std::string& to);

// A change of letter case alone on a file system that sees both spellings as
// one entry: from -> unique temporary name -> to, rolled back on failure.
[[nodiscard]] int RenameThroughTemporary(const std::string& folder, const std::string& oldName,
                                         const std::string& newName);

} // namespace quorvane::detail
