// The run history in the places where a record can mislead: a file that got
// the inode of the renamed one, a log left by another database, a damaged
// record, an undo that could not give everything back, and a history that
// cannot be written while a run goes.
#include "history/HistoryStore.h"
#include "history/RunJournal.h"
#include "runs/RunLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <linux/magic.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quorvane {
namespace {

using test::Listing;
using test::ReadFile;
using test::TempDir;

// Rows as a scan gives them, each file made holding its own name.
FileRows ScannedRows(const TempDir& dir,
                     const std::vector<std::pair<std::string, std::string>>& renames) {
    PlatformFileSystem platform;
    FileRows rows;
    for (const auto& [from, to] : renames) {
        dir.Write(from, from);
        FileRow& row = rows.emplace_back();
        row.folder = FolderPath(dir.Path());
        row.originalName = from;
        row.newName = to;
        const FileIdentity id = platform.Identify(dir.Path(), from).value_or(FileIdentity{});
        row.device = id.device;
        row.inode = id.inode;
        row.stamp = id.stamp;
    }
    return rows;
}

// One history, and a journalled Apply of the rows in it.
struct History {
    TempDir program;
    PlatformFileSystem platform;
    std::unique_ptr<HistoryStore> store;

    std::string Path() const { return program.Path() + "History.sqlite"; }
    void Open() {
        store.reset();
        HistoryStore::OpenReport report;
        store = HistoryStore::Open(Path(), report, 1'700'000'000);
        ASSERT_TRUE(store) << report.error;
    }
    // `beforeRenames` is called once the plan is recorded.
    std::int64_t Apply(FileRows& rows, RunFileSystem& fileSystem, RunResult* result = nullptr,
                       const std::function<void()>& beforeRenames = {}) {
        PlatformFolderLister lister;
        const StepPlan plan = PlanSteps(rows, lister);
        const auto run =
            store->BeginRun(HistoryRunKind::Rename, *rows[0].folder, 1, StepsToRecord(plan, rows));
        EXPECT_TRUE(run) << store->LastError();
        if (beforeRenames)
            beforeRenames();
        const RunResult applied = RenameWithJournal(rows, plan, fileSystem, store.get(), run);
        if (result)
            *result = applied;
        return run.value_or(0);
    }
};

bool OnFileSystem(const std::string& folder, long magic) {
    struct statfs info {};
    return ::statfs(folder.c_str(), &info) == 0 && info.f_type == magic;
}

// The clock a birth time is read from moves in ticks of a few milliseconds:
// waits (a few probes) until a file made now is born after `path`, as a
// file a user writes after a run always is.
void WaitForALaterBirth(const std::string& path, const std::string& probeFolder) {
    PlatformFileSystem platform;
    const std::uint64_t born = platform.Identify("", path).value_or(FileIdentity{}).stamp;
    for (int probe = 0; probe < 100000; ++probe) {
        const std::string name = probeFolder + "probe";
        ::close(::open(name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
        const std::uint64_t now = platform.Identify("", name).value_or(FileIdentity{}).stamp;
        ::unlink(name.c_str());
        if (now != born)
            return;
    }
}

TEST(Recovery, UndoRefusesAFileGivenTheInodeOfTheRenamedOne) {
    struct Case {
        const char* label;
        std::string base; // where the files lie; empty: the system's temporary folder
        long magic;       // the file system the case is about; 0: any
        bool withIdentity;
    };
    const Case cases[] = {
        {"ext4", "", EXT4_SUPER_MAGIC, true},
        {"tmpfs", "/dev/shm", TMPFS_MAGIC, true},
        {"a step recorded without identity", "", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (!c.base.empty() && ::access(c.base.c_str(), W_OK) != 0)
            continue; // no such file system here
        TempDir files = c.base.empty() ? TempDir() : TempDir(c.base);
        if (c.magic != 0 && !OnFileSystem(files.Path(), c.magic)) {
            std::printf("[ SKIPPED  ] %s: no such file system at %s\n", c.label,
                        files.Path().c_str());
            continue;
        }
        History history;
        history.Open();
        FileRows rows = ScannedRows(files, {{"a1.txt", "X_a1.txt"}});
        if (!c.withIdentity)
            rows[0].inode = rows[0].stamp = 0;
        WaitForALaterBirth(files.Path() + "a1.txt", history.program.Path());
        const std::int64_t run = history.Apply(rows, history.platform);
        // Deleted, and a new file written under the name: ext4 gives it the
        // freed inode at once.
        ASSERT_EQ(::unlink((files.Path() + "X_a1.txt").c_str()), 0);
        files.Write("X_a1.txt", "newcomer");

        const UndoOfRun undo = UndoRecordedRun(*history.store, run, history.platform, 2);
        EXPECT_EQ(undo.result.failedFiles, 1u);
        ASSERT_EQ(undo.result.log.size(), 1u);
        EXPECT_NE(undo.result.log[0].find("[Changed]"), std::string::npos);
        EXPECT_EQ(Listing(files.Path()), std::vector<std::string>{"X_a1.txt"});
        EXPECT_EQ(ReadFile(files.Path() + "X_a1.txt"), "newcomer");
        EXPECT_EQ(history.store->Run(run)->state, HistoryRunState::PartlyUndone);
    }
}

// The history's files are the user's own: never reached through a link,
// never another user's, and made readable by the user alone.
TEST(Recovery, TheHistoryFilesAreTheUsersOwn) {
    const char* const names[] = {"History.sqlite", "History.sqlite-wal", "History.sqlite-shm",
                                 "History.sqlite.lock"};
    for (const bool link : {true, false}) {
        for (const char* name : names) {
            SCOPED_TRACE(std::string(name) + (link ? " is a link" : " is another user's"));
            TempDir program, elsewhere;
            const std::string target = elsewhere.Write("target", "keep");
            const std::string path = program.Path() + name;
            if (link) {
                ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
            } else {
                program.Write(name, "");
                if (::chown(path.c_str(), 65534, 65534) != 0 || ::geteuid() == 65534)
                    continue; // only root can give a file away
            }
            HistoryStore::OpenReport report;
            EXPECT_FALSE(HistoryStore::Open(program.Path() + "History.sqlite", report, 0));
            EXPECT_FALSE(report.error.empty());
            EXPECT_EQ(ReadFile(target), "keep");
        }
    }
    History history;
    history.Open();
    TempDir files;
    FileRows rows = ScannedRows(files, {{"a", "b"}});
    history.Apply(rows, history.platform);
    for (const std::string suffix : {"", ".lock"}) {
        struct stat info {};
        ASSERT_EQ(::stat((history.Path() + suffix).c_str(), &info), 0) << suffix;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << suffix;
    }
}

// Another database's write-ahead log beside the history: the copy set aside
// is the file as it was, and the history starts anew.
TEST(Recovery, AForeignLogLeavesTheFileAsItWasSetAside) {
    History history;
    TempDir files;
    history.Open();
    FileRows rows = ScannedRows(files, {{"a", "b"}});
    history.Apply(rows, history.platform);
    history.store.reset(); // closed cleanly: no log left
    const std::string before = ReadFile(history.Path());
    ASSERT_FALSE(before.empty());

    TempDir other;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((other.Path() + "other.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA journal_mode=WAL; CREATE TABLE t(x);"
                           "INSERT INTO t VALUES(randomblob(20000));",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // Copied while that database is open, so its log still holds its pages.
    const std::string foreignLog = ReadFile(other.Path() + "other.db-wal");
    sqlite3_close(db);
    ASSERT_FALSE(foreignLog.empty());
    history.program.Write("History.sqlite-wal", foreignLog);

    HistoryStore::OpenReport report;
    auto store = HistoryStore::Open(history.Path(), report, 1'700'000'000);
    ASSERT_TRUE(store) << report.error;
    ASSERT_FALSE(report.setAsidePath.empty());
    EXPECT_EQ(ReadFile(report.setAsidePath), before) << "the copy set aside is the file as it was";
    EXPECT_EQ(ReadFile(report.setAsidePath + "-wal"), foreignLog) << "the log goes with it";
    EXPECT_TRUE(store->Runs().empty());
}

TEST(Recovery, ADamagedRecordIsReportedAndNothingMoves) {
    const struct {
        const char* label;
        const char* damage;
    } cases[] = {
        {"a chunk cut short", "UPDATE steps SET data = substr(data, 1, 5)"},
        {"an outcome past the last step",
         "INSERT INTO outcomes(run, first, last, state, error) VALUES(1, 7, 9, 1, 0)"},
        {"a folder lost", "DELETE FROM folders"},
        {"a chunk lost", "DELETE FROM steps"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        History history;
        TempDir files;
        history.Open();
        FileRows rows = ScannedRows(files, {{"a", "a1"}, {"b", "b1"}});
        const std::int64_t run = history.Apply(rows, history.platform);
        ASSERT_EQ(run, 1);
        history.store.reset();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(history.Path().c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, c.damage, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        history.Open();
        const std::vector<std::string> renamed = Listing(files.Path());

        const UndoOfRun undo = UndoRecordedRun(*history.store, run, history.platform, 2);
        EXPECT_TRUE(undo.found);
        EXPECT_TRUE(undo.damaged);
        EXPECT_EQ(Listing(files.Path()), renamed);
        EXPECT_EQ(history.store->Run(run)->state, HistoryRunState::Finished) << "nothing marked";
        EXPECT_TRUE(
            JudgeUnfinishedRun(*history.store, *history.store->Run(run), history.platform).damaged);
    }
}

// An undo that could not give everything back leaves the run partly undone;
// the next try skips what came back and finishes it.
TEST(Recovery, APartlyFailedUndoCanBeTriedAgain) {
    History history;
    TempDir files;
    history.Open();
    FileRows rows = ScannedRows(files, {{"a", "a1"}, {"b", "b1"}, {"c", "c1"}});
    const std::int64_t run = history.Apply(rows, history.platform);
    files.Write("b", "in the way");

    const UndoOfRun first = UndoRecordedRun(*history.store, run, history.platform, 2);
    EXPECT_EQ(first.result.failedFiles, 1u);
    std::optional<HistoryRun> recorded = history.store->Run(run);
    EXPECT_EQ(recorded->state, HistoryRunState::PartlyUndone);
    EXPECT_EQ(recorded->filesBack, 2u);

    ASSERT_EQ(::unlink((files.Path() + "b").c_str()), 0);
    const UndoOfRun second = UndoRecordedRun(*history.store, run, history.platform, 3);
    EXPECT_TRUE(second.result.AllWell()) << testing::PrintToString(second.result.log);
    EXPECT_EQ(Listing(files.Path()), (std::vector<std::string>{"a", "b", "c"}));
    for (const char* name : {"a", "b", "c"})
        EXPECT_EQ(ReadFile(files.Path() + name), name);
    EXPECT_EQ(history.store->Run(run)->state, HistoryRunState::Undone);
}

// Holds the history's write lock from another connection until the k-th rename.
class LockReleasingFileSystem final : public PlatformFileSystem {
public:
    LockReleasingFileSystem(sqlite3* holder, int releaseAt)
        : m_holder(holder), m_releaseAt(releaseAt) {}
    int Rename(const std::string& folder, const std::string& from, const std::string& to) override {
        if (++m_calls == m_releaseAt)
            sqlite3_exec(m_holder, "COMMIT", nullptr, nullptr, nullptr);
        return PlatformFileSystem::Rename(folder, from, to);
    }

private:
    sqlite3* m_holder;
    int m_releaseAt;
    int m_calls = 0;
};

// The disk fills (a file size limit stands in for it) or another program
// holds the database locked while a run goes: the renames go on, outcomes
// wait in memory, and what could not be written is told.
TEST(Recovery, AHistoryThatCannotBeWrittenDuringARunIsTold) {
    constexpr int kFiles = 3000;
    std::vector<std::pair<std::string, std::string>> renames;
    for (int i = 0; i < kFiles; ++i)
        renames.emplace_back("f" + std::to_string(i), "g" + std::to_string(i));
    for (const bool diskFull : {true, false}) {
        SCOPED_TRACE(diskFull ? "disk full" : "locked for a while");
        History history;
        TempDir files;
        history.Open();
        FileRows rows = ScannedRows(files, renames);
        RunResult result;
        if (diskFull) {
            rlimit old{};
            ::getrlimit(RLIMIT_FSIZE, &old);
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            // Once the plan is on disk, no file may grow any more.
            history.Apply(rows, history.platform, &result, [&] {
                rlimit full = old;
                full.rlim_cur = static_cast<rlim_t>(std::max(
                    ReadFile(history.Path() + "-wal").size(), ReadFile(history.Path()).size()));
                ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
            });
            ::setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
        } else {
            sqlite3* holder = nullptr;
            ASSERT_EQ(sqlite3_open(history.Path().c_str(), &holder), SQLITE_OK);
            LockReleasingFileSystem locked(holder, kFiles / 2);
            history.Apply(rows, locked, &result, [&] {
                ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
                          SQLITE_OK);
            });
            sqlite3_close(holder);
        }
        EXPECT_TRUE(result.AllWell());
        EXPECT_EQ(Listing(files.Path()).size(), static_cast<std::size_t>(kFiles));
        EXPECT_EQ(ReadFile(files.Path() + "g7"), "f7");
        EXPECT_EQ(result.historyError.empty(), !diskFull) << result.historyError;
        const bool told =
            RunSummaryText(RunKind::Rename, result)
                .find("\rThe run history could not be written (") != std::string::npos;
        EXPECT_EQ(told, diskFull);

        // The next start: a run whose end never reached the history is judged
        // by the disk, and every file is where it was going.
        history.Open();
        if (std::optional<HistoryRun> unfinished = history.store->UnfinishedRun()) {
            EXPECT_TRUE(diskFull);
            const UnfinishedRunOnDisk judged =
                JudgeUnfinishedRun(*history.store, *unfinished, history.platform);
            EXPECT_EQ(judged.arrived, static_cast<std::size_t>(kFiles));
            EXPECT_TRUE(EndRunFinishedOnDisk(*history.store, judged));
            EXPECT_FALSE(history.store->UnfinishedRun());
        }
        const std::vector<HistoryRun> runs = history.store->Runs();
        EXPECT_EQ(runs.front().state, HistoryRunState::Finished);
        if (!diskFull) {
            const std::vector<RecordedStep> steps =
                history.store->Steps(runs.front().id).value_or(std::vector<RecordedStep>{});
            EXPECT_EQ(steps.size(), static_cast<std::size_t>(kFiles));
            EXPECT_TRUE(std::all_of(steps.begin(), steps.end(), [](const RecordedStep& step) {
                return step.state == StepState::Done;
            })) << "outcomes kept while the lock was held";
        }
    }
}

} // namespace
} // namespace quorvane
