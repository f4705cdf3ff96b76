#include "filelist/StoredAttributes.h"

#include "platform/DirectorySearch.h"

namespace quorvane {

void MergeStoredAttributes(FileRows& rows, std::size_t first) {
    for (std::size_t i = first; i < rows.size(); ++i)
        rows[i].attributes |= ReadStoredAttributes(rows[i].FullPath());
}

} // namespace quorvane
