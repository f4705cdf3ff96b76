#pragma once
// The conflicts of a preview, worked out on a thread of their own. Planning a
// long list lists its folders and hashes every name, which takes a good part
// of a second for a million rows: too long for the window to stand still,
// whether Preview was asked for or the user types with "Live Preview" on. The
// window hands over a copy of the names and gets the notes back on its own
// thread, the newest request only: a newer one stops an older plan.

#include "planner/PlanInput.h"

#include <QObject>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quorvane {

struct ConflictNotes {
    std::vector<std::size_t> listRow; // the list position of each note
    std::vector<std::string> texts;   // one per conflicting row
    std::size_t conflicts = 0;        // "Conflicts : N"
    std::uint64_t generation = 0;     // of the list the rows were copied from
    bool complete = true;             // false when stopped for a newer list
};

// The notes of one list, on the calling thread. `stop` (may be null) ends the
// work early; the notes are then not complete.
ConflictNotes FindConflicts(const PlanInput& input, const std::atomic<bool>* stop = nullptr);

class ConflictCheck : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(const ConflictNotes&)>;
    // `answer` runs on the thread that owns this object.
    ConflictCheck(Answer answer, QObject* parent);
    ~ConflictCheck() override; // waits for a check still running

    // Checks the copied names. While a check runs, it is told to stop, the
    // newest request waits for it and an older waiting one is dropped.
    void Check(PlanInput input, std::uint64_t generation);

private:
    void Start(PlanInput input, std::uint64_t generation);
    void Finished(const ConflictNotes& notes);

    Answer m_answer;
    std::thread m_worker;
    bool m_running = false;
    std::shared_ptr<std::atomic<bool>> m_stop; // of the running check
    std::optional<std::pair<PlanInput, std::uint64_t>> m_waiting;
};

} // namespace quorvane
