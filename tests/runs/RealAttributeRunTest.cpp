// The attribute run on real files in a temporary folder.
#include "platform/TimeStamp.h"
#include "runs/AttributeRun.h"
#include "support/TempDir.h"

#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

} // namespace
} // namespace quorvane
