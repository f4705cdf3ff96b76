#pragma once
// The "Date/Time" page: a date put before, after or instead of the base name,
// written with a format of our own tokens. The date is when the photo was
// taken (read by photo/DateTaken, handed in), when the file was last
// modified, or now. The extension stays as it is.

#include "rules/FileRow.h"
#include "rules/RuleRows.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// A wall-clock date and time as a camera or the local clock shows it; no
// time zone. Fields are in their usual ranges (month 1..12, day 1..31).
struct CalendarTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// The local wall-clock time of a moment in seconds since the epoch, as the
// "Modified" column shows it; none where the C library cannot convert it.
std::optional<CalendarTime> LocalCalendarTime(std::int64_t secondsUtc);

// Reads "YYYY:MM:DD HH:MM:SS", the form of the metadata's dates. Anything
// else, an impossible date ("0000:00:00 00:00:00", 31 April) or a text cut
// short, is no date.
std::optional<CalendarTime> ParseMetadataDate(std::string_view text);

// %Y (four digits), %m %d %H %M %S (two digits) and %% ("%"); every other
// character, a "%" before any other one included, stays as typed.
std::string FormatDateTime(std::string_view format, const CalendarTime& time);

enum class DateSource { Taken, Modified, Now };
enum class DatePosition { BeforeName, AfterName, InsteadOfName };

struct DateTimeSettings {
    DateSource source = DateSource::Taken;
    std::string format = "%Y-%m-%d";
    DatePosition position = DatePosition::BeforeName;
    std::string separator = " "; // between the date and the name
    // A row without a date taken gets its modified time; unticked it is
    // dropped (deselected, no new name), as an untagged MP3 row is.
    bool modifiedWhenNoDateTaken = true;
    std::int64_t now = 0; // the clock when Preview ran, seconds since the epoch
    // When the row's photo was taken; none for a file without one. The
    // window hands in the metadata reader; an empty function knows no dates.
    std::function<std::optional<CalendarTime>(const FileRow&)> dateTaken;
};

// Gives every entry its date. A date that formats to nothing leaves the name
// as it is.
void PreviewDateTime(RuleRows& rows, const DateTimeSettings& settings);

} // namespace quorvane
