// What a recorded run left on disk, judged by each file's identity: the
// record may have lost its last outcomes, the disk has not.
#include "history/HistoryStore.h"
#include "runs/RunFileSystem.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quorvane {

namespace {

// Which steps renamed a folder the run went on in: the folders the steps
// lie in, each with the folders above it, and the names such a folder took
// on its way (a temporary name of a cycle).
std::vector<bool> FolderSteps(const std::vector<RecordedStep>& steps) {
    std::unordered_set<std::string> folders;
    const std::string* last = nullptr;
    for (const RecordedStep& step : steps) {
        if ((last && *last == step.folder) || folders.count(step.folder) != 0)
            continue;
        last = &step.folder;
        for (std::size_t slash = step.folder.find('/'); slash != std::string::npos;
             slash = step.folder.find('/', slash + 1))
            folders.insert(step.folder.substr(0, slash + 1));
    }
    std::vector<bool> isFolder(steps.size(), false);
    for (std::size_t s = 0; s < steps.size(); ++s) {
        isFolder[s] = folders.count(steps[s].folder + steps[s].from + "/") != 0;
        if (isFolder[s])
            folders.insert(steps[s].folder + steps[s].to + "/");
    }
    return isFolder;
}

// Where a recorded folder is now, once the folders renamed after its step
// are taken into account. They are told from the last renamed back, each as
// its old and its new path, both ending in "/".
class FoldersNow {
public:
    void Moved(std::string from, std::string to) {
        m_moved.emplace_back(std::move(from), std::move(to));
        m_now.clear();
    }
    const std::string& Now(const std::string& folder) {
        if (m_moved.empty())
            return folder;
        const auto [found, added] = m_now.try_emplace(folder, folder);
        if (added) {
            // In run order: the deeper folder was renamed first.
            std::string& path = found->second;
            for (auto it = m_moved.rbegin(); it != m_moved.rend(); ++it) {
                if (path.compare(0, it->first.size(), it->first) == 0)
                    path = it->second + path.substr(it->first.size());
            }
        }
        return found->second;
    }

private:
    std::vector<std::pair<std::string, std::string>> m_moved;
    std::unordered_map<std::string, std::string> m_now;
};

} // namespace

RenamedOnDisk JudgeRenamesOnDisk(const std::vector<RecordedStep>& steps,
                                 RunFileSystem& fileSystem) {
    // A file is away from its old name once any of its steps is done, a move
    // to a temporary name included, and has arrived when its last one is. A
    // step whose outcome never reached the record is judged by the disk, from
    // the last step back: a folder a later step renamed holds the files of
    // the steps before it under its new name.
    std::vector<bool> done(steps.size(), false);
    std::vector<bool> isFolder;
    FoldersNow foldersNow;
    for (std::size_t s = steps.size(); s-- > 0;) {
        const RecordedStep& step = steps[s];
        done[s] = step.state == StepState::Done;
        if (step.state == StepState::Pending) {
            const std::optional<FileIdentity> found =
                fileSystem.Identify(foldersNow.Now(step.folder), step.to);
            done[s] = found && found->SameFileAs(IdentityOf(step));
        }
        if (!done[s])
            continue;
        if (isFolder.empty())
            isFolder = FolderSteps(steps); // only once a step is known done
        if (isFolder[s])
            foldersNow.Moved(step.folder + step.from + "/", step.folder + step.to + "/");
    }
    fileSystem.RunEnded();
    struct Row {
        bool away = false;
        bool arrived = false;
    };
    std::unordered_map<std::size_t, Row> rows;
    rows.reserve(steps.size());
    for (std::size_t s = 0; s < steps.size(); ++s) {
        Row& row = rows[steps[s].row];
        row.away = row.away || done[s];
        row.arrived = done[s]; // the row's last step decides
    }
    RenamedOnDisk judged;
    for (const auto& [index, row] : rows) {
        judged.away += row.away ? 1 : 0;
        judged.arrived += row.arrived ? 1 : 0;
    }
    return judged;
}

std::size_t FilesRenamedOnDisk(const std::vector<RecordedStep>& steps, RunFileSystem& fileSystem) {
    return JudgeRenamesOnDisk(steps, fileSystem).away;
}

std::size_t FilesBackOnDisk(const std::vector<RecordedStep>& undoSteps, RunFileSystem& fileSystem) {
    // The last undo step of each row leads to its old name.
    std::unordered_map<std::size_t, const RecordedStep*> last;
    last.reserve(undoSteps.size());
    for (const RecordedStep& step : undoSteps)
        last[step.row] = &step;
    std::size_t back = 0;
    for (const auto& [row, step] : last) {
        const std::optional<FileIdentity> found = fileSystem.Identify(step->folder, step->to);
        back += found && found->SameFileAs(IdentityOf(*step)) ? 1 : 0;
    }
    fileSystem.RunEnded();
    return back;
}

} // namespace quorvane
