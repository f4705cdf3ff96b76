#pragma once
// Deleting files to the desktop's trash (freedesktop.org), so they can be
// restored from there. A file is never deleted outright.

#include <string>
#include <vector>

namespace quorvane {

// Moves one file to the trash. True only when the file now lies in a trash
// folder ("Trash.../files/"); on false the file is where it was (or, if the
// trash misbehaved, as close to it as can be put back without replacing).
bool MoveToTrash(const std::string& path);

// Moves each file to the trash in turn; returns the paths that stay.
std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths);

// True when `trashedPath` names an entry of a trash "files" folder: the home
// trash ".../Trash/files/x", or a volume's ".Trash-UID/files/x" or
// ".Trash/UID/files/x".
bool IsInTrashFilesFolder(const std::string& trashedPath);

} // namespace quorvane
