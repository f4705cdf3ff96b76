#include "shell/ConflictCheck.h"

#include "planner/RenamePlan.h"
#include "runs/RenameRun.h"
#include "runs/RunFileSystem.h"

#include <system_error>
#include <utility>

namespace quorvane {

ConflictNotes FindConflicts(const FileRows& rows) {
    RunFolderLister lister(WindowRunFileSystem());
    FileRowsPlan planned = PlanFileRows(rows, lister);
    ConflictNotes notes;
    notes.texts.reserve(planned.plan.rows.size());
    for (const RowVerdict& verdict : planned.plan.rows)
        notes.texts.push_back(ConflictText(verdict));
    notes.listRow = std::move(planned.listRow);
    notes.conflicts = planned.plan.conflicts;
    return notes;
}

ConflictCheck::ConflictCheck(Answer answer, QObject* parent)
    : QObject(parent), m_answer(std::move(answer)) {
    setObjectName("ConflictCheck");
}

ConflictCheck::~ConflictCheck() {
    if (m_worker.joinable())
        m_worker.join();
}

void ConflictCheck::Check(FileRows rows, std::uint64_t generation) {
    if (m_running) {
        m_waiting.emplace(std::move(rows), generation);
        return;
    }
    Start(std::move(rows), generation);
}

void ConflictCheck::Start(FileRows rows, std::uint64_t generation) {
    // The last worker has posted its answer, which is what ends it.
    if (m_worker.joinable())
        m_worker.join();
    auto shared = std::make_shared<const FileRows>(std::move(rows));
    try {
        m_worker = std::thread([this, shared, generation] {
            ConflictNotes notes = FindConflicts(*shared);
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
        auto [rows, generation] = std::move(*m_waiting);
        m_waiting.reset();
        Start(std::move(rows), generation);
        return; // a newer list is on its way
    }
    m_answer(notes);
}

} // namespace quorvane
