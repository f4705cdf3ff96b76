// A folder or file swapped between the scan and the run: the run changes
// nothing outside the folders it scanned, and says which row failed.
#include "platform/DirectorySearch.h"
#include "platform/TimeStamp.h"
#include "runs/AttributeRun.h"
#include "runs/RenameRun.h"
#include "support/ScanRows.h"
#include "support/TempDir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

enum class Run { Rename, Attributes };
enum class Swap {
    None,                 // nothing swapped; the list was opened through a link
    FolderForLink,        // sub -> a link to the outside folder
    FolderForOtherFolder, // sub moved away, the outside folder moved in its place
    FileForLink,          // sub/a.txt -> a link to the outside file
    FileForOtherFile,     // sub/a.txt -> another file of that name
};

struct SwapCase {
    const char* what;
    Run run;
    Swap swap;
};

const SwapCase kSwapCases[] = {
    {"rename, nothing swapped", Run::Rename, Swap::None},
    {"attributes, nothing swapped", Run::Attributes, Swap::None},
    {"rename, folder swapped for a link", Run::Rename, Swap::FolderForLink},
    {"rename, folder swapped for another", Run::Rename, Swap::FolderForOtherFolder},
    {"attributes, folder swapped for a link", Run::Attributes, Swap::FolderForLink},
    {"attributes, folder swapped for another", Run::Attributes, Swap::FolderForOtherFolder},
    {"attributes, file swapped for a link", Run::Attributes, Swap::FileForLink},
    {"attributes, file swapped for another", Run::Attributes, Swap::FileForOtherFile},
};

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

void MakeSwap(const test::TempDir& dir, Swap swap) {
    const std::string sub = dir.Path() + "top/sub";
    const std::string outside = dir.Path() + "outside";
    switch (swap) {
    case Swap::None:
        break;
    case Swap::FolderForLink:
        ASSERT_EQ(std::rename(sub.c_str(), (sub + ".away").c_str()), 0);
        ASSERT_EQ(::symlink(outside.c_str(), sub.c_str()), 0);
        break;
    case Swap::FolderForOtherFolder:
        ASSERT_EQ(std::rename(sub.c_str(), (sub + ".away").c_str()), 0);
        ASSERT_EQ(std::rename(outside.c_str(), sub.c_str()), 0);
        break;
    case Swap::FileForLink:
        ASSERT_EQ(::unlink((sub + "/a.txt").c_str()), 0);
        ASSERT_EQ(::symlink((outside + "/a.txt").c_str(), (sub + "/a.txt").c_str()), 0);
        break;
    case Swap::FileForOtherFile:
        ASSERT_EQ(std::rename((sub + "/a.txt").c_str(), (sub + "/a.old").c_str()), 0);
        dir.Write("top/sub/a.txt", "another");
        break;
    }
}

// Where the file that now answers to the scanned name lies.
std::string SwappedInFile(const test::TempDir& dir, Swap swap) {
    switch (swap) {
    case Swap::None:
    case Swap::FolderForOtherFolder:
    case Swap::FileForOtherFile:
        return dir.Path() + "top/sub/a.txt";
    default:
        return dir.Path() + "outside/a.txt";
    }
}

TEST(SwappedSinceScan, NothingOutsideTheScannedFoldersChanges) {
    for (const SwapCase& c : kSwapCases) {
        SCOPED_TRACE(c.what);
        const test::TempDir dir;
        dir.Write("top/sub/a.txt", "scanned");
        const std::string outsideFile = dir.Write("outside/a.txt", "outside");
        ASSERT_EQ(::chmod(outsideFile.c_str(), 0644), 0);
        // The user may reach the listed folder through a link of their own.
        ASSERT_EQ(::symlink((dir.Path() + "top").c_str(), (dir.Path() + "link").c_str()), 0);
        FileRows rows = test::ScanAllRows({dir.Path() + "link/", "*", true});
        ASSERT_EQ(rows.size(), 1u);
        rows[0].selected = true;
        rows[0].newName = "b.txt";
        MakeSwap(dir, c.swap);
        const std::string target = SwappedInFile(dir, c.swap);
        const struct stat before = StatOf(target);

        PlatformFileSystem fileSystem;
        const RunResult result =
            c.run == Run::Rename
                ? RenameFiles(rows, fileSystem)
                : ChangeAttributes(
                      rows, {true, kAttrReadOnly, true, PackDosDateTime({2001, 2, 3, 4, 5, 6})},
                      fileSystem);

        if (c.swap == Swap::None) {
            EXPECT_TRUE(result.AllWell());
            EXPECT_EQ(::access((dir.Path() + "top/sub/b.txt").c_str(), F_OK) == 0,
                      c.run == Run::Rename);
            continue;
        }
        EXPECT_EQ(result.failedFiles, 1u);
        ASSERT_FALSE(result.log.empty());
        if (c.run == Run::Rename) {
            EXPECT_NE(result.log[0].find("[Changed]"), std::string::npos) << result.log[0];
        }
        const struct stat after = StatOf(target);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_mtime, before.st_mtime);
        EXPECT_EQ(test::ReadFile(target).empty(), false);
        EXPECT_EQ(::access((target.substr(0, target.rfind('/')) + "/b.txt").c_str(), F_OK), -1);
    }
}

} // namespace
} // namespace quorvane
