#include "filelist/StoredAttributes.h"

#include "platform/DirectorySearch.h"

namespace quorvane {

void MergeStoredAttributes(FileRow& row) {
    if (row.storedAttributesMerged)
        return;
    row.attributes |= ReadStoredAttributes(row.FullPath());
    row.storedAttributesMerged = true;
}

void MergeStoredAttributes(FileRows& rows, std::size_t first) {
    for (std::size_t i = first; i < rows.size(); ++i)
        MergeStoredAttributes(rows[i]);
}

} // namespace quorvane
