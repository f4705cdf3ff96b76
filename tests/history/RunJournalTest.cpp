// The run history on real temporary folders: runs recorded before they act,
// given back after a crash at any point, and refused where a file changed.
#include "history/RunJournal.h"
#include "history/HistoryStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace quorvane {
namespace {

StepPlan PlanOnDisk(const FileRows& rows) {
    PlatformFolderLister lister;
    return PlanSteps(rows, lister);
}

using test::Listing;
using test::ReadFile;
using test::TempDir;

// Renames as the platform does, but the program "dies" at the k-th rename:
// before it, or right after it before anyone hears of it.
class CrashingFileSystem final : public PlatformFileSystem {
public:
    CrashingFileSystem(int crashAt, bool afterRename) : m_crashAt(crashAt), m_after(afterRename) {}
    int Rename(const std::string& folder, const std::string& from, const std::string& to) override {
        if (++m_calls == m_crashAt && !m_after)
            throw std::runtime_error("killed");
        const int error = PlatformFileSystem::Rename(folder, from, to);
        if (m_calls == m_crashAt)
            throw std::runtime_error("killed");
        return error;
    }

private:
    int m_crashAt;
    bool m_after;
    int m_calls = 0;
};

// As the scan records it: device, inode and stamp.
FileIdentity IdentityOf(const std::string& path) {
    PlatformFileSystem platform;
    const std::optional<FileIdentity> found = platform.Identify("", path);
    EXPECT_TRUE(found) << path;
    return found.value_or(FileIdentity{});
}

// Rows as a scan gives them, with each file's identity; a file that is not
// there yet is made holding its own first name.
FileRows ScannedRows(const TempDir& dir, const std::shared_ptr<const std::string>& folder,
                     const std::vector<std::pair<std::string, std::string>>& renames) {
    FileRows rows;
    for (const auto& [from, to] : renames) {
        if (::access((dir.Path() + from).c_str(), F_OK) != 0)
            dir.Write(from, from);
        FileRow& row = rows.emplace_back();
        row.folder = folder;
        row.originalName = from;
        row.newName = to;
        const FileIdentity id = IdentityOf(dir.Path() + from);
        row.device = id.device;
        row.inode = id.inode;
        row.stamp = id.stamp;
    }
    return rows;
}

class RunJournalTest : public ::testing::Test {
protected:
    TempDir files;
    TempDir program;
    std::shared_ptr<const std::string> folder = std::make_shared<const std::string>(files.Path());
    PlatformFileSystem platform;

    std::string HistoryPath() const { return program.Path() + "History.sqlite"; }

    std::unique_ptr<HistoryStore> OpenStore() {
        HistoryStore::OpenReport report;
        auto store = HistoryStore::Open(HistoryPath(), report, 1'700'000'000);
        EXPECT_TRUE(store) << report.error;
        return store;
    }

    FileRows Rows(const std::vector<std::pair<std::string, std::string>>& renames) {
        return ScannedRows(files, folder, renames);
    }

    std::int64_t Begin(HistoryStore& store, const StepPlan& plan, const FileRows& rows) {
        const auto run =
            store.BeginRun(HistoryRunKind::Rename, files.Path(), 1, StepsToRecord(plan, rows));
        EXPECT_TRUE(run) << store.LastError();
        return run.value_or(0);
    }
};

// Apply, or the undo of a whole Apply, stopped at a step of `crashing` as a
// kill stops it. Outcomes are committed every third step, so stops fall
// before, on and after a commit (and a stop at a folder's step leaves the
// files' steps before it unrecorded).
void StopPartWay(HistoryStore& store, std::int64_t run, FileRows& rows, const StepPlan& plan,
                 RunFileSystem& whole, RunFileSystem& crashing, bool inUndo) {
    if (inUndo) {
        ASSERT_TRUE(RenameWithJournal(rows, plan, whole, &store, run).AllWell());
        EXPECT_THROW(UndoRecordedRun(store, run, crashing, 2), std::runtime_error);
    } else {
        RunJournal journal(store, run, 3, std::chrono::hours(1));
        EXPECT_THROW(RenameBySteps(rows, plan, crashing, &journal), std::runtime_error);
    }
}

// b -> c before a -> b: giving it back needs the reverse order.
const std::vector<std::pair<std::string, std::string>> kChainAndMore = {
    {"b", "c"}, {"a", "b"}, {"d", "d1"}, {"e", "e1"}, {"f", "f1"}, {"g", "g1"}, {"h", "h1"}};

// The program dies at any step of an Apply, or of the undo that gives an
// Apply back: the next start offers what is left, and the files come back.
TEST_F(RunJournalTest, ACrashAtAnyStepIsGivenBackWhole) {
    struct Case {
        bool inUndo; // the undo dies, not the Apply
        int crashAt;
        bool afterRename;
    };
    std::vector<Case> cases;
    for (bool inUndo : {false, true})
        for (int k = 1; k <= static_cast<int>(kChainAndMore.size()); ++k)
            for (bool after : {false, true})
                cases.push_back({inUndo, k, after});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.inUndo ? "undo" : "apply") + ": crash at step " +
                     std::to_string(c.crashAt) +
                     (c.afterRename ? " after its rename" : " before its rename"));
        TempDir localFiles, localProgram;
        folder = std::make_shared<const std::string>(localFiles.Path());
        for (const auto& [from, to] : kChainAndMore)
            localFiles.Write(from, from);
        const std::vector<std::string> before = Listing(localFiles.Path());
        FileRows rows = ScannedRows(localFiles, folder, kChainAndMore);
        const StepPlan plan = PlanOnDisk(rows);
        HistoryStore::OpenReport report;
        std::int64_t applied = 0;
        {
            auto store = HistoryStore::Open(localProgram.Path() + "History.sqlite", report, 0);
            ASSERT_TRUE(store);
            const auto run = store->BeginRun(HistoryRunKind::Rename, localFiles.Path(), 1,
                                             StepsToRecord(plan, rows));
            ASSERT_TRUE(run);
            applied = *run;
            CrashingFileSystem crashing(c.crashAt, c.afterRename);
            StopPartWay(*store, *run, rows, plan, platform, crashing, c.inUndo);
        } // the store goes away without the run's end, as after a kill

        auto store = HistoryStore::Open(localProgram.Path() + "History.sqlite", report, 0);
        ASSERT_TRUE(store);
        const std::optional<HistoryRun> unfinished = store->UnfinishedRun();
        ASSERT_TRUE(unfinished);
        EXPECT_EQ(unfinished->kind, c.inUndo ? HistoryRunKind::Undo : HistoryRunKind::Rename);
        EXPECT_EQ(unfinished->files, kChainAndMore.size());
        // The chain's first step moved b away, its second step needs b free:
        // a crash before nothing else changes the count.
        const UnfinishedRunOnDisk judged = JudgeUnfinishedRun(*store, *unfinished, platform);
        EXPECT_EQ(judged.done, static_cast<std::size_t>(c.crashAt - (c.afterRename ? 0 : 1)));
        const UndoOfRun undo = c.inUndo ? FinishUndoRun(*store, unfinished->id, platform)
                                        : UndoRecordedRun(*store, unfinished->id, platform, 2);
        ASSERT_TRUE(undo.found);
        EXPECT_TRUE(undo.result.AllWell()) << testing::PrintToString(undo.result.log);
        EXPECT_EQ(Listing(localFiles.Path()), before);
        for (const auto& [from, to] : kChainAndMore)
            EXPECT_EQ(ReadFile(localFiles.Path() + from), from);
        EXPECT_FALSE(store->UnfinishedRun()) << "a recovery of a recovery is the same run";
        EXPECT_EQ(store->Run(applied)->state, HistoryRunState::Undone);
    }
}

// Every path under a folder, folders ending in "/", sorted.
std::vector<std::string> Tree(const std::string& folder, const std::string& prefix = {}) {
    std::vector<std::string> paths;
    for (const std::string& name : Listing(folder + prefix)) {
        struct stat info {};
        const bool isFolder =
            ::lstat((folder + prefix + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        paths.push_back(prefix + name + (isFolder ? "/" : ""));
        if (isFolder) {
            const std::vector<std::string> inside = Tree(folder, prefix + name + "/");
            paths.insert(paths.end(), inside.begin(), inside.end());
        }
    }
    return paths;
}

// A folder and the two files in it renamed in one run ("1" -> "One"): the
// folder's step comes last, and a run or an undo that dies at any step is
// given back whole at the next start, the folder found by its identity too.
TEST_F(RunJournalTest, AFolderAmongTheStepsIsGivenBackWhole) {
    struct Case {
        bool inUndo;
        int crashAt; // 0: no crash, the run and its undo go to the end
        bool afterRename;
    };
    std::vector<Case> cases = {{false, 0, false}};
    for (bool inUndo : {false, true})
        for (int k = 1; k <= 3; ++k)
            for (bool after : {false, true})
                cases.push_back({inUndo, k, after});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.inUndo ? "undo" : "apply") + ": crash at step " +
                     std::to_string(c.crashAt) +
                     (c.afterRename ? " after its rename" : " before its rename"));
        TempDir localFiles, localProgram;
        localFiles.Write("Album 1/Track 1.flac", "Track 1.flac");
        localFiles.Write("Album 1/Cover 1.jpg", "Cover 1.jpg");
        const std::vector<std::string> before = Tree(localFiles.Path());
        const FolderPath top(localFiles.Path()), album(localFiles.Path() + "Album 1/");
        FileRows rows;
        for (const auto& [folderOfRow, from, to] :
             {std::tuple{&top, "Album 1", "Album One"},
              std::tuple{&album, "Track 1.flac", "Track One.flac"},
              std::tuple{&album, "Cover 1.jpg", "Cover One.jpg"}}) {
            FileRow& row = rows.emplace_back();
            row.folder = *folderOfRow;
            row.originalName = from;
            row.newName = to;
            row.isFolder = folderOfRow == &top;
            const FileIdentity id = IdentityOf(*row.folder + from);
            row.device = id.device;
            row.inode = id.inode;
            row.stamp = id.stamp;
        }
        const StepPlan plan = PlanOnDisk(rows);
        ASSERT_EQ(plan.planned.plan.steps.size(), 3u);
        EXPECT_EQ(plan.planned.plan.steps.back().from, "Album 1");
        HistoryStore::OpenReport report;
        std::int64_t applied = 0;
        {
            auto store = HistoryStore::Open(localProgram.Path() + "History.sqlite", report, 0);
            ASSERT_TRUE(store);
            const auto run = store->BeginRun(HistoryRunKind::Rename, localFiles.Path(), 1,
                                             StepsToRecord(plan, rows));
            ASSERT_TRUE(run);
            applied = *run;
            CrashingFileSystem crashing(c.crashAt, c.afterRename);
            if (c.crashAt == 0) {
                ASSERT_TRUE(RenameWithJournal(rows, plan, platform, store.get(), run).AllWell());
                EXPECT_EQ(Tree(localFiles.Path()),
                          (std::vector<std::string>{"Album One/", "Album One/Cover One.jpg",
                                                    "Album One/Track One.flac"}));
                const auto shown = [&rows] {
                    std::vector<std::string> paths;
                    for (const FileRow& row : rows)
                        paths.push_back(row.FullPath());
                    return paths;
                };
                const std::vector<std::string> scanned = {
                    localFiles.Path() + "Album 1", localFiles.Path() + "Album 1/Track 1.flac",
                    localFiles.Path() + "Album 1/Cover 1.jpg"};
                // The rows show where their files are now.
                EXPECT_EQ(shown(), (std::vector<std::string>{
                                       localFiles.Path() + "Album One",
                                       localFiles.Path() + "Album One/Track One.flac",
                                       localFiles.Path() + "Album One/Cover One.jpg"}));
                const UndoOfRun undo = UndoRecordedRun(*store, *run, platform, 2);
                EXPECT_TRUE(undo.result.AllWell()) << testing::PrintToString(undo.result.log);
                EXPECT_EQ(Tree(localFiles.Path()), before);
                EXPECT_EQ(store->Run(applied)->state, HistoryRunState::Undone);
                MarkRowsUndone(rows, undo.steps);
                EXPECT_EQ(shown(), scanned);

                // The rows serve a second run, given back from the rows
                // alone, without a record.
                for (FileRow& row : rows)
                    row.newName =
                        row.originalName == "Album 1" ? "Album Two" : "2 " + row.originalName;
                ASSERT_TRUE(RenameFiles(rows, platform).AllWell());
                EXPECT_EQ(Tree(localFiles.Path()),
                          (std::vector<std::string>{"Album Two/", "Album Two/2 Cover 1.jpg",
                                                    "Album Two/2 Track 1.flac"}));
                const RunResult undone = UndoRenames(rows, platform);
                EXPECT_TRUE(undone.AllWell()) << testing::PrintToString(undone.log);
                EXPECT_EQ(Tree(localFiles.Path()), before);
                EXPECT_EQ(shown(), scanned);
                continue;
            }
            // A stop at the folder's step leaves the files' steps unrecorded,
            // and the disk is asked for them inside the renamed folder.
            StopPartWay(*store, *run, rows, plan, platform, crashing, c.inUndo);
        } // the store goes away without the run's end, as after a kill

        auto store = HistoryStore::Open(localProgram.Path() + "History.sqlite", report, 0);
        ASSERT_TRUE(store);
        const std::optional<HistoryRun> unfinished = store->UnfinishedRun();
        ASSERT_TRUE(unfinished);
        const UnfinishedRunOnDisk judged = JudgeUnfinishedRun(*store, *unfinished, platform);
        EXPECT_EQ(judged.done, static_cast<std::size_t>(c.crashAt - (c.afterRename ? 0 : 1)));
        const UndoOfRun undo = c.inUndo ? FinishUndoRun(*store, unfinished->id, platform)
                                        : UndoRecordedRun(*store, unfinished->id, platform, 2);
        ASSERT_TRUE(undo.found);
        EXPECT_TRUE(undo.result.AllWell()) << testing::PrintToString(undo.result.log);
        EXPECT_EQ(Tree(localFiles.Path()), before);
        EXPECT_EQ(ReadFile(localFiles.Path() + "Album 1/Track 1.flac"), "Track 1.flac");
        EXPECT_FALSE(store->UnfinishedRun());
        EXPECT_EQ(store->Run(applied)->state, HistoryRunState::Undone);
    }
}

TEST_F(RunJournalTest, UndoRefusesAFileThatChanged) {
    struct Case {
        const char* label;
        void (*change)(const TempDir&);
        bool givenBack;
    };
    const std::vector<Case> cases = {
        {"untouched", [](const TempDir&) {}, true},
        {"replaced under the new name",
         [](const TempDir& dir) {
             // Written beside it and moved over it, as an editor saves.
             dir.Write("other.tmp", "someone else's");
             ASSERT_EQ(
                 std::rename((dir.Path() + "other.tmp").c_str(), (dir.Path() + "new.txt").c_str()),
                 0);
         },
         false},
        {"old name taken again", [](const TempDir& dir) { dir.Write("old.txt", "newcomer"); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir localFiles, localProgram;
        folder = std::make_shared<const std::string>(localFiles.Path());
        localFiles.Write("old.txt", "mine");
        FileRows rows = ScannedRows(localFiles, folder, {{"old.txt", "new.txt"}});
        HistoryStore::OpenReport report;
        auto store = HistoryStore::Open(localProgram.Path() + "History.sqlite", report, 0);
        ASSERT_TRUE(store);
        const StepPlan plan = PlanOnDisk(rows);
        const auto run = store->BeginRun(HistoryRunKind::Rename, localFiles.Path(), 1,
                                         StepsToRecord(plan, rows));
        ASSERT_TRUE(run);
        ASSERT_TRUE(RenameWithJournal(rows, plan, platform, store.get(), run).AllWell());
        c.change(localFiles);
        const std::vector<std::string> changed = Listing(localFiles.Path());

        const UndoOfRun undo = UndoRecordedRun(*store, *run, platform, 2);
        if (c.givenBack) {
            EXPECT_TRUE(undo.result.AllWell());
            EXPECT_EQ(Listing(localFiles.Path()), std::vector<std::string>{"old.txt"});
            EXPECT_EQ(ReadFile(localFiles.Path() + "old.txt"), "mine");
            continue;
        }
        EXPECT_EQ(undo.result.failedFiles, 1u);
        ASSERT_EQ(undo.result.log.size(), 1u);
        EXPECT_EQ(undo.result.log[0], localFiles.Path() + "new.txt -------> " + localFiles.Path() +
                                          "old.txt   [Changed]");
        EXPECT_EQ(Listing(localFiles.Path()), changed) << "nothing moves";
    }
}

TEST_F(RunJournalTest, DamagedOrUnwritableHistory) {
    // Not a database at all: set aside whole, and a new one works.
    const std::string garbage(4096, '\x5a');
    program.Write("History.sqlite", garbage);
    HistoryStore::OpenReport report;
    auto store = HistoryStore::Open(HistoryPath(), report, 1'700'000'000);
    ASSERT_TRUE(store) << report.error;
    ASSERT_FALSE(report.setAsidePath.empty());
    EXPECT_EQ(report.setAsidePath.rfind(HistoryPath() + ".broken-", 0), 0u);
    EXPECT_EQ(ReadFile(report.setAsidePath), garbage);
    EXPECT_TRUE(
        store->BeginRun(HistoryRunKind::Rename, files.Path(), 1, std::vector<RecordedStep>{}));

    // A folder nobody may write: no store, and a reason for the question.
    TempDir locked;
    const std::string lock = "chattr +i '" + locked.Path() + "' 2>/dev/null";
    if (std::system(lock.c_str()) != 0)
        GTEST_SKIP() << "chattr +i is refused here";
    auto none = HistoryStore::Open(locked.Path() + "History.sqlite", report, 0);
    std::system(("chattr -i '" + locked.Path() + "'").c_str());
    EXPECT_FALSE(none);
    EXPECT_FALSE(report.error.empty());
    EXPECT_TRUE(report.setAsidePath.empty()) << "nothing to set aside";
}

// A second program started while the first is renaming must not offer that
// run back; once the first is killed, the run is offered.
TEST_F(RunJournalTest, ARunOfALiveProgramIsNotOfferedBack) {
    FileRows rows = Rows({{"x", "y"}});
    const StepPlan plan = PlanOnDisk(rows);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto store = OpenStore();
        const bool begun = store && Begin(*store, plan, rows) != 0;
        const char byte = begun ? 'y' : 'n';
        if (::write(ready[1], &byte, 1) == 1)
            ::pause(); // mid-run until killed
        ::_exit(1);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 'y');
    auto store = OpenStore();
    ASSERT_TRUE(store);
    EXPECT_FALSE(store->UnfinishedRun()) << "the run is still going";
    const std::vector<HistoryRun> runs = store->Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(store->MayBeGoingOn(runs[0]));

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    const std::optional<HistoryRun> unfinished = store->UnfinishedRun();
    ASSERT_TRUE(unfinished);
    EXPECT_EQ(unfinished->files, 1u);
    EXPECT_FALSE(store->MayBeGoingOn(*unfinished));
}

TEST_F(RunJournalTest, KeepsTheNewest200RunsAndTheirSteps) {
    auto store = OpenStore();
    ASSERT_TRUE(store);
    FileRows rows = Rows({{"x", "y"}});
    const StepPlan plan = PlanOnDisk(rows);
    std::int64_t last = 0;
    for (int i = 0; i < 205; ++i)
        last = Begin(*store, plan, rows);
    const std::vector<HistoryRun> runs = store->Runs(1000);
    ASSERT_EQ(runs.size(), 200u);
    EXPECT_EQ(runs.front().id, last) << "newest first";
    EXPECT_EQ(runs.back().id, last - 199);
    EXPECT_TRUE(store->Steps(last - 200).value().empty());
    ASSERT_EQ(store->Steps(last).value().size(), 1u);
    EXPECT_EQ(store->Steps(last).value()[0].to, "y");
}

} // namespace
} // namespace quorvane
