#pragma once
// The run history: every rename run and undo, its planned steps and their
// outcomes, in "History.sqlite" beside "Options.ini". A run is written before
// its first rename, so a run the program never finished (a crash, a kill, a
// power cut) can be given back at the next start.

#include "history/HistoryFile.h"
#include "history/RunLock.h"
#include "runs/RunSteps.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace quorvane {

struct HeaderFacts;

enum class HistoryRunKind : std::uint8_t { Rename = 0, Undo = 1 };
enum class HistoryRunState : std::uint8_t {
    Running = 0, // begun and not ended: the program stopped in the middle
    Finished = 1,
    Interrupted = 2,  // an unfinished run the user chose to keep as it is
    Undone = 3,       // every file came back
    PartlyUndone = 4, // an undo gave back only some files (filesBack); it can be tried again
    Damaged = 5,      // its record cannot be read whole: nothing can be given back from it
};

struct HistoryRun {
    std::int64_t id = 0;
    std::int64_t startedUtc = 0; // seconds since the epoch
    std::string folder;          // the listed folder, ending in "/"
    HistoryRunKind kind = HistoryRunKind::Rename;
    HistoryRunState state = HistoryRunState::Running;
    std::size_t files = 0;     // files the run set out to rename
    std::size_t filesDone = 0; // files renamed, as recorded at its end
    std::int64_t undoOf = 0;   // for an undo: the run it gave back
    std::size_t filesBack = 0; // for a partly undone run: the files given back
};

// One step's outcome, as the run reports it.
struct StepOutcome {
    std::size_t step = 0;
    StepState state = StepState::Done;
    int error = 0;
};

class HistoryStore {
public:
    // What opening found. A file that is not a database, or a damaged one, is
    // renamed aside to "<name>.broken-<time>" and a new one started; the
    // window tells the user once.
    struct OpenReport {
        std::string setAsidePath; // where a broken file went; empty when none
        std::string error;        // why there is no usable store; empty when there is one
    };

    // Opens (or creates) the database at `path`; `now` names a file set aside.
    static std::unique_ptr<HistoryStore> Open(const std::string& path, OpenReport& report,
                                              std::int64_t nowUtc);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // The reason of the last failed call, in words.
    const std::string& LastError() const { return m_error; }

    // Records a run and all its steps in one transaction, committed to disk
    // before it returns. Also drops the oldest runs beyond the newest 200.
    // Returns the run's id, or nothing (see LastError).
    std::optional<std::int64_t> BeginRun(HistoryRunKind kind, const std::string& folder,
                                         std::int64_t startedUtc, const StepsToRecord& steps,
                                         std::int64_t undoOf = 0);
    // Records a batch of outcomes in one transaction.
    bool RecordOutcomes(std::int64_t run, const std::vector<StepOutcome>& outcomes);
    bool EndRun(std::int64_t run, HistoryRunState state, std::size_t filesDone);
    bool SetState(std::int64_t run, HistoryRunState state, std::size_t filesBack = 0);
    // An unfinished run is carried on by this program: it holds the run
    // lock again until EndRun.
    void ResumeRun();
    // While a run goes, a database another program holds locked must not
    // stall the renames: writes then fail at once (and are tried again
    // later) instead of waiting.
    void WaitForLocks(bool wait);
    // False once the file was deleted or replaced since it was opened: later
    // runs must not go into a file nobody will read again.
    bool StillAtItsPath() const;

    // Newest first, at most `limit`.
    std::vector<HistoryRun> Runs(std::size_t limit = kKeptRuns);
    std::optional<HistoryRun> Run(std::int64_t id);
    // The newest run still marked running, if any, unless a live program may
    // still be carrying it out (another one holds the run lock).
    std::optional<HistoryRun> UnfinishedRun();
    // A run still marked running while some program holds the run lock may
    // be going on right now: it must not be given back.
    bool MayBeGoingOn(const HistoryRun& run) const {
        return run.state == HistoryRunState::Running && m_runLock.HeldByARun();
    }
    // The steps of a run in run order, with their recorded outcomes; nothing
    // when the record cannot be read whole (damaged), since a part of it
    // would give back a part of the run as if it were all.
    std::optional<std::vector<RecordedStep>> Steps(std::int64_t run);

    static constexpr std::size_t kKeptRuns = 200;
    static constexpr int kSchemaVersion = 2;
    static constexpr int kBusyWaitMs = 2000;

private:
    HistoryStore(sqlite3* db, const std::string& path)
        : m_db(db), m_path(path), m_runLock(path + ".lock") {}
    int Ready(const HeaderFacts* headerBeforeLog);
    int CheckLeftLog(const HeaderFacts& before);
    bool Execute(const char* sql);
    bool Fail(const char* what);
    bool Migrate();
    bool PruneOldRuns();
    bool InsertSteps(std::int64_t run, const StepsToRecord& steps);

    sqlite3* m_db = nullptr;
    std::string m_path;
    FileAt m_fileAt;
    RunLock m_runLock;
    std::string m_error;
};

// The files a recorded run has moved away from their old names: those with a
// step done, or carried out without its outcome reaching the record (the
// file with the recorded identity is under the step's new name).
class RunFileSystem;
struct RenamedOnDisk {
    std::size_t away = 0;    // moved from their old names
    std::size_t arrived = 0; // under their new names, every step done
};
RenamedOnDisk JudgeRenamesOnDisk(const std::vector<RecordedStep>& steps, RunFileSystem& fileSystem);
std::size_t FilesRenamedOnDisk(const std::vector<RecordedStep>& steps, RunFileSystem& fileSystem);
// The files an undo has given back: those under their old name, judged by
// the disk (the undo's own record may have lost its last outcomes).
std::size_t FilesBackOnDisk(const std::vector<RecordedStep>& undoSteps, RunFileSystem& fileSystem);

} // namespace quorvane
