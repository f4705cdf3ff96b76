#pragma once
// File list rows made from bare names, for tests of code that works on rows.

#include "rules/FileRow.h"

#include <initializer_list>

namespace quorvane::test {

inline FileRows RowsNamed(std::initializer_list<const char*> names) {
    FileRows rows;
    for (const char* name : names) {
        FileRow row;
        row.originalName = name;
        rows.push_back(row);
    }
    return rows;
}

} // namespace quorvane::test
