#pragma once

#include "rules/FileRow.h"

#include <cstddef>

namespace quorvane {

// The scan reads one stat per file and leaves the bits a Samba share stores
// (read-only, hidden, system, archive) unread; the list reads them for the
// rows it draws. Ordering by "Attribute" needs them for every row, so they are
// merged into the rows from `first` on before such a sort.
void MergeStoredAttributes(FileRows& rows, std::size_t first = 0);

} // namespace quorvane
