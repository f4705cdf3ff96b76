#pragma once
// The selection commands of the renaming list, over the rows' `selected` flags.

#include "rules/FileRow.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane {

void SelectAll(FileRows& rows);
void SelectNone(FileRows& rows);
void InvertSelection(FileRows& rows);

// The full paths of the selected rows, in list order.
std::vector<std::string> SelectedPaths(const FileRows& rows);

// The status bar panels: "Total files : N" and "Selectd files : N".
std::string TotalFilesText(std::size_t count);
std::string SelectedFilesText(std::size_t count);

} // namespace quorvane
