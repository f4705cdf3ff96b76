#include "history/HistoryStore.h"

#include "platform/DirectorySearch.h"
#include "runs/RunFileSystem.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
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
};
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

void PutNumber(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7f) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

void PutBytes(std::string& out, const std::string& bytes) {
    PutNumber(out, bytes.size());
    out.append(bytes);
}

class Reader {
public:
    explicit Reader(std::string_view data) : m_data(data) {}
    bool Number(std::uint64_t& value) {
        value = 0;
        for (int shift = 0; shift < 64 && m_at < m_data.size(); shift += 7) {
            const auto byte = static_cast<unsigned char>(m_data[m_at++]);
            value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0)
                return true;
        }
        return false;
    }
    bool Bytes(std::string& out) {
        std::uint64_t size = 0;
        if (!Number(size) || size > m_data.size() - m_at)
            return false;
        out.assign(m_data.substr(m_at, size));
        m_at += size;
        return true;
    }

private:
    std::string_view m_data;
    std::size_t m_at = 0;
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
    return run;
}

constexpr const char* kRunColumns =
    "SELECT id, started, folder, kind, state, files, done, undo_of FROM runs ";

} // namespace

std::unique_ptr<HistoryStore> HistoryStore::Open(const std::string& path, OpenReport& report,
                                                 std::int64_t nowUtc) {
    report = {};
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* db = nullptr;
        const int opened =
            sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        int code = opened;
        std::unique_ptr<HistoryStore> store;
        if (opened == SQLITE_OK) {
            sqlite3_busy_timeout(db, 2000);
            store.reset(new HistoryStore(db, path));
            // WAL: a reader never waits for the run that writes. Outcomes are
            // committed without waiting for the disk (synchronous NORMAL):
            // a power cut may lose the last of them, and recovery then judges
            // those steps by the disk. The plan itself is synced (BeginRun).
            if (store->Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;") &&
                store->Migrate())
                return store;
            code = sqlite3_extended_errcode(db);
            report.error = store->m_error;
            store.reset(); // closes db
        } else {
            report.error = Reason(db, opened);
            sqlite3_close(db);
        }
        if (attempt > 0 || !Damaged(code))
            return nullptr;
        // Not a database, or a damaged one: set it aside whole, with its
        // write-ahead log, and start anew.
        const std::string aside = BrokenName(path, nowUtc);
        if (std::rename(path.c_str(), aside.c_str()) != 0) {
            report.error = std::strerror(errno);
            return nullptr;
        }
        for (const char* suffix : {"-wal", "-shm"})
            std::rename((path + suffix).c_str(), (aside + suffix).c_str());
        report.setAsidePath = aside;
        report.error.clear();
    }
    return nullptr;
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
bool HistoryStore::InsertSteps(std::int64_t run, const std::vector<RecordedStep>& steps) {
    Statement insertFolder(m_db, "INSERT INTO folders(run, id, path) VALUES(?, ?, ?)");
    Statement insertChunk(m_db, "INSERT INTO steps(run, first, count, data) VALUES(?, ?, ?, ?)");
    if (!insertFolder || !insertChunk)
        return Fail("preparing the steps");
    std::unordered_map<std::string_view, std::uint64_t> folderIds;
    std::string chunk;
    for (std::size_t first = 0; first < steps.size(); first += kStepsPerChunk) {
        const std::size_t end = std::min(steps.size(), first + kStepsPerChunk);
        chunk.clear();
        for (std::size_t i = first; i < end; ++i) {
            const RecordedStep& step = steps[i];
            auto [at, added] = folderIds.emplace(step.folder, folderIds.size());
            if (added && !insertFolder.Bind(1, run)
                              .Bind(2, static_cast<std::int64_t>(at->second))
                              .Bind(3, step.folder)
                              .Run())
                return Fail("recording a folder");
            PutNumber(chunk, step.row);
            PutNumber(chunk, at->second);
            PutBytes(chunk, step.from);
            PutBytes(chunk, step.to);
            PutNumber(chunk, step.device);
            PutNumber(chunk, step.inode);
        }
        if (!insertChunk.Bind(1, run)
                 .Bind(2, static_cast<std::int64_t>(first))
                 .Bind(3, static_cast<std::int64_t>(end - first))
                 .Bind(4, chunk)
                 .Run())
            return Fail("recording the steps");
    }
    return true;
}

std::optional<std::int64_t> HistoryStore::BeginRun(HistoryRunKind kind, const std::string& folder,
                                                   std::int64_t startedUtc,
                                                   const std::vector<RecordedStep>& steps,
                                                   std::int64_t undoOf) {
    m_runLock.Hold();
    auto rollBack = [&] {
        sqlite3_exec(m_db, "ROLLBACK; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
        m_runLock.Release();
        return std::nullopt;
    };
    // The plan must be on disk before the first rename: this one commit waits for it.
    if (!Execute("PRAGMA synchronous=FULL; BEGIN IMMEDIATE;"))
        return rollBack();
    if (!PruneOldRuns())
        return rollBack();
    Statement insertRun(m_db, "INSERT INTO runs(started, folder, kind, state, files, undo_of)"
                              " VALUES(?, ?, ?, 0, ?, ?)");
    if (!insertRun || !insertRun.Bind(1, startedUtc)
                           .Bind(2, folder)
                           .Bind(3, static_cast<std::int64_t>(kind))
                           .Bind(4, static_cast<std::int64_t>(FilesOfSteps(steps)))
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

bool HistoryStore::SetState(std::int64_t run, HistoryRunState state) {
    Statement update(m_db, "UPDATE runs SET state = ? WHERE id = ?");
    if (!update || !update.Bind(1, static_cast<std::int64_t>(state)).Bind(2, run).Run())
        return Fail("marking the run");
    return true;
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

std::vector<RecordedStep> HistoryStore::Steps(std::int64_t run) {
    std::vector<RecordedStep> steps;
    std::unordered_map<std::uint64_t, std::string> folders;
    Statement selectFolders(m_db, "SELECT id, path FROM folders WHERE run = ?");
    if (!selectFolders)
        return steps;
    selectFolders.Bind(1, run);
    while (selectFolders.Step())
        folders[static_cast<std::uint64_t>(selectFolders.Int(0))] = selectFolders.Bytes(1);

    Statement chunks(m_db, "SELECT count, data FROM steps WHERE run = ? ORDER BY first");
    if (!chunks)
        return steps;
    chunks.Bind(1, run);
    while (chunks.Step()) {
        const std::string data = chunks.Bytes(1);
        Reader reader(data);
        for (std::int64_t i = 0; i < chunks.Int(0); ++i) {
            RecordedStep step;
            std::uint64_t row = 0, folder = 0, device = 0;
            if (!reader.Number(row) || !reader.Number(folder) || !reader.Bytes(step.from) ||
                !reader.Bytes(step.to) || !reader.Number(device) || !reader.Number(step.inode))
                return {}; // a damaged record gives nothing back rather than a wrong step
            step.row = static_cast<std::size_t>(row);
            step.folder = folders[folder];
            step.device = static_cast<std::uint32_t>(device);
            steps.push_back(std::move(step));
        }
    }
    Statement outcomes(
        m_db, "SELECT first, last, state, error FROM outcomes WHERE run = ? ORDER BY rowid");
    if (!outcomes)
        return steps;
    outcomes.Bind(1, run);
    while (outcomes.Step()) {
        const auto last =
            std::min<std::int64_t>(outcomes.Int(1), static_cast<std::int64_t>(steps.size()) - 1);
        for (std::int64_t i = std::max<std::int64_t>(outcomes.Int(0), 0); i <= last; ++i) {
            steps[static_cast<std::size_t>(i)].state = static_cast<StepState>(outcomes.Int(2));
            steps[static_cast<std::size_t>(i)].error = static_cast<int>(outcomes.Int(3));
        }
    }
    return steps;
}

std::size_t FilesRenamedOnDisk(const std::vector<RecordedStep>& steps, RunFileSystem& fileSystem) {
    // The last step of each row decides.
    std::unordered_map<std::size_t, const RecordedStep*> last;
    for (const RecordedStep& step : steps)
        last[step.row] = &step;
    std::size_t renamed = 0;
    for (const auto& [row, step] : last) {
        if (step->state == StepState::Done) {
            ++renamed;
        } else if (step->state == StepState::Pending) {
            const std::optional<FileIdentity> found = fileSystem.Identify(step->folder, step->to);
            renamed += found && *found == FileIdentity{step->device, step->inode} ? 1 : 0;
        }
    }
    fileSystem.RunEnded();
    return renamed;
}

} // namespace quorvane
