#pragma once
// A list row from what one stat learned of a folder entry: every walk and the
// files given by name fill their rows the same way.

#include "platform/DirectorySearch.h"
#include "rules/FileRow.h"

#include <utility>

namespace quorvane {

inline void FillFileRow(FileRow& row, DirEntry&& entry, const FolderPath& folder) {
    row.originalName = std::move(entry.name);
    row.folder = folder;
    row.sizeBytes = entry.size;
    row.modifiedUtc = entry.modifiedUtc;
    row.attributes = static_cast<std::uint16_t>(entry.attributes);
    row.inode = entry.inode;
    row.device = entry.device;
    row.stamp = entry.stamp;
    row.symbolicLink = entry.symbolicLink;
}

// A folder's row has no size, and the walks never take a folder through a link.
inline void FillFolderRow(FileRow& row, DirEntry&& entry, const FolderPath& parent) {
    FillFileRow(row, std::move(entry), parent);
    row.sizeBytes = 0;
    row.symbolicLink = false;
    row.isFolder = true;
}

} // namespace quorvane
