// The date a photo was taken, read from photos whose EXIF block a field tool
// (exiftool) wrote at test time, through the "Date/Time" rule as Preview runs
// it, so one table shows what a user gets for each kind of file.

#include "photo/DateTaken.h"
#include "rules/Preview.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quorvane {
namespace {

// The name each file would get; the environment's local time zone is pinned,
// so the modified times below read the same everywhere.
class DateTakenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (test::Shell("command -v exiftool > /dev/null 2>&1") != 0)
            s_skipReason = "exiftool is missing (Debian libimage-exiftool-perl, installed by "
                           "scripts/install-deps.sh): the test photos cannot be given dates";
    }
    void SetUp() override {
        if (!s_skipReason.empty())
            GTEST_SKIP() << s_skipReason;
        const char* zone = std::getenv("TZ");
        m_savedZone = zone ? zone : "";
        m_hadZone = zone != nullptr;
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    void TearDown() override {
        if (m_hadZone)
            setenv("TZ", m_savedZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    // A copy of a plain fixture with the EXIF tags exiftool is told to write;
    // -n writes a date as given, malformed or not.
    std::string Photo(const std::string& fixture, const std::string& name,
                      const std::string& tags) {
        const std::string path = m_dir.Path() + name;
        const std::string source = std::string(QUORVANE_PHOTO_FIXTURES) + "/" + fixture;
        std::string command = "cp '" + source + "' '" + path + "'";
        if (!tags.empty())
            command += " && exiftool -q -q -n -overwrite_original " + tags + " '" + path + "'";
        EXPECT_EQ(test::Shell(command), 0) << command;
        return path;
    }

    test::TempDir m_dir;
    static inline std::string s_skipReason;

private:
    std::string m_savedZone;
    bool m_hadZone = false;
};

constexpr const char* kBoth =
    "-DateTimeOriginal='2021:07:04 09:08:07' -CreateDate='2020:01:02 03:04:05'";

TEST_F(DateTakenTest, EachFileGetsTheDateItWasTakenOrFallsBack) {
    struct Case {
        const char* fixture;
        const char* tags; // for exiftool; empty: the plain image
        const char* format;
        DatePosition position;
        bool fallback;
        const char* expected; // the new name; empty: dropped, no new name
    };
    const Case cases[] = {
        // Both dates: the original one wins, in every format that carries EXIF.
        {"plain.jpg", kBoth, "%Y-%m-%d", DatePosition::InsteadOfName, true, "2021-07-04.jpg"},
        {"plain.tif", kBoth, "%Y-%m-%d", DatePosition::InsteadOfName, true, "2021-07-04.tif"},
        {"plain.png", kBoth, "%Y-%m-%d", DatePosition::InsteadOfName, true, "2021-07-04.png"},
        {"plain.webp", kBoth, "%Y-%m-%d", DatePosition::InsteadOfName, true, "2021-07-04.webp"},
        // Only the digitized date.
        {"plain.jpg", "-CreateDate='2020:01:02 03:04:05'", "%Y%m%d_%H%M%S",
         DatePosition::InsteadOfName, true, "20200102_030405.jpg"},
        // No date taken: the modified time, or no new name at all.
        {"plain.jpg", "", "%Y-%m-%d %H.%M.%S", DatePosition::BeforeName, true,
         "2019-05-06 07.08.09 photo.jpg"},
        {"plain.jpg", "", "%Y-%m-%d", DatePosition::BeforeName, false, ""},
        {"plain.jpg", "-Model=Camera", "%Y-%m-%d", DatePosition::BeforeName, false, ""},
        // Malformed dates count as none; a good digitized date still serves.
        {"plain.jpg", "-DateTimeOriginal='0000:00:00 00:00:00'", "%Y-%m-%d",
         DatePosition::InsteadOfName, false, ""},
        {"plain.jpg", "-DateTimeOriginal='2021:07:04'", "%Y-%m-%d", DatePosition::InsteadOfName,
         false, ""},
        {"plain.jpg", "-DateTimeOriginal='2021:04:31 10:00:00'", "%Y-%m-%d",
         DatePosition::InsteadOfName, false, ""},
        {"plain.jpg", "-DateTimeOriginal='0000:00:00 00:00:00' -CreateDate='2020:01:02 03:04:05'",
         "%d.%m.%Y", DatePosition::AfterName, true, "photo 02.01.2020.jpg"},
        {"plain.jpg", "-DateTimeOriginal='2021:07:04' -CreateDate=", "%d.%m.%Y",
         DatePosition::AfterName, true, "photo 06.05.2019.jpg"},
    };
    const std::time_t modified = test::LocalToUtc(2019, 5, 6, 7, 8, 9);
    for (const Case& c : cases) {
        const std::string path =
            Photo(c.fixture, "photo." + std::string(c.fixture).substr(6), c.tags);
        FileRows rows(1);
        rows[0].originalName = path.substr(m_dir.Path().size());
        rows[0].folder = FolderPath(m_dir.Path());
        rows[0].modifiedUtc = modified;
        rows[0].selected = true;
        PreviewSettings settings;
        settings.activePage = RulePage::DateTime;
        settings.dateTime.format = c.format;
        settings.dateTime.position = c.position;
        settings.dateTime.modifiedWhenNoDateTaken = c.fallback;
        settings.dateTime.dateTaken = [](const FileRow& row) {
            return ReadDateTaken(row.FullPath());
        };
        PreviewFileRows(rows, settings);
        EXPECT_EQ(rows[0].newName, c.expected) << c.fixture << " " << c.tags;
        EXPECT_EQ(rows[0].selected, *c.expected != '\0') << c.fixture << " " << c.tags;
    }
}

// What exiv2 cannot read has no date, whatever it is named.
TEST_F(DateTakenTest, UnreadableFilesHaveNoDate) {
    const std::string photo = Photo("plain.jpg", "whole.jpg", kBoth);
    const std::string whole = test::ReadFile(photo);
    const struct {
        const char* name;
        std::string content;
    } files[] = {
        {"cut.jpg", whole.substr(0, whole.size() / 2)},
        {"empty.jpg", ""},
        {"text.jpg", "not a picture at all"},
        {"header.tif", std::string("II*\0\x08\0\0\0\xff\xff", 10)},
    };
    for (const auto& file : files)
        EXPECT_FALSE(ReadDateTaken(m_dir.Write(file.name, file.content))) << file.name;
    EXPECT_FALSE(ReadDateTaken(m_dir.Path() + "missing.jpg"));
    EXPECT_FALSE(ReadDateTaken(m_dir.MakeDir("folder.jpg")));
}

} // namespace
} // namespace quorvane
