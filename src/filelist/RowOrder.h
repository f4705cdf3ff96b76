#pragma once
// Ordering the rows of the renaming list by one of its columns, and the sort
// state that header clicks and the Arrange entries move through.

#include "rules/FileRow.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Column positions of the renaming list.
enum ListColumn : int {
    kColumnOriginalName = 0,
    kColumnNewName = 1,
    kColumnType = 2,
    kColumnAttribute = 3,
    kColumnSize = 4,
    kColumnModified = 5,
    kColumnPath = 6,
    kColumnCount = 7
};

// Text order of the list: the letters a-z compare as A-Z, every other byte by
// its code; a text that begins another goes first. Negative, 0 or positive.
int CompareListText(std::string_view a, std::string_view b);

// Negative when `a` goes before `b` in ascending order of `column`.
// "Size" compares the shown kilobyte counts as numbers (2 before 10);
// "Modified" compares the time itself, which is the order of its fixed-width
// cell text; the other columns compare their cell texts with CompareListText.
// A column outside the list compares every pair as equal.
int ListViewCompare(const FileRow& a, const FileRow& b, int column);

// Sorts the rows once by `column`. Rows that compare equal keep their present
// order, in either direction.
void SortRows(FileRows& rows, int column, bool ascending);

// Brings rows appended to an ordered list into order: the rows before
// `firstAppended` already stand in the order SortRows would give. Gives the
// same result as SortRows, in time linear in the list plus sorting the new rows.
void SortAppendedRows(FileRows& rows, std::size_t firstAppended, int column, bool ascending);

// A folder's files and subfolder names in the order the scan hands them over:
// ascending as a click on "Original Name" orders the list, names that differ
// only in letter case in the order the folder gave them. A folder listed this
// way reads the same on every file system, whatever order its entries are
// kept in, so numbering follows the names.
void SortInNameOrder(FileRows& rows);
void SortInNameOrder(std::vector<std::string>& names);

// True when the rows already stand in the order SortRows would give.
bool IsSorted(const FileRows& rows, int column, bool ascending);

// The list's `SortColumn` and `SortAscending`; the list starts ascending by
// "Original Name".
struct SortState {
    int column = kColumnOriginalName;
    bool ascending = true;
    bool operator==(const SortState&) const = default;
};

// A click on a column header: the same column again reverses the direction,
// another column starts ascending.
SortState AfterColumnClick(SortState state, int column);

// An Arrange entry ("By Name", "By Type", ...): it first makes its column the
// sort column and then acts as a header click on it, so every choice of an
// entry reverses the direction, whatever the list was ordered by before.
SortState AfterArrange(SortState state, int column);

} // namespace quorvane
