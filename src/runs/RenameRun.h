#pragma once
// The rename run and its undo. The rows themselves are the undo record: after a
// run, a renamed row holds its new name and "<ok>" + the old name, a refused
// one its intended name and "<err>" + the old name.

#include "planner/RenamePlan.h"
#include "rules/FileRow.h"
#include "runs/RunFileSystem.h"
#include "runs/RunResult.h"

#include <string_view>

namespace quorvane {

inline constexpr std::string_view kOkMark = "<ok>";
inline constexpr std::string_view kErrMark = "<err>";

// The plan's one listing of each folder, through the run's file system.
class RunFolderLister final : public FolderLister {
public:
    explicit RunFolderLister(RunFileSystem& fileSystem) : m_fileSystem(fileSystem) {}
    FolderFacts Describe(const std::string& folder) override {
        return m_fileSystem.DescribeFolder(folder);
    }

private:
    RunFileSystem& m_fileSystem;
};

// Renames every row with a non-empty new name, in the order of the plan
// (chains from their free end, cycles through a temporary name), so the
// outcome does not depend on the list order. The caller must not reorder the
// vector while the run is going (re-sort after it, when the model is told).
RunResult RenameFiles(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress = {});

// Gives every "<ok>" row its old name back. Rows are walked from last to first,
// so a chain such as b -> c then a -> b comes apart in the reverse order it was
// built. A row whose rename back succeeded no longer carries an undo mark.
RunResult UndoRenames(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress = {});

// The log line of a failed rename from folder + from to folder + to.
std::string RenameFailureLine(const std::string& folder, const std::string& from,
                              const std::string& to);

} // namespace quorvane
