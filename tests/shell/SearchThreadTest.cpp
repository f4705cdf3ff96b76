#include "shell/TSearchThread.h"

#include "support/TempDir.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace quorvane {
namespace {

using test::TempDir;

void MakeFiles(const TempDir& dir, const std::string& folder, int count) {
    for (int i = 0; i < count; ++i)
        dir.Write(folder + "f" + std::to_string(i) + ".dat");
}

// What the main window would see of one scan.
struct Receiver {
    explicit Receiver(TSearchThread& search) {
        QObject::connect(&search, &TSearchThread::RowsArrived, [this](const FileRows& rows) {
            ++batches;
            onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
            rowsAfterDone = rowsAfterDone || done;
            for (const FileRow& row : rows)
                paths.insert(row.FullPath());
            rowCount += rows.size();
        });
        QObject::connect(&search, &TSearchThread::SearchDone, [this] {
            doneOnUiThread = QThread::currentThread() == qApp->thread();
            done = true;
        });
    }

    int batches = 0;
    std::size_t rowCount = 0;
    std::set<std::string> paths;
    bool onUiThread = true;
    bool rowsAfterDone = false;
    bool done = false;
    bool doneOnUiThread = false;
};

TEST(TSearchThread, DeliversEveryRowAndThenSearchDoneOnTheUserInterfaceThread) {
    TempDir dir;
    MakeFiles(dir, "", 40);
    MakeFiles(dir, "sub/", 40);
    TSearchThread search(nullptr, {std::chrono::seconds(10), 8});
    Receiver receiver(search);
    QSignalSpy done(&search, &TSearchThread::SearchDone);

    ASSERT_TRUE(search.Start({dir.Path(), "*.*", true}));
    EXPECT_TRUE(search.IsRunning());
    ASSERT_TRUE(done.wait(20'000));
    QCoreApplication::processEvents();

    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(receiver.rowCount, 80u);
    EXPECT_EQ(receiver.paths.size(), 80u);
    EXPECT_GE(receiver.batches, 10);
    EXPECT_TRUE(receiver.onUiThread);
    EXPECT_TRUE(receiver.doneOnUiThread);
    EXPECT_FALSE(receiver.rowsAfterDone);
    EXPECT_FALSE(search.IsRunning());
}

TEST(TSearchThread, LendsEachBatchSoTheListTakesItWithoutACopy) {
    TempDir dir;
    const std::string longName(40, 'n'); // beyond the short-string buffer
    for (int i = 0; i < 20; ++i)
        dir.Write(longName + std::to_string(i));
    TSearchThread search(nullptr, {std::chrono::seconds(10), 4});
    std::vector<const char*> sent;
    FileRows taken;
    QObject::connect(&search, &TSearchThread::RowsArrived, [&](const FileRows& rows) {
        for (const FileRow& row : rows)
            sent.push_back(row.originalName.data());
    });
    QObject::connect(&search, &TSearchThread::RowsArrived, [&](FileRows& rows) {
        for (FileRow& row : rows)
            taken.push_back(std::move(row));
    });
    QSignalSpy done(&search, &TSearchThread::SearchDone);
    ASSERT_TRUE(search.Start({dir.Path(), "*.*", false}));
    ASSERT_TRUE(done.wait(20'000));
    ASSERT_EQ(taken.size(), 20u);
    for (std::size_t i = 0; i < taken.size(); ++i)
        EXPECT_EQ(taken[i].originalName.data(), sent[i]) << "row " << i << " was copied";
}

TEST(TSearchThread, RefusesASecondStartUntilDoneAndCanBeReused) {
    TempDir dir;
    MakeFiles(dir, "", 5);
    TSearchThread search;
    Receiver receiver(search);
    QSignalSpy done(&search, &TSearchThread::SearchDone);

    search.Cancel(); // idle: nothing to cancel, nothing emitted
    ASSERT_TRUE(search.Start({dir.Path(), "*.*", false}));
    EXPECT_FALSE(search.Start({dir.Path(), "*.*", false}));
    ASSERT_TRUE(done.wait(20'000));
    EXPECT_EQ(receiver.rowCount, 5u);

    ASSERT_TRUE(search.Start({dir.Path(), "*.*", false}));
    ASSERT_TRUE(done.wait(20'000));
    EXPECT_EQ(done.count(), 2);
    EXPECT_EQ(receiver.rowCount, 10u);
}

TEST(TSearchThread, CancelledScanStillEndsWithSearchDone) {
    TempDir dir;
    MakeFiles(dir, "", 2000);
    TSearchThread search(nullptr, {std::chrono::seconds(10), 1});
    Receiver receiver(search);
    QSignalSpy done(&search, &TSearchThread::SearchDone);

    ASSERT_TRUE(search.Start({dir.Path(), "*.*", true}));
    search.Cancel();
    ASSERT_TRUE(done.wait(20'000));
    QCoreApplication::processEvents();
    EXPECT_EQ(done.count(), 1);
    EXPECT_LE(receiver.rowCount, 2000u);
    EXPECT_EQ(receiver.paths.size(), receiver.rowCount);
    EXPECT_FALSE(receiver.rowsAfterDone);
    EXPECT_FALSE(search.IsRunning());
}

TEST(TSearchThread, DestroyingARunningScanDropsItsPendingBatches) {
    TempDir dir;
    MakeFiles(dir, "", 2000);
    int emitted = 0;
    {
        TSearchThread search(nullptr, {std::chrono::milliseconds(1), 1});
        QObject::connect(&search, &TSearchThread::RowsArrived, [&] { ++emitted; });
        QObject::connect(&search, &TSearchThread::SearchDone, [&] { ++emitted; });
        ASSERT_TRUE(search.Start({dir.Path(), "*.*", false}));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(emitted, 0);
}

} // namespace
} // namespace quorvane
