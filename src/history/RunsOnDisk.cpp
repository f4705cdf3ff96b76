// What a recorded run left on disk, judged by each file's identity: the
// record may have lost its last outcomes, the disk has not.
#include "history/HistoryStore.h"
#include "runs/RunFileSystem.h"

#include <unordered_map>

namespace quorvane {

RenamedOnDisk JudgeRenamesOnDisk(const std::vector<RecordedStep>& steps,
                                 RunFileSystem& fileSystem) {
    // A file is away from its old name once any of its steps is done, a move
    // to a temporary name included, and has arrived when its last one is. A
    // step whose outcome never reached the record is judged by the disk.
    struct Row {
        bool away = false;
        bool arrived = false;
    };
    std::unordered_map<std::size_t, Row> rows;
    rows.reserve(steps.size());
    for (const RecordedStep& step : steps) {
        Row& row = rows[step.row];
        bool done = step.state == StepState::Done;
        if (step.state == StepState::Pending) {
            const std::optional<FileIdentity> found = fileSystem.Identify(step.folder, step.to);
            done = found && found->SameFileAs(IdentityOf(step));
        }
        row.away = row.away || done;
        row.arrived = done; // the row's last step decides
    }
    fileSystem.RunEnded();
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
