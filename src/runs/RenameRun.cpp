#include "runs/RenameRun.h"

#include "platform/Rename.h"
#include "runs/RunLoop.h"

#include <cerrno>

namespace quorvane {
namespace {

std::string Marked(std::string_view mark, const std::string& name) {
    std::string text;
    text.reserve(mark.size() + name.size());
    text.append(mark).append(name);
    return text;
}

// A new name that is not one plain entry of the folder ("/", NUL, "." or "..")
// would move the file elsewhere, and one with control bytes hides what it is;
// both are refused before the file system sees them.
int RenameInFolder(RunFileSystem& fileSystem, const std::string& folder, const std::string& from,
                   const std::string& to) {
    if (!IsAcceptableNewName(to) || !IsValidEntryName(from))
        return EINVAL;
    return fileSystem.Rename(folder, from, to);
}

} // namespace

std::string RenameFailureLine(const std::string& folder, const std::string& from,
                              const std::string& to) {
    std::string line;
    line.reserve(2 * folder.size() + from.size() + to.size() + 20);
    line.append(folder)
        .append(from)
        .append(" -------> ")
        .append(folder)
        .append(to)
        .append("   [Fail]");
    return line;
}

RunResult RenameFiles(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectedRowCount(rows);
    VisitRunRows(rows, RunOrder::FirstToLast, progress, result, [&](FileRow& row) {
        if (row.newName.empty())
            return;
        const std::string& folder = *row.folder;
        const int error = RenameInFolder(fileSystem, folder, row.originalName, row.newName);
        if (error != 0) {
            ++result.failedFiles;
            result.log.push_back(RenameFailureLine(folder, row.originalName, row.newName));
        }
        std::string mark = Marked(error == 0 ? kOkMark : kErrMark, row.originalName);
        row.originalName = std::move(row.newName);
        row.newName = std::move(mark);
    });
    return result;
}

RunResult UndoRenames(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectedRowCount(rows);
    VisitRunRows(rows, RunOrder::LastToFirst, progress, result, [&](FileRow& row) {
        if (row.newName.compare(0, kOkMark.size(), kOkMark) != 0)
            return;
        const std::string& folder = *row.folder;
        const std::string oldName = row.newName.substr(kOkMark.size());
        if (RenameInFolder(fileSystem, folder, row.originalName, oldName) == 0) {
            // The row now matches the disk again and has nothing left to undo,
            // so a second Undo before the next scan cannot touch the file.
            row.originalName = oldName;
            row.newName.clear();
        } else {
            ++result.failedFiles;
            result.log.push_back(RenameFailureLine(folder, row.originalName, oldName));
        }
    });
    return result;
}

} // namespace quorvane
