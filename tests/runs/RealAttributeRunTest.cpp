// The attribute run on real files in a temporary folder.
#include "platform/TimeStamp.h"
#include "runs/AttributeRun.h"
#include "support/TempDir.h"

#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

TEST(RealAttributeRun, ReadOnlyFileGetsItsTimeStampAndStaysReadOnly) {
    test::TempDir dir;
    const std::string file = dir.Write("song.mp3", "x");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    FileRow row;
    row.folder = std::make_shared<const std::string>(dir.Path());
    row.originalName = "song.mp3";
    FileRows rows{row};
    PlatformFileSystem fs;
    const std::uint32_t stamp = PackDosDateTime({2024, 5, 17, 10, 30, 45});

    const RunResult result = ChangeAttributes(rows, {false, 0, true, stamp}, fs);

    EXPECT_TRUE(result.AllWell());
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    // Seconds are kept in steps of two.
    EXPECT_EQ(st.st_mtime, test::LocalToUtc(2024, 5, 17, 10, 30, 44));
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST(RealAttributeRun, AMissingFileIsReportedForBothChanges) {
    test::TempDir dir;
    FileRow row;
    row.folder = std::make_shared<const std::string>(dir.Path());
    row.originalName = "gone.txt";
    FileRows rows{row};
    PlatformFileSystem fs;

    const RunResult result =
        ChangeAttributes(rows, {true, 0x01, true, PackDosDateTime({2024, 1, 1, 0, 0, 0})}, fs);

    EXPECT_EQ(result.failedFiles, 1u);
    EXPECT_EQ(result.log.size(), 2u);
}

TEST(RealAttributeRun, ALinkRowChangesNothingOutsideTheFolder) {
    struct Case {
        const char* label;
        AttributeRunSettings settings;
        bool allWell;
    };
    const std::uint32_t stamp = PackDosDateTime({2024, 5, 17, 10, 30, 45});
    const std::vector<Case> cases = {
        {"time stamp only: set on the link itself", {false, 0, true, stamp}, true},
        {"attributes: refused for a link", {true, 0x01, false, 0}, false},
        {"both", {true, 0x21, true, stamp}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        test::TempDir outside, dir;
        const std::string target = outside.Write("target.txt", "theirs");
        ASSERT_EQ(::chmod(target.c_str(), 0644), 0);
        const std::string link = dir.Path() + "link.txt";
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        struct stat targetBefore {};
        ASSERT_EQ(::stat(target.c_str(), &targetBefore), 0);
        FileRow row;
        row.folder = std::make_shared<const std::string>(dir.Path());
        row.originalName = "link.txt";
        row.symbolicLink = true;
        row.selected = true;
        FileRows rows{row};
        PlatformFileSystem fs;

        const RunResult result = ChangeAttributes(rows, c.settings, fs);

        EXPECT_EQ(result.AllWell(), c.allWell);
        if (c.settings.changeAttributes) {
            EXPECT_EQ(result.log, std::vector<std::string>{AttributeFailureLine(link)});
        }
        struct stat targetAfter {};
        ASSERT_EQ(::stat(target.c_str(), &targetAfter), 0);
        EXPECT_EQ(targetAfter.st_mode, targetBefore.st_mode);
        EXPECT_EQ(targetAfter.st_mtim.tv_sec, targetBefore.st_mtim.tv_sec);
        EXPECT_EQ(targetAfter.st_mtim.tv_nsec, targetBefore.st_mtim.tv_nsec);
        if (c.settings.changeTimeStamp) {
            struct stat linkItself {};
            ASSERT_EQ(::lstat(link.c_str(), &linkItself), 0);
            EXPECT_EQ(linkItself.st_mtime, test::LocalToUtc(2024, 5, 17, 10, 30, 44));
        }
    }
}

} // namespace
} // namespace quorvane
