#pragma once
// Renaming a file inside its folder without ever replacing an existing file.

#include "text/EntryName.h" // IsValidEntryName, IsAcceptableNewName

#include <string>

namespace quorvane {

// The error of a move whose source is gone after the file system refused it:
// only the last-resort plain rename can leave a file so, and a fresh listing
// of the folder is what tells.
inline constexpr int kErrorSourceLost = -1;

// Renames folder + oldName to folder + newName (folder ends in "/").
// Returns 0 on success, else an errno value: EEXIST when the target exists,
// EINVAL for a name that is not a valid entry name. Identical names succeed
// without touching the disk.
[[nodiscard]] int RenameNoReplace(const std::string& folder, const std::string& oldName,
                                  const std::string& newName);

// The same inside a folder held open by the caller: both names are looked up
// in that folder, whatever its path leads to by now.
[[nodiscard]] int RenameNoReplaceAt(int folder, const std::string& oldName,
                                    const std::string& newName);

} // namespace quorvane
