#pragma once
// The conflicts of a preview, worked out on a thread of their own. Planning a
// long list lists its folders and hashes every name, which takes a good part
// of a second for 100,000 rows: too long for the window to stand still while
// the user types with "Live Preview" on. The window hands over a copy of the
// rows and gets the notes back on its own thread, the newest request only.

#include "rules/FileRow.h"

#include <QObject>

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
    std::vector<std::string> texts;   // empty for a row without a conflict
    std::size_t conflicts = 0;        // "Conflicts : N"
    std::uint64_t generation = 0;     // of the list the rows were copied from
};

// The notes of one list, on the calling thread.
ConflictNotes FindConflicts(const FileRows& rows);

class ConflictCheck : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(const ConflictNotes&)>;
    // `answer` runs on the thread that owns this object.
    ConflictCheck(Answer answer, QObject* parent);
    ~ConflictCheck() override; // waits for a check still running

    // Checks a copy of the rows. While a check runs, the newest request
    // waits for it and an older waiting one is dropped.
    void Check(FileRows rows, std::uint64_t generation);

private:
    void Start(FileRows rows, std::uint64_t generation);
    void Finished(const ConflictNotes& notes);

    Answer m_answer;
    std::thread m_worker;
    bool m_running = false;
    std::optional<std::pair<FileRows, std::uint64_t>> m_waiting;
};

} // namespace quorvane
