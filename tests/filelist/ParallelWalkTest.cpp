// The parallel walk against the single-thread walk: the same rows, field for
// field, in the same order, on trees made to trip it up.
#include "filelist/FolderScan.h"

#include "support/ScanRows.h"
#include "support/TempDir.h"

#include <condition_variable>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace quorvane {
namespace {

using test::TempDir;

// Everything a row holds, one line per row, so that a failure shows where two
// walks part.
std::vector<std::string> Described(const FileRows& rows) {
    std::vector<std::string> lines;
    for (const FileRow& row : rows)
        lines.push_back(row.FullPath() + " size=" + std::to_string(row.sizeBytes) +
                        " time=" + std::to_string(row.modifiedUtc) +
                        " attr=" + std::to_string(row.attributes) +
                        " dev=" + std::to_string(row.device) + " ino=" + std::to_string(row.inode) +
                        " stamp=" + std::to_string(row.stamp) + (row.isFolder ? " folder" : "") +
                        (row.selected ? " selected" : "") + (row.newName.empty() ? "" : " new"));
    return lines;
}

std::vector<std::string> Walk(const ScanRequest& request, const ScanOptions& options) {
    bool started = false;
    const FileRows rows = test::ScanAllRows(request, options, &started);
    EXPECT_TRUE(started);
    return Described(rows);
}

ScanOptions SingleThread() {
    ScanOptions options;
    options.singleThreadWalk = true;
    return options;
}

ScanOptions Parallel(unsigned threads) {
    ScanOptions options;
    options.threads = threads;
    options.maxBatchRows = 7; // many hand-overs, each at an odd place
    return options;
}

// Both walks, with and without subfolders and with two filters, for one to
// four threads (more threads than cores give more interleavings).
void ExpectSameWalks(const std::string& root, const std::string& what) {
    for (const bool subfolders : {false, true}) {
        // Folder rows once, with the filter that lists them all.
        for (const char* filter : {"*.*", "*.txt", "folders"}) {
            ScanRequest request{root, filter, subfolders};
            if (std::string_view(filter) == "folders") {
                request.filter = "*.*";
                request.includeFolders = true;
            }
            const std::vector<std::string> expected = Walk(request, SingleThread());
            for (const unsigned threads : {1u, 2u, 3u, 4u})
                EXPECT_EQ(Walk(request, Parallel(threads)), expected)
                    << what << ", filter " << filter << (subfolders ? ", subfolders" : "") << ", "
                    << threads << " threads";
        }
    }
}

void MakeLink(const std::string& target, const std::string& path) {
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
}

// Trees made to trip the parallel walk up.
void MakeEmptyFolders(const TempDir& dir) {
    dir.MakeDir("empty");
    dir.MakeDir("a/empty/deeper/still");
    dir.Write("a/b/one.txt");
    dir.MakeDir("a/c");
    dir.Write("z/two.dat");
    dir.MakeDir("z/zz");
}

void MakeDotAndStoredHiddenFolders(const TempDir& dir) {
    dir.Write(".hidden/inside.txt");
    dir.Write(".hidden/sub/deeper.txt");
    dir.Write("shown/.dot/under-dot.txt");
    dir.Write("shown/visible.txt");
    dir.Write(".dotfile.txt");
    dir.Write("..twice/x.txt");
    const std::string system = dir.MakeDir("System Volume");
    dir.Write("System Volume/in-system.txt");
    const std::string hidden = dir.MakeDir("stored hidden");
    dir.Write("stored hidden/in-hidden.txt");
    dir.Write("stored archive/in-archive.txt");
    // Where the file system keeps no extended attributes, these are plain folders.
    setxattr(system.c_str(), "user.DOSATTRIB", "0x14", 4, 0);
    setxattr(hidden.c_str(), "user.DOSATTRIB", "0x12", 4, 0);
    setxattr((dir.Path() + "stored archive").c_str(), "user.DOSATTRIB", "0x30", 4, 0);
}

void MakeLinkLoops(const TempDir& dir) {
    dir.Write("top.txt");
    dir.Write("real/inner.txt");
    dir.Write("real/deep/bottom.txt");
    MakeLink("..", dir.Path() + "real/back-to-root");
    MakeLink(".", dir.Path() + "real/itself");
    MakeLink("../..", dir.Path() + "real/deep/up-two");
    MakeLink(dir.Path(), dir.Path() + "real/deep/absolute-root");
    MakeLink("real", dir.Path() + "alias");
    MakeLink("loop-b.txt", dir.Path() + "loop-a.txt");
    MakeLink("loop-a.txt", dir.Path() + "loop-b.txt");
    MakeLink("real/inner.txt", dir.Path() + "link-to-file.txt");
    MakeLink("nowhere", dir.Path() + "dangling.txt");
}

void MakeTenThousandFolders(const TempDir& dir) {
    for (int top = 0; top < 100; ++top) {
        const std::string folder = "t" + std::to_string(top) + "/";
        dir.Write(folder + "f.txt");
        for (int sub = 0; sub < 99; ++sub)
            dir.Write(folder + "s" + std::to_string(sub) + "/g.txt");
    }
}

void MakeFolderReadInChunks(const TempDir& dir) {
    const std::string padding(60, 'n');
    for (int i = 0; i < 3000; ++i) {
        dir.Write(padding + std::to_string(i) + (i % 3 ? ".txt" : ".dat"));
        if (i % 500 == 0)
            dir.Write("folder" + std::to_string(i) + "/in.txt");
    }
}

void MakeChainTwoHundredDeep(const TempDir& dir) {
    std::string folder;
    for (int depth = 0; depth < 200; ++depth) {
        folder += "d/";
        dir.Write(folder + "at" + std::to_string(depth) + ".txt");
    }
}

struct WalkCase {
    const char* what;
    void (*make)(const TempDir&);
    std::size_t atLeastRows; // with subfolders and "*.*"
    bool inMemory = false;   // many folders: made where they are quick to remove
};

const WalkCase kWalkCases[] = {
    {"empty folders", MakeEmptyFolders, 2},
    {"dot-folders and stored hidden or system folders", MakeDotAndStoredHiddenFolders, 3},
    {"symbolic-link loops", MakeLinkLoops, 4},
    {"10,000 folders of one file", MakeTenThousandFolders, 10'000, true},
    {"a folder read in many chunks, with folders among its files", MakeFolderReadInChunks, 3006},
    {"a chain of folders 200 deep", MakeChainTwoHundredDeep, 200},
};

TEST(ParallelWalk, GivesTheRowsAndOrderOfTheSingleThreadWalk) {
    for (const WalkCase& c : kWalkCases) {
        const TempDir dir(c.inMemory ? test::MemoryBackedTempBase()
                                     : std::filesystem::temp_directory_path().string());
        c.make(dir);
        ASSERT_GE(Walk({dir.Path(), "*.*", true}, SingleThread()).size(), c.atLeastRows) << c.what;
        ExpectSameWalks(dir.Path(), c.what);
    }
}

// Runs `work` on a thread of its own. As root, that thread first gives up the
// capabilities that let it read and enter any folder, so that a folder's mode
// keeps it out as it keeps out any user; the walk's threads inherit that.
// False when they cannot be given up.
bool RunAsOrdinaryUser(const std::function<void()>& work) {
    bool ran = false;
    std::thread thread([&] {
        if (geteuid() == 0) {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct data[2] = {};
            if (syscall(SYS_capget, &header, data) != 0)
                return;
            data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            if (syscall(SYS_capset, &header, data) != 0) // this thread only
                return;
        }
        work();
        ran = true;
    });
    thread.join();
    return ran;
}

TEST(ParallelWalk, UnreadableFoldersGiveTheRowsOfTheSingleThreadWalk) {
    TempDir dir;
    dir.Write("before.txt");
    dir.Write("locked/inside.txt");
    dir.Write("locked/sub/deeper.txt");
    dir.Write("names-only/listed-but-not-stat.txt");
    dir.Write("names-only/sub/below.txt");
    dir.Write("enter-only/hidden-name.txt");
    dir.Write("enter-only/sub/below.txt");
    dir.Write("open/after.txt");
    dir.Write("open/locked-too/x.txt");
    const struct {
        const char* folder;
        mode_t mode;
    } modes[] = {{"locked", 0}, {"names-only", 0400}, {"enter-only", 0100}, {"open/locked-too", 0}};
    for (const auto& m : modes)
        ASSERT_EQ(chmod((dir.Path() + m.folder).c_str(), m.mode), 0);

    bool keptOut = false;
    std::vector<std::vector<std::string>> walks;
    const bool ran = RunAsOrdinaryUser([&] {
        DIR* listing = opendir((dir.Path() + "locked").c_str());
        keptOut = listing == nullptr;
        if (listing)
            closedir(listing);
        for (const bool subfolders : {false, true}) {
            const ScanRequest request{dir.Path(), "*.*", subfolders};
            walks.push_back(Walk(request, SingleThread()));
            for (const unsigned threads : {1u, 2u, 4u})
                walks.push_back(Walk(request, Parallel(threads)));
        }
    });
    for (const auto& m : modes)
        chmod((dir.Path() + m.folder).c_str(), 0755);
    if (!ran || !keptOut)
        GTEST_SKIP() << "folder modes do not keep this process out (capabilities not droppable)";

    ASSERT_EQ(walks.size(), 8u);
    const std::vector<std::string> withSubfolders = walks[4];
    ASSERT_EQ(withSubfolders.size(), 2u) << "before.txt and open/after.txt only";
    for (std::size_t i = 0; i < walks.size(); ++i)
        EXPECT_EQ(walks[i], walks[i < 4 ? 0 : 4]) << "walk " << i;
}

TEST(ParallelWalk, AStopFromAnotherThreadLetsAtMostOneMoreBatchThrough) {
    TempDir dir;
    for (int folder = 0; folder < 40; ++folder)
        for (int file = 0; file < 50; ++file)
            dir.Write("f" + std::to_string(folder) + "/" + std::to_string(file) + ".txt");
    const ScanRequest request{dir.Path(), "*.*", true};
    const std::vector<std::string> everything = Walk(request, SingleThread());

    for (const unsigned threads : {2u, 4u}) {
        std::mutex mutex;
        std::condition_variable arrived;
        FileRows rows;
        int batches = 0;
        bool stopRequested = false;
        ScanOptions options;
        options.threads = threads;
        options.batchInterval = std::chrono::seconds(10);
        options.maxBatchRows = 16;
        FolderScan scan(
            [&](FileRows&& batch) {
                std::unique_lock<std::mutex> lock(mutex);
                ++batches;
                for (FileRow& row : batch)
                    rows.push_back(std::move(row));
                arrived.notify_all();
                // The second batch is still being taken in when the stop
                // comes, as when Cancel is clicked while the list grows.
                if (batches == 2)
                    arrived.wait(lock, [&] { return stopRequested; });
            },
            {}, options);
        ASSERT_TRUE(scan.Start(request));
        {
            std::unique_lock<std::mutex> lock(mutex);
            arrived.wait(lock, [&] { return batches == 2; });
            scan.RequestStop();
            stopRequested = true;
            arrived.notify_all();
        }
        scan.Wait();

        EXPECT_LE(batches, 3) << threads << " threads";
        // What did arrive is the beginning of the walk, in its order.
        const std::vector<std::string> got = Described(rows);
        ASSERT_LT(got.size(), everything.size());
        EXPECT_EQ(got, std::vector<std::string>(
                           everything.begin(), everything.begin() + static_cast<long>(got.size())));
    }
}

} // namespace
} // namespace quorvane
