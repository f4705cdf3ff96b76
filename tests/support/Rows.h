#pragma once
// File list rows made from bare names, for tests of code that works on rows.

#include "rules/FileRow.h"

#include <initializer_list>
#include <vector>

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

// One field of every row, in list order: FieldOfEach(rows, &FileRow::newName).
template <typename Field>
std::vector<Field> FieldOfEach(const FileRows& rows, Field FileRow::*field) {
    std::vector<Field> values;
    values.reserve(rows.size());
    for (const FileRow& row : rows)
        values.push_back(row.*field);
    return values;
}

} // namespace quorvane::test
