#include "filelist/FolderScan.h"

#include "platform/DirectorySearch.h"
#include "support/Rows.h"
#include "support/TempDir.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

using test::TempDir;

struct ScanResult {
    std::vector<FileRows> batches;
    int doneCalls = 0;

    FileRows Rows() const {
        FileRows all;
        for (const FileRows& batch : batches)
            all.insert(all.end(), batch.begin(), batch.end());
        return all;
    }
    std::vector<std::string> FullPaths() const {
        std::vector<std::string> paths;
        for (const FileRow& row : Rows())
            paths.push_back(row.FullPath());
        return paths;
    }
};

ScanResult Scan(const ScanRequest& request, ScanOptions options = {}) {
    ScanResult result;
    FolderScan scan([&](FileRows&& batch) { result.batches.push_back(std::move(batch)); },
                    [&] { ++result.doneCalls; }, options);
    EXPECT_TRUE(scan.Start(request));
    scan.Wait();
    return result;
}

void SetModified(const std::string& path, std::int64_t secondsUtc) {
    const timespec times[2] = {{secondsUtc, 0}, {secondsUtc, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

void MakeFiles(const TempDir& dir, const std::string& folder, int count) {
    for (int i = 0; i < count; ++i)
        dir.Write(folder + "f" + std::to_string(i) + ".dat");
}

TEST(FolderScan, ListsTheFilesOfOneFolderWithTheirFields) {
    TempDir dir;
    SetModified(dir.Write("alpha.txt", "abc"), 1'600'000'000);
    SetModified(dir.Write("beta", ""), 1'500'000'000);
    const std::string readOnly = dir.Write("gamma.mp3", std::string(2048, 'x'));
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    SetModified(readOnly, 1'700'000'000);

    const ScanResult result = Scan({dir.Path(), "*.*", false});

    ASSERT_EQ(result.doneCalls, 1);
    const FileRows rows = result.Rows();
    EXPECT_EQ(test::FieldOfEach(rows, &FileRow::originalName),
              (std::vector<std::string>{"alpha.txt", "beta", "gamma.mp3"}));
    ASSERT_EQ(rows.size(), 3u);

    struct Expected {
        std::uint64_t size;
        std::int64_t modified;
        bool readOnly;
    };
    const std::map<std::string, Expected> expected = {
        {"alpha.txt", {3, 1'600'000'000, false}},
        {"beta", {0, 1'500'000'000, false}},
        {"gamma.mp3", {2048, 1'700'000'000, true}},
    };
    for (const FileRow& row : rows) {
        const Expected& want = expected.at(row.originalName);
        EXPECT_EQ(row.sizeBytes, want.size) << row.originalName;
        EXPECT_EQ(row.modifiedUtc, want.modified) << row.originalName;
        EXPECT_EQ((row.attributes & kAttrReadOnly) != 0, want.readOnly) << row.originalName;
        EXPECT_EQ(row.Path(), dir.Path());
        EXPECT_EQ(row.folder, rows.front().folder) << "rows of one folder share it";
        struct stat info {};
        ASSERT_EQ(stat(row.FullPath().c_str(), &info), 0);
        EXPECT_EQ(row.inode, info.st_ino) << row.originalName;
        EXPECT_EQ(static_cast<dev_t>(row.device), info.st_dev) << row.originalName;
        EXPECT_TRUE(row.newName.empty());
        EXPECT_FALSE(row.selected);
    }
}

// Each folder's files and subfolders come in the order a click on "Original
// Name" gives (letters without regard to case, "_" after them), whatever order
// the file system keeps them in; the names are made in reverse so that no file
// system lists them in order by chance. Both walks, with and without
// subfolders.
TEST(FolderScan, ListsEachFolderInNameOrder) {
    struct Case {
        const char* what;
        std::vector<std::string> names; // in the order expected
        bool includeSubfolders;
    };
    const std::vector<Case> cases = {
        {"photos",
         {"IMG_0001.JPG", "img_0002.jpg", "IMG_0003.JPG", "IMG_0010.JPG", "IMG_0100.JPG",
          "notes.txt", "Notes2.txt", "zeta", "_draft"},
         false},
        {"prefixes and bytes above ASCII",
         {"a", "a b", "a.txt", "ab", "a_b", "B", "b2", "\xc3\xa9t\xc3\xa9"},
         false},
        {"subfolders in name order, pre-order",
         {"top.txt", "A/x", "a b/y", "b/z", "b/c/w", "B_/v"},
         true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (auto name = c.names.rbegin(); name != c.names.rend(); ++name)
            dir.Write(*name);
        std::vector<std::string> expected;
        for (const std::string& name : c.names)
            expected.push_back(dir.Path() + name);
        for (const bool singleThread : {true, false}) {
            ScanOptions options;
            options.singleThreadWalk = singleThread;
            options.maxBatchRows = 2;
            EXPECT_EQ(Scan({dir.Path(), "*.*", c.includeSubfolders}, options).FullPaths(), expected)
                << c.what << (singleThread ? ", one thread" : ", in parallel");
        }
    }
}

TEST(FolderScan, KeepsSizesAboveFourGibibytes) {
    TempDir dir;
    const std::uint64_t size = (5ull << 30) + 7;
    ASSERT_EQ(truncate(dir.Write("big.iso").c_str(), static_cast<off_t>(size)), 0);
    const FileRows rows = Scan({dir.Path(), "*.*", false}).Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].sizeBytes, size);
}

TEST(FolderScan, WalksSubfoldersDepthFirstInPreOrder) {
    TempDir dir;
    dir.Write("root.txt");
    dir.Write("A/a.txt");
    dir.Write("A/deep/d.txt");
    dir.Write("A/deep/deeper/e.txt");
    dir.Write("B/b.txt");
    dir.MakeDir("C");

    const std::map<std::string, std::vector<std::string>> filesBelow = {
        {"A", {"A/a.txt", "A/deep/d.txt", "A/deep/deeper/e.txt"}},
        {"B", {"B/b.txt"}},
        {"C", {}},
    };
    std::vector<std::string> expected = {dir.Path() + "root.txt"};
    for (const auto& [name, files] : filesBelow) // subfolders in name order
        for (const std::string& file : files)
            expected.push_back(dir.Path() + file);

    const ScanResult result = Scan({dir.Path(), "*.*", true});
    EXPECT_EQ(result.FullPaths(), expected);
    EXPECT_EQ(result.doneCalls, 1);

    const ScanResult flat = Scan({dir.Path(), "*.*", false});
    EXPECT_EQ(flat.FullPaths(), std::vector<std::string>{dir.Path() + "root.txt"});
}

TEST(FolderScan, ListsMatchingFoldersAsRowsBeforeTheirContents) {
    TempDir dir;
    dir.Write("root.txt");
    dir.Write("Album 1/a.txt");
    dir.Write("Album 1/Disc 2/d.txt");
    dir.Write("Other/b.txt");
    dir.Write(".hidden/h.txt");
    const std::string album = dir.Path() + "Album 1";
    ASSERT_EQ(chmod(album.c_str(), 0555), 0);
    SetModified(album, 1'600'000'000);

    struct Case {
        std::string filter;
        bool subfolders;
        std::vector<std::string> paths; // folder rows end in "/"
    };
    const std::vector<Case> cases = {
        {"*.*",
         true,
         {"root.txt", "Album 1/", "Album 1/a.txt", "Album 1/Disc 2/", "Album 1/Disc 2/d.txt",
          "Other/", "Other/b.txt"}},
        {"*.*", false, {"root.txt", "Album 1/", "Other/"}},
        {"*1", false, {"Album 1/"}},
        // Folders that do not match are walked, not listed.
        {"*2", true, {"Album 1/Disc 2/"}},
        {"*.txt", true, {"root.txt", "Album 1/a.txt", "Album 1/Disc 2/d.txt", "Other/b.txt"}},
    };
    for (const bool oneThread : {false, true}) {
        ScanOptions options;
        options.singleThreadWalk = oneThread;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.filter + (c.subfolders ? " with subfolders" : "") +
                         (oneThread ? " on one thread" : ""));
            ScanRequest request{dir.Path(), c.filter, c.subfolders};
            request.includeFolders = true;
            const FileRows rows = Scan(request, options).Rows();
            std::vector<std::string> paths;
            for (const FileRow& row : rows)
                paths.push_back(row.FullPath().substr(dir.Path().size()) +
                                (row.isFolder ? "/" : ""));
            EXPECT_EQ(paths, c.paths);
            for (const FileRow& row : rows) {
                if (row.originalName != "Album 1")
                    continue;
                struct stat info {};
                ASSERT_EQ(stat(album.c_str(), &info), 0);
                EXPECT_EQ(row.inode, info.st_ino);
                EXPECT_EQ(row.device, CompactDevice(info.st_dev));
                EXPECT_EQ(row.modifiedUtc, 1'600'000'000);
                EXPECT_EQ(row.sizeBytes, 0u);
                EXPECT_NE(row.attributes & kAttrReadOnly, 0u);
                EXPECT_EQ(row.Path(), dir.Path());
            }
        }
    }
    ASSERT_EQ(chmod(album.c_str(), 0755), 0);
}

TEST(FolderScan, SkipsHiddenFoldersButListsHiddenFiles) {
    TempDir dir;
    dir.Write(".hidden-folder/inside.txt");
    dir.Write(".hidden-folder/below/deeper.txt");
    dir.Write(".dotfile");
    dir.Write("shown/visible.txt");

    const FileRows rows = Scan({dir.Path(), "*.*", true}).Rows();
    std::set<std::string> names;
    for (const FileRow& row : rows)
        names.insert(row.originalName);
    EXPECT_EQ(names, (std::set<std::string>{".dotfile", "visible.txt"}));
    for (const FileRow& row : rows) {
        if (row.originalName == ".dotfile") {
            EXPECT_NE(row.attributes & kAttrHidden, 0u);
        }
    }

    // A hidden folder chosen as the root is scanned like any other.
    const FileRows inside = Scan({dir.Path() + ".hidden-folder/", "*.*", true}).Rows();
    EXPECT_EQ(inside.size(), 2u);
}

TEST(FolderScan, FilterAppliesInEveryFolderWhileAllSubfoldersAreWalked) {
    TempDir dir;
    dir.Write("a.mp3");
    dir.Write("b.txt");
    dir.Write("songs.txt/c.MP3");
    dir.Write("songs.txt/d.txt");
    dir.Write("plain/more/e.mp3");

    std::set<std::string> names;
    for (const FileRow& row : Scan({dir.Path(), "*.mp3", true}).Rows())
        names.insert(row.originalName);
    EXPECT_EQ(names, (std::set<std::string>{"a.mp3", "c.MP3", "e.mp3"}));
}

TEST(FolderScan, FoldersThatCannotBeListedGiveNoRowsAndStillEnd) {
    TempDir dir;
    dir.Write("file.txt");
    dir.Write("sub/other.txt");
    struct Case {
        const char* what;
        std::string folder;
        std::string filter;
    };
    const Case cases[] = {
        {"empty filter", dir.Path(), ""},
        {"missing folder", dir.Path() + "missing/", "*.*"},
        {"a file, not a folder", dir.Path() + "file.txt/", "*.*"},
        {"no folder at all", "", "*.*"},
        {"path too long", dir.Path() + std::string(5000, 'x') + "/", "*.*"},
    };
    for (const Case& c : cases) {
        for (const bool subfolders : {false, true}) {
            const ScanResult result = Scan({c.folder, c.filter, subfolders});
            EXPECT_TRUE(result.batches.empty()) << c.what;
            EXPECT_EQ(result.doneCalls, 1) << c.what;
        }
    }
}

TEST(FolderScan, StopRequestedFromTheFirstBatchEndsTheWalk) {
    TempDir dir;
    MakeFiles(dir, "", 600);
    MakeFiles(dir, "sub/", 600);

    for (const bool subfolders : {false, true}) {
        ScanResult result;
        FolderScan* self = nullptr;
        FolderScan scan(
            [&](FileRows&& batch) {
                result.batches.push_back(std::move(batch));
                self->RequestStop();
            },
            [&] { ++result.doneCalls; }, ScanOptions{std::chrono::milliseconds(10'000), 16});
        self = &scan;
        ASSERT_TRUE(scan.Start({dir.Path(), "*.*", subfolders}));
        scan.Wait();

        // The stop is seen right after the file that completed the batch.
        ASSERT_EQ(result.batches.size(), 1u);
        EXPECT_EQ(result.batches[0].size(), 16u);
        EXPECT_EQ(result.doneCalls, 1);
    }
}

TEST(FolderScan, BatchesTogetherHoldEveryFileExactlyOnce) {
    TempDir dir;
    std::multiset<std::string> created;
    for (const std::string folder : {"", "one/", "one/two/", "three/"}) {
        MakeFiles(dir, folder, 250);
        for (int i = 0; i < 250; ++i)
            created.insert(dir.Path() + folder + "f" + std::to_string(i) + ".dat");
    }

    const ScanResult result = Scan({dir.Path(), "*.*", true}, {std::chrono::seconds(10), 64});

    const std::vector<std::string> paths = result.FullPaths();
    EXPECT_EQ(std::multiset<std::string>(paths.begin(), paths.end()), created);
    EXPECT_GE(result.batches.size(), 1000u / 64);
    for (const FileRows& batch : result.batches) {
        EXPECT_FALSE(batch.empty());
        EXPECT_LE(batch.size(), 64u);
    }
}

TEST(FolderScan, FollowsLinkedFoldersButListsEachFolderOnce) {
    TempDir dir;
    dir.Write("top.txt");
    dir.Write("real/inner.txt");
    ASSERT_EQ(symlink("..", (dir.Path() + "real/back-to-root").c_str()), 0);
    ASSERT_EQ(symlink(".", (dir.Path() + "real/itself").c_str()), 0);
    ASSERT_EQ(symlink("real", (dir.Path() + "alias").c_str()), 0);

    const std::vector<std::string> paths = Scan({dir.Path(), "*.*", true}).FullPaths();
    std::multiset<std::string> names;
    for (const std::string& path : paths)
        names.insert(std::filesystem::path(path).filename().string());
    EXPECT_EQ(names, (std::multiset<std::string>{"top.txt", "inner.txt"}));
}

TEST(FolderScan, CanBeRestartedAndRefusesAStartWhileRunning) {
    TempDir dir;
    MakeFiles(dir, "", 3);
    std::size_t rows = 0;
    int done = 0;
    FolderScan* self = nullptr;
    bool startRefused = false;
    FolderScan scan([&](FileRows&& batch) { rows += batch.size(); },
                    [&] {
                        ++done;
                        startRefused = !self->Start({dir.Path(), "*.*", false});
                    });
    self = &scan;
    for (int run = 1; run <= 2; ++run) {
        ASSERT_TRUE(scan.Start({dir.Path(), "*.*", false}));
        scan.Wait();
        EXPECT_EQ(done, run);
        EXPECT_TRUE(startRefused) << "a start from inside the running walk is refused";
        EXPECT_FALSE(scan.IsRunning());
    }
    EXPECT_EQ(rows, 6u);
}

TEST(FolderScan, DestroyingARunningScanStopsItAndStillEndsIt) {
    TempDir dir;
    MakeFiles(dir, "", 2000);
    int done = 0;
    std::size_t rows = 0;
    {
        FolderScan scan([&](FileRows&& batch) { rows += batch.size(); }, [&] { ++done; },
                        {std::chrono::milliseconds(1), 1});
        ASSERT_TRUE(scan.Start({dir.Path(), "*.*", true}));
    }
    EXPECT_EQ(done, 1);
    EXPECT_LE(rows, 2000u);
}

TEST(FolderScanTexts, TrailingSlash) {
    EXPECT_EQ(WithTrailingSlash("/home/me"), "/home/me/");
    EXPECT_EQ(WithTrailingSlash("/home/me/"), "/home/me/");
    EXPECT_EQ(WithTrailingSlash("/"), "/");
    EXPECT_EQ(WithTrailingSlash(""), "");
}

} // namespace
} // namespace quorvane
