#include "filelist/Selection.h"

namespace quorvane {

void SelectAll(FileRows& rows) {
    for (FileRow& row : rows)
        row.selected = true;
}

void SelectNone(FileRows& rows) {
    for (FileRow& row : rows)
        row.selected = false;
}

void InvertSelection(FileRows& rows) {
    for (FileRow& row : rows)
        row.selected = !row.selected;
}

std::vector<std::string> SelectedPaths(const FileRows& rows) {
    std::vector<std::string> paths;
    for (const FileRow& row : rows)
        if (row.selected)
            paths.push_back(row.FullPath());
    return paths;
}

std::string TotalFilesText(std::size_t count) {
    return "Total files : " + std::to_string(count);
}

std::string SelectedFilesText(std::size_t count) {
    return "Selectd files : " + std::to_string(count);
}

} // namespace quorvane
