#pragma once
// Deleting files to the desktop's trash (freedesktop.org), so they can be
// restored from there. A file is never deleted outright.

#include "platform/TrashMover.h"

#include <string>
#include <vector>

namespace quorvane {

// Moves each file to the trash in turn; returns the paths that stay.
std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths);

} // namespace quorvane
