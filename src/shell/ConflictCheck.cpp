#include "shell/ConflictCheck.h"

#include "planner/RenamePlan.h"
#include "runs/RenameRun.h"
#include "runs/RunFileSystem.h"

#include <system_error>
#include <utility>

namespace quorvane {

ConflictNotes FindConflicts(const PlanInput& input, const std::atomic<bool>* stop) {
    RunFolderLister lister(WindowRunFileSystem());
    const PlanConflicts found = FindPlanConflicts(input, lister, stop);
    ConflictNotes notes;
    notes.complete = found.complete;
    notes.conflicts = found.rows.size();
    const PlanInput::ListRowNumbers& listRow = input.ListRows();
    for (auto [row, verdict] : found.rows) {
        // The other row of a conflict is named by its place in the list.
        if (verdict.otherRow != kNoRow)
            verdict.otherRow = listRow[verdict.otherRow];
        notes.listRow.push_back(listRow[row]);
        notes.texts.push_back(ConflictText(verdict));
    }
    return notes;
}

ConflictCheck::ConflictCheck(Answer answer, QObject* parent)
    : QObject(parent), m_answer(std::move(answer)) {
    setObjectName("ConflictCheck");
}

ConflictCheck::~ConflictCheck() {
    if (m_stop)
        m_stop->store(true);
    if (m_worker.joinable())
        m_worker.join();
}

void ConflictCheck::Check(PlanInput input, std::uint64_t generation) {
    if (m_running) {
        m_stop->store(true); // its list is out of date
        m_waiting.emplace(std::move(input), generation);
        return;
    }
    Start(std::move(input), generation);
}

void ConflictCheck::Start(PlanInput input, std::uint64_t generation) {
    // The last worker has posted its answer, which is what ends it.
    if (m_worker.joinable())
        m_worker.join();
    auto shared = std::make_shared<const PlanInput>(std::move(input));
    m_stop = std::make_shared<std::atomic<bool>>(false);
    try {
        m_worker = std::thread([this, shared, stop = m_stop, generation] {
            ConflictNotes notes = FindConflicts(*shared, stop.get());
            notes.generation = generation;
            // Queued to this object's thread; dropped if the object is gone by then.
            QMetaObject::invokeMethod(
                this, [this, notes = std::move(notes)] { Finished(notes); }, Qt::QueuedConnection);
        });
        m_running = true;
    } catch (const std::system_error&) {
        // No thread to spare: the window waits for the answer instead.
        ConflictNotes notes = FindConflicts(*shared);
        notes.generation = generation;
        m_answer(notes);
    }
}

void ConflictCheck::Finished(const ConflictNotes& notes) {
    m_running = false;
    if (m_waiting) {
        auto [input, generation] = std::move(*m_waiting);
        m_waiting.reset();
        Start(std::move(input), generation);
        return; // a newer list is on its way
    }
    if (notes.complete)
        m_answer(notes);
}

} // namespace quorvane
