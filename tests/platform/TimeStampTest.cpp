#include "platform/TimeStamp.h"

#include "support/TempDir.h"

#include <cerrno>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quorvane {
namespace {

using test::TempDir;

TEST(TimeStampTest, PackingTable) {
    const struct {
        LocalDateTime local;
        std::uint32_t packed;
    } cases[] = {
        {{1980, 1, 1, 0, 0, 0}, 0x00210000},
        {{2024, 5, 17, 10, 30, 45},
         (44u << 25) | (5u << 21) | (17u << 16) | (10u << 11) | (30u << 5) |
             22u}, // 45 s is stored as 44
        {{2024, 5, 17, 10, 30, 44},
         (44u << 25) | (5u << 21) | (17u << 16) | (10u << 11) | (30u << 5) | 22u},
        {{2107, 12, 31, 23, 59, 59},
         (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u},
        {{2000, 2, 29, 12, 0, 1}, (20u << 25) | (2u << 21) | (29u << 16) | (12u << 11)},
        // No packed form.
        {{1979, 12, 31, 23, 59, 59}, 0},
        {{2108, 1, 1, 0, 0, 0}, 0},
        {{2023, 2, 29, 0, 0, 0}, 0},
        {{2024, 13, 1, 0, 0, 0}, 0},
        {{2024, 0, 1, 0, 0, 0}, 0},
        {{2024, 1, 0, 0, 0, 0}, 0},
        {{2024, 1, 1, 24, 0, 0}, 0},
        {{2024, 1, 1, 0, 60, 0}, 0},
        {{2024, 1, 1, 0, 0, 60}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.local.year << "-" << c.local.month << "-" << c.local.day << " "
                     << c.local.hour << ":" << c.local.minute << ":" << c.local.second);
        EXPECT_EQ(PackDosDateTime(c.local), c.packed);
    }
}

using test::LocalToUtc;

TEST(TimeStampTest, SetsAccessAndModificationTime) {
    const TempDir dir;
    const std::string file = dir.Write("a.txt", "x");
    const std::uint32_t packed = PackDosDateTime({2024, 5, 17, 10, 30, 45});
    ASSERT_EQ(SetFileTimesFromDos(file, packed), 0);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    const std::time_t expected = LocalToUtc(2024, 5, 17, 10, 30, 44);
    EXPECT_EQ(info.st_mtim.tv_sec, expected);
    EXPECT_EQ(info.st_atim.tv_sec, expected);
    EXPECT_EQ(info.st_mtim.tv_nsec, 0);
}

TEST(TimeStampTest, RefusesZeroInvalidValuesAndMissingFiles) {
    const TempDir dir;
    const std::string file = dir.Write("a.txt", "x");
    struct stat before {};
    ::stat(file.c_str(), &before);
    EXPECT_EQ(SetFileTimesFromDos(file, 0), EINVAL);
    EXPECT_EQ(SetFileTimesFromDos(file, 0x00000000u | (1u << 21) | 0u), EINVAL); // day 0
    EXPECT_EQ(SetFileTimesFromDos(file, (1u << 21) | (1u << 16) | (24u << 11)), EINVAL);
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(SetFileTimesFromDos(dir.Path() + "missing", PackDosDateTime({2020, 1, 1, 0, 0, 0})),
              ENOENT);
}

TEST(TimeStampTest, LocalNowIsPackable) {
    const LocalDateTime now = LocalNow();
    EXPECT_GE(now.year, 2020);
    EXPECT_NE(PackDosDateTime(now), 0u);
}

} // namespace
} // namespace quorvane
