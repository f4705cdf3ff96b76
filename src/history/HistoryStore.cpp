#include "history/HistoryStore.h"

#include "history/HistoryFile.h"
#include "history/StepChunks.h"
#include "platform/DirectorySearch.h"
#include "runs/RunFileSystem.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <unordered_map>

namespace quorvane {
namespace {

// Steps are stored packed, up to this many to a row of the steps table: a
// run of 100,000 renames is then a hundred inserts instead of 100,000, which
// keeps the journal's cost a small fraction of the renames.
constexpr std::size_t kStepsPerChunk = 1000;

// Each entry turns the schema of the version before it into its own.
constexpr const char* kMigrations[] = {
    // 0 -> 1
    "CREATE TABLE runs(id INTEGER PRIMARY KEY, started INTEGER NOT NULL, folder BLOB NOT NULL,"
    " kind INTEGER NOT NULL, state INTEGER NOT NULL, files INTEGER NOT NULL,"
    " done INTEGER NOT NULL DEFAULT 0, undo_of INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE folders(run INTEGER NOT NULL, id INTEGER NOT NULL, path BLOB NOT NULL,"
    " PRIMARY KEY(run, id)) WITHOUT ROWID;"
    "CREATE TABLE steps(run INTEGER NOT NULL, first INTEGER NOT NULL, count INTEGER NOT NULL,"
    " data BLOB NOT NULL, PRIMARY KEY(run, first)) WITHOUT ROWID;"
    "CREATE TABLE outcomes(run INTEGER NOT NULL, first INTEGER NOT NULL, last INTEGER NOT NULL,"
    " state INTEGER NOT NULL, error INTEGER NOT NULL);"
    "CREATE INDEX outcomes_of_run ON outcomes(run);",
    // 1 -> 2: chunks of format 2 carry each file's stamp; a run keeps the
    // number of its files given back.
    "ALTER TABLE steps ADD COLUMN format INTEGER NOT NULL DEFAULT 1;"
    "ALTER TABLE runs ADD COLUMN back INTEGER NOT NULL DEFAULT 0;"
    "PRAGMA application_id=1366716274;", // "QVHs"
};
constexpr std::int64_t kApplicationId = 1366716274;
static_assert(std::size(kMigrations) == HistoryStore::kSchemaVersion);

class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            m_statement = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return m_statement != nullptr; }
    Statement& Bind(int at, std::int64_t value) {
        sqlite3_bind_int64(m_statement, at, value);
        return *this;
    }
    Statement& Bind(int at, std::string_view bytes) {
        sqlite3_bind_blob(m_statement, at, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_STATIC);
        return *this;
    }
    // True while there is a row; Done() tells a clean end from an error.
    bool Step() {
        m_last = sqlite3_step(m_statement);
        return m_last == SQLITE_ROW;
    }
    bool Run() {
        Step();
        const bool ok = m_last == SQLITE_DONE;
        sqlite3_reset(m_statement);
        return ok;
    }
    bool Done() const { return m_last == SQLITE_DONE; }
    std::int64_t Int(int column) const { return sqlite3_column_int64(m_statement, column); }
    std::string Bytes(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        return data ? std::string(
                          data, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
                    : std::string();
    }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_last = SQLITE_OK;
};

std::string BrokenName(const std::string& path, std::int64_t nowUtc) {
    const auto now = static_cast<std::time_t>(nowUtc);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".broken-" + stamp;
}

std::string Reason(sqlite3* db, int code) {
    const int system = db ? sqlite3_system_errno(db) : 0;
    if (system != 0)
        return std::strerror(system);
    return db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
}

bool Damaged(int code) {
    code &= 0xff;
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

HistoryRun RunOf(const Statement& row) {
    HistoryRun run;
    run.id = row.Int(0);
    run.startedUtc = row.Int(1);
    run.folder = row.Bytes(2);
    run.kind = static_cast<HistoryRunKind>(row.Int(3));
    run.state = static_cast<HistoryRunState>(row.Int(4));
    run.files = static_cast<std::size_t>(row.Int(5));
    run.filesDone = static_cast<std::size_t>(row.Int(6));
    run.undoOf = row.Int(7);
    run.filesBack = static_cast<std::size_t>(row.Int(8));
    return run;
}

constexpr const char* kRunColumns =
    "SELECT id, started, folder, kind, state, files, done, undo_of, back FROM runs ";

} // namespace

// What the file's own header says, read before SQLite may add a log to it.
struct HeaderFacts {
    std::int64_t version = 0;
    std::int64_t applicationId = 0;
};

namespace {

std::int64_t BigEndian32(const unsigned char* bytes) {
    return (std::int64_t{bytes[0]} << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

HeaderFacts ReadHeader(const std::string& path) {
    HeaderFacts facts;
    unsigned char header[100] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && ::read(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header)) {
        facts.version = BigEndian32(header + 60);
        facts.applicationId = BigEndian32(header + 68);
    }
    if (fd >= 0)
        ::close(fd);
    return facts;
}

constexpr const char* kCompanions[] = {"-wal", "-shm"};

// Refuses the database, its companions and the lock when one of them is a
// link or another user's file; makes a missing database the user's own
// (0600, which SQLite gives its companions too).
bool ReadyOwnFiles(const std::string& path, std::string& reason) {
    for (const char* suffix : {"-wal", "-shm", ".lock"}) {
        reason = RefuseForeignFile(path + suffix);
        if (!reason.empty())
            return false;
    }
    const int fd = OpenOwnFile(path, reason);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Opened without following a link; a write-ahead log left beside the file
// is checked before anything is written back from it (see Open).
sqlite3* OpenDatabase(const std::string& path, int& code) {
    sqlite3* db = nullptr;
    code =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (code == SQLITE_OK)
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    return db;
}

} // namespace

std::unique_ptr<HistoryStore> HistoryStore::Open(const std::string& path, OpenReport& report,
                                                 std::int64_t nowUtc) {
    report = {};
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ReadyOwnFiles(path, report.error))
            return nullptr;
        // A log left by a program that did not close the history may belong
        // to another database. SQLite reads it into this one as it opens and
        // would write it back at close; so closing writes nothing back until
        // the whole file has been read without a fault.
        const bool logLeft = FileSize(path + "-wal") > 0;
        const HeaderFacts header = ReadHeader(path);
        int code = SQLITE_OK;
        sqlite3* db = OpenDatabase(path, code);
        std::unique_ptr<HistoryStore> store;
        if (code == SQLITE_OK) {
            store.reset(new HistoryStore(db, path));
            code = store->Ready(logLeft ? &header : nullptr);
            if (code == SQLITE_OK)
                return store;
            report.error = store->m_error;
            store.reset(); // closes db, writing nothing back into the file
        } else {
            report.error = Reason(db, code);
            sqlite3_close(db);
        }
        if (attempt > 0 || !Damaged(code))
            return nullptr;
        // Not a database, or a damaged one: set it aside as it was, with
        // the log and index beside it, and start anew.
        const std::string aside = BrokenName(path, nowUtc);
        if (std::rename(path.c_str(), aside.c_str()) != 0) {
            report.error = std::strerror(errno);
            return nullptr;
        }
        for (const char* suffix : kCompanions)
            std::rename((path + suffix).c_str(), (aside + suffix).c_str());
        report.setAsidePath = aside;
        report.error.clear();
    }
    return nullptr;
}

int HistoryStore::Ready(const HeaderFacts* headerBeforeLog) {
    sqlite3_busy_timeout(m_db, kBusyWaitMs);
    if (headerBeforeLog) {
        const int code = CheckLeftLog(*headerBeforeLog);
        if (code != SQLITE_OK)
            return code;
    }
    // WAL: a reader never waits for the run that writes. Outcomes are
    // committed without waiting for the disk (synchronous NORMAL): a power
    // cut may lose the last of them, and recovery then judges those steps by
    // the disk. The plan itself is synced (BeginRun). The log is copied into
    // the database when it holds tens of runs of a hundred thousand files,
    // or when the program closes, not in the middle of a run: each copy
    // waits for the disk twice.
    if (!Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                 " PRAGMA wal_autocheckpoint=16384;") ||
        !Migrate())
        return sqlite3_extended_errcode(m_db);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    m_fileAt = FileAtPath(m_path);
    return SQLITE_OK;
}

// A log that belongs to this file leaves it whole and ours; one of another
// database makes it look like that other one (or a mix of both).
int HistoryStore::CheckLeftLog(const HeaderFacts& before) {
    Statement check(m_db, "PRAGMA quick_check(1)");
    Statement version(m_db, "PRAGMA user_version");
    Statement application(m_db, "PRAGMA application_id");
    if (!check || !check.Step() || !version || !version.Step() || !application ||
        !application.Step()) {
        Fail("checking the history");
        return sqlite3_extended_errcode(m_db);
    }
    const bool ours =
        before.applicationId != kApplicationId || application.Int(0) == kApplicationId;
    if (check.Bytes(0) != "ok" || !ours || version.Int(0) < before.version) {
        m_error = "the history is damaged";
        return SQLITE_CORRUPT;
    }
    return SQLITE_OK;
}

HistoryStore::~HistoryStore() {
    sqlite3_close(m_db);
}

bool HistoryStore::Fail(const char* what) {
    m_error = std::string(what) + ": " + Reason(m_db, sqlite3_errcode(m_db));
    return false;
}

bool HistoryStore::Execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    const int system = sqlite3_system_errno(m_db);
    m_error = system != 0 ? std::strerror(system) : (message ? message : "unknown error");
    sqlite3_free(message);
    return false;
}

bool HistoryStore::Migrate() {
    Statement version(m_db, "PRAGMA user_version");
    if (!version || !version.Step())
        return Fail("reading the schema version");
    const std::int64_t current = version.Int(0);
    if (current > kSchemaVersion) {
        m_error = "it was written by a newer version of the program";
        return false;
    }
    for (std::int64_t v = current; v < kSchemaVersion; ++v) {
        const std::string sql = std::string("BEGIN IMMEDIATE;") + kMigrations[v] +
                                "PRAGMA user_version=" + std::to_string(v + 1) + ";COMMIT;";
        if (!Execute(sql.c_str())) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
    }
    return true;
}

bool HistoryStore::PruneOldRuns() {
    const std::string prune = "(SELECT id FROM runs ORDER BY id DESC LIMIT -1 OFFSET " +
                              std::to_string(kKeptRuns - 1) + ")";
    for (const char* table : {"folders", "steps", "outcomes"}) {
        const std::string sql =
            std::string("DELETE FROM ") + table + " WHERE run IN " + prune + ";";
        if (!Execute(sql.c_str()))
            return false;
    }
    return Execute(("DELETE FROM runs WHERE id IN " + prune + ";").c_str());
}

// The steps go in packed chunks of kStepsPerChunk, folders once per run.
bool HistoryStore::InsertSteps(std::int64_t run, const StepsToRecord& steps) {
    Statement insertFolder(m_db, "INSERT INTO folders(run, id, path) VALUES(?, ?, ?)");
    Statement insertChunk(
        m_db, "INSERT INTO steps(run, first, count, data, format) VALUES(?, ?, ?, ?, ?)");
    if (!insertFolder || !insertChunk)
        return Fail("preparing the steps");
    std::unordered_map<std::string_view, std::uint64_t> folderIds;
    std::string chunk;
    for (std::size_t first = 0; first < steps.Size(); first += kStepsPerChunk) {
        const std::size_t end = std::min(steps.Size(), first + kStepsPerChunk);
        chunk.clear();
        for (std::size_t i = first; i < end; ++i) {
            const StepView step = steps.At(i);
            auto [at, added] = folderIds.emplace(step.folder, folderIds.size());
            if (added && !insertFolder.Bind(1, run)
                              .Bind(2, static_cast<std::int64_t>(at->second))
                              .Bind(3, step.folder)
                              .Run())
                return Fail("recording a folder");
            AppendStep(chunk, step, at->second);
        }
        if (!insertChunk.Bind(1, run)
                 .Bind(2, static_cast<std::int64_t>(first))
                 .Bind(3, static_cast<std::int64_t>(end - first))
                 .Bind(4, chunk)
                 .Bind(5, kChunkFormat)
                 .Run())
            return Fail("recording the steps");
    }
    return true;
}

std::optional<std::int64_t> HistoryStore::BeginRun(HistoryRunKind kind, const std::string& folder,
                                                   std::int64_t startedUtc,
                                                   const StepsToRecord& steps,
                                                   std::int64_t undoOf) {
    m_runLock.Hold();
    auto rollBack = [&] {
        sqlite3_exec(m_db, "ROLLBACK; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
        m_runLock.Release();
        return std::nullopt;
    };
    // A rename run's plan must be on disk before the first rename: this one
    // commit waits for it. An undo's need not: should it be lost, the run it
    // gives back is still unfinished or finished in the record, and giving
    // that back again skips the files already back.
    const char* begin = kind == HistoryRunKind::Undo ? "BEGIN IMMEDIATE;"
                                                     : "PRAGMA synchronous=FULL; BEGIN IMMEDIATE;";
    if (!Execute(begin))
        return rollBack();
    if (!PruneOldRuns())
        return rollBack();
    Statement insertRun(m_db, "INSERT INTO runs(started, folder, kind, state, files, undo_of)"
                              " VALUES(?, ?, ?, 0, ?, ?)");
    if (!insertRun || !insertRun.Bind(1, startedUtc)
                           .Bind(2, folder)
                           .Bind(3, static_cast<std::int64_t>(kind))
                           .Bind(4, static_cast<std::int64_t>(steps.Files()))
                           .Bind(5, undoOf)
                           .Run()) {
        Fail("recording the run");
        return rollBack();
    }
    const std::int64_t run = sqlite3_last_insert_rowid(m_db);
    if (!InsertSteps(run, steps) || !Execute("COMMIT;"))
        return rollBack();
    Execute("PRAGMA synchronous=NORMAL;");
    return run;
}

bool HistoryStore::RecordOutcomes(std::int64_t run, const std::vector<StepOutcome>& outcomes) {
    if (outcomes.empty())
        return true;
    if (!Execute("BEGIN IMMEDIATE;"))
        return false;
    Statement insert(m_db,
                     "INSERT INTO outcomes(run, first, last, state, error) VALUES(?, ?, ?, ?, ?)");
    bool ok = static_cast<bool>(insert);
    // Consecutive steps with one outcome (the usual case: all done) are one range.
    for (std::size_t i = 0; ok && i < outcomes.size();) {
        std::size_t j = i + 1;
        while (j < outcomes.size() && outcomes[j].step == outcomes[j - 1].step + 1 &&
               outcomes[j].state == outcomes[i].state && outcomes[j].error == outcomes[i].error)
            ++j;
        ok = insert.Bind(1, run)
                 .Bind(2, static_cast<std::int64_t>(outcomes[i].step))
                 .Bind(3, static_cast<std::int64_t>(outcomes[j - 1].step))
                 .Bind(4, static_cast<std::int64_t>(outcomes[i].state))
                 .Bind(5, outcomes[i].error)
                 .Run();
        i = j;
    }
    if (ok && Execute("COMMIT;"))
        return true;
    if (ok)
        Fail("recording outcomes");
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool HistoryStore::EndRun(std::int64_t run, HistoryRunState state, std::size_t filesDone) {
    Statement update(m_db, "UPDATE runs SET state = ?, done = ? WHERE id = ?");
    const bool ended = update && update.Bind(1, static_cast<std::int64_t>(state))
                                     .Bind(2, static_cast<std::int64_t>(filesDone))
                                     .Bind(3, run)
                                     .Run();
    // Only once the end is recorded may another program judge the run.
    m_runLock.Release();
    return ended || Fail("ending the run");
}

bool HistoryStore::SetState(std::int64_t run, HistoryRunState state, std::size_t filesBack) {
    Statement update(m_db, "UPDATE runs SET state = ?, back = ? WHERE id = ?");
    if (!update || !update.Bind(1, static_cast<std::int64_t>(state))
                        .Bind(2, static_cast<std::int64_t>(filesBack))
                        .Bind(3, run)
                        .Run())
        return Fail("marking the run");
    return true;
}

void HistoryStore::ResumeRun() {
    m_runLock.Hold();
}

void HistoryStore::WaitForLocks(bool wait) {
    sqlite3_busy_timeout(m_db, wait ? kBusyWaitMs : 0);
}

bool HistoryStore::StillAtItsPath() const {
    return m_fileAt.inode != 0 && FileAtPath(m_path) == m_fileAt;
}

std::vector<HistoryRun> HistoryStore::Runs(std::size_t limit) {
    std::vector<HistoryRun> runs;
    Statement select(m_db, (std::string(kRunColumns) + "ORDER BY id DESC LIMIT ?").c_str());
    if (!select)
        return runs;
    select.Bind(1, static_cast<std::int64_t>(limit));
    while (select.Step())
        runs.push_back(RunOf(select));
    return runs;
}

std::optional<HistoryRun> HistoryStore::Run(std::int64_t id) {
    Statement select(m_db, (std::string(kRunColumns) + "WHERE id = ?").c_str());
    if (select && select.Bind(1, id).Step())
        return RunOf(select);
    return std::nullopt;
}

std::optional<HistoryRun> HistoryStore::UnfinishedRun() {
    if (m_runLock.HeldByARun())
        return std::nullopt;
    Statement select(
        m_db, (std::string(kRunColumns) + "WHERE state = 0 ORDER BY id DESC LIMIT 1").c_str());
    if (select && select.Step())
        return RunOf(select);
    return std::nullopt;
}

std::optional<std::vector<RecordedStep>> HistoryStore::Steps(std::int64_t run) {
    std::vector<RecordedStep> steps;
    std::unordered_map<std::uint64_t, std::string> folders;
    Statement selectFolders(m_db, "SELECT id, path FROM folders WHERE run = ?");
    if (!selectFolders)
        return std::nullopt;
    selectFolders.Bind(1, run);
    while (selectFolders.Step())
        folders[static_cast<std::uint64_t>(selectFolders.Int(0))] = selectFolders.Bytes(1);
    if (!selectFolders.Done())
        return std::nullopt;

    Statement chunks(m_db,
                     "SELECT first, count, data, format FROM steps WHERE run = ? ORDER BY first");
    if (!chunks)
        return std::nullopt;
    chunks.Bind(1, run);
    while (chunks.Step()) {
        // Chunks follow each other without a gap; anything else lost steps.
        if (chunks.Int(0) != static_cast<std::int64_t>(steps.size()) ||
            !ReadChunk(chunks.Bytes(2), chunks.Int(1), chunks.Int(3), folders, steps))
            return std::nullopt;
    }
    if (!chunks.Done())
        return std::nullopt;
    Statement outcomes(
        m_db, "SELECT first, last, state, error FROM outcomes WHERE run = ? ORDER BY rowid");
    if (!outcomes)
        return std::nullopt;
    outcomes.Bind(1, run);
    while (outcomes.Step()) {
        const std::int64_t first = outcomes.Int(0), last = outcomes.Int(1);
        const std::int64_t state = outcomes.Int(2);
        if (first < 0 || last < first || last >= static_cast<std::int64_t>(steps.size()) ||
            state < 0 || state > static_cast<std::int64_t>(StepState::Skipped))
            return std::nullopt;
        for (auto i = static_cast<std::size_t>(first); i <= static_cast<std::size_t>(last); ++i) {
            steps[i].state = static_cast<StepState>(state);
            steps[i].error = static_cast<int>(outcomes.Int(3));
        }
    }
    if (!outcomes.Done())
        return std::nullopt;
    return steps;
}

} // namespace quorvane
