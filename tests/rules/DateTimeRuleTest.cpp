#include "rules/DateTimeRule.h"
#include "rules/Preview.h"
#include "support/Rows.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quorvane {
namespace {

// Every token and every position, on rows whose date taken comes from a
// table instead of the files; the modified time and "now" read the local
// clock, so the expected names are built from their own local dates.
TEST(DateTimeRule, FormatsAndPlacesTheDate) {
    const CalendarTime taken{2021, 7, 4, 9, 8, 7};
    const std::int64_t modified = 1'000'000'000; // 2001-09-09 in every time zone
    const std::int64_t now = 1'700'000'000;      // 2023-11-14 or -15
    const std::string modifiedDay = FormatDateTime("%Y-%m-%d", *LocalCalendarTime(modified));
    const std::string nowDay = FormatDateTime("%Y-%m-%d", *LocalCalendarTime(now));
    struct Case {
        DateSource source;
        const char* format;
        DatePosition position;
        const char* separator;
        const char* name;
        std::string expected;
    };
    const Case cases[] = {
        {DateSource::Taken, "%Y-%m-%d", DatePosition::BeforeName, " ", "img.jpg",
         "2021-07-04 img.jpg"},
        {DateSource::Taken, "%Y-%m-%d", DatePosition::AfterName, "_", "img.jpg",
         "img_2021-07-04.jpg"},
        {DateSource::Taken, "%Y-%m-%d", DatePosition::InsteadOfName, " ", "img.final.jpg",
         "2021-07-04.jpg"},
        {DateSource::Taken, "%Y%m%d_%H%M%S", DatePosition::InsteadOfName, "", "IMG",
         "20210704_090807"},
        {DateSource::Taken, "%d.%m.%Y", DatePosition::BeforeName, "", ".hidden",
         "04.07.2021.hidden"},
        {DateSource::Taken, "%H.%M.%S", DatePosition::AfterName, " ", "a.b.", "a.b 09.08.07."},
        // %% is one "%"; anything else, a lone "%" included, stays as typed.
        {DateSource::Taken, "100%% %Y %y %q %", DatePosition::InsteadOfName, "", "x.png",
         "100% 2021 %y %q %.png"},
        {DateSource::Taken, "%%Y", DatePosition::InsteadOfName, "", "x.png", "%Y.png"},
        {DateSource::Taken, "day", DatePosition::BeforeName, "-", "x.png", "day-x.png"},
        // A format that gives nothing leaves the name as it is.
        {DateSource::Taken, "", DatePosition::InsteadOfName, " ", "x.png", "x.png"},
        {DateSource::Modified, "%Y-%m-%d", DatePosition::BeforeName, " ", "img.jpg",
         modifiedDay + " img.jpg"},
        {DateSource::Now, "%Y-%m-%d", DatePosition::AfterName, " ", "img.jpg",
         "img " + nowDay + ".jpg"},
    };
    for (const Case& c : cases) {
        FileRows rows = test::RowsNamed({c.name});
        rows[0].modifiedUtc = modified;
        PreviewSettings settings;
        settings.activePage = RulePage::DateTime;
        settings.dateTime = {.source = c.source,
                             .format = c.format,
                             .position = c.position,
                             .separator = c.separator,
                             .modifiedWhenNoDateTaken = false,
                             .now = now,
                             .dateTaken = [&](const FileRow&) { return taken; }};
        PreviewFileRows(rows, settings);
        EXPECT_EQ(rows[0].newName, c.expected) << c.format << " on " << c.name;
    }
}

// Rows without a date taken: the modified time, or dropped when the fallback
// is off; the rows around them keep their places and names.
TEST(DateTimeRule, RowsWithoutADateTakenFallBackOrAreDropped) {
    const std::map<std::string, CalendarTime> dates{{"a.jpg", {2020, 1, 2, 3, 4, 5}},
                                                    {"c.jpg", {2022, 12, 31, 23, 59, 59}}};
    for (const bool fallback : {true, false}) {
        FileRows rows = test::RowsNamed({"a.jpg", "b.jpg", "c.jpg"});
        rows[1].modifiedUtc = 1'000'000'000;
        PreviewSettings settings;
        settings.activePage = RulePage::DateTime;
        settings.dateTime.modifiedWhenNoDateTaken = fallback;
        settings.dateTime.position = DatePosition::InsteadOfName;
        settings.dateTime.dateTaken = [&](const FileRow& row) -> std::optional<CalendarTime> {
            const auto found = dates.find(row.originalName);
            if (found == dates.end())
                return std::nullopt;
            return found->second;
        };
        const PreviewResult result = PreviewFileRows(rows, settings);
        const std::string b =
            fallback ? FormatDateTime("%Y-%m-%d", *LocalCalendarTime(1'000'000'000)) + ".jpg" : "";
        EXPECT_EQ(test::FieldOfEach(rows, &FileRow::newName),
                  (std::vector<std::string>{"2020-01-02.jpg", b, "2022-12-31.jpg"}));
        EXPECT_EQ(rows[1].selected, fallback);
        EXPECT_EQ(result.selectedCount, fallback ? 3u : 2u);
    }
}

TEST(DateTimeRule, MetadataDatesAreReadStrictly) {
    const struct {
        const char* text;
        std::optional<CalendarTime> expected;
    } cases[] = {
        {"2021:07:04 09:08:07", CalendarTime{2021, 7, 4, 9, 8, 7}},
        {"2024:02:29 23:59:59", CalendarTime{2024, 2, 29, 23, 59, 59}},
        {"2021:07:04 09:08:07  ", CalendarTime{2021, 7, 4, 9, 8, 7}},
        {"0000:00:00 00:00:00", std::nullopt},
        {"2023:02:29 10:00:00", std::nullopt},
        {"2021:13:01 10:00:00", std::nullopt},
        {"2021:07:04 24:00:00", std::nullopt},
        {"2021:07:04", std::nullopt},
        {"2021:07:04 09:08", std::nullopt},
        {"2021-07-04 09:08:07", std::nullopt},
        {"2021:07:04 09:08:07x", std::nullopt},
        {"    :  :     :  :  ", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseMetadataDate(c.text), c.expected) << c.text;
}

} // namespace
} // namespace quorvane
