#include "rules/DateTimeRule.h"

#include <ctime>

namespace quorvane {

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsPlausible(const CalendarTime& time) {
    return time.year >= 1 && time.year <= 9999 && time.month >= 1 && time.month <= 12 &&
           time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) && time.hour >= 0 &&
           time.hour <= 23 && time.minute >= 0 && time.minute <= 59 && time.second >= 0 &&
           time.second <= 60;
}

// The digits text[at, at + count) as a number; -1 when one is not a digit.
int DigitsAt(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

void AppendPadded(std::string& out, int value, int width) {
    char digits[12];
    int count = 0;
    unsigned rest = value < 0 ? 0U : static_cast<unsigned>(value);
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0 && count < 11);
    for (int i = count; i < width; ++i)
        out.push_back('0');
    while (count > 0)
        out.push_back(digits[--count]);
}

std::optional<CalendarTime> DateOf(const FileRow& row, const DateTimeSettings& settings) {
    switch (settings.source) {
    case DateSource::Taken:
        if (settings.dateTaken)
            if (std::optional<CalendarTime> taken = settings.dateTaken(row))
                return taken;
        if (!settings.modifiedWhenNoDateTaken)
            return std::nullopt;
        return LocalCalendarTime(row.modifiedUtc);
    case DateSource::Modified:
        return LocalCalendarTime(row.modifiedUtc);
    case DateSource::Now:
        return LocalCalendarTime(settings.now);
    }
    return std::nullopt;
}

} // namespace

std::optional<CalendarTime> LocalCalendarTime(std::int64_t secondsUtc) {
    const auto moment = static_cast<std::time_t>(secondsUtc);
    std::tm local{};
    if (!localtime_r(&moment, &local))
        return std::nullopt;
    CalendarTime time{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                      local.tm_hour,        local.tm_min,     local.tm_sec};
    if (!IsPlausible(time))
        return std::nullopt;
    return time;
}

std::optional<CalendarTime> ParseMetadataDate(std::string_view text) {
    // Some writers pad the field with NULs or blanks after the date.
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.remove_suffix(1);
    if (text.size() != 19 || text[4] != ':' || text[7] != ':' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const CalendarTime time{DigitsAt(text, 0, 4),  DigitsAt(text, 5, 2),  DigitsAt(text, 8, 2),
                            DigitsAt(text, 11, 2), DigitsAt(text, 14, 2), DigitsAt(text, 17, 2)};
    if (!IsPlausible(time))
        return std::nullopt;
    return time;
}

std::string FormatDateTime(std::string_view format, const CalendarTime& time) {
    std::string out;
    out.reserve(format.size() + 8);
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out.push_back(format[i]);
            continue;
        }
        switch (format[i + 1]) {
        case 'Y':
            AppendPadded(out, time.year, 4);
            break;
        case 'm':
            AppendPadded(out, time.month, 2);
            break;
        case 'd':
            AppendPadded(out, time.day, 2);
            break;
        case 'H':
            AppendPadded(out, time.hour, 2);
            break;
        case 'M':
            AppendPadded(out, time.minute, 2);
            break;
        case 'S':
            AppendPadded(out, time.second, 2);
            break;
        case '%':
            out.push_back('%');
            break;
        default:
            // Not a token: the "%" stays, and the next character is read on
            // its own, so "%%Y" and "%xY" behave as they read.
            out.push_back('%');
            continue;
        }
        ++i;
    }
    return out;
}

void PreviewDateTime(RuleRows& rows, const DateTimeSettings& settings) {
    rows.ForEach([&](std::size_t entry, const FileRow& row, std::string& name) {
        const std::optional<CalendarTime> date = DateOf(row, settings);
        if (!date) {
            rows.Drop(entry);
            return;
        }
        const std::string text = FormatDateTime(settings.format, *date);
        if (text.empty())
            return;
        const std::size_t extensionAt = row.isFolder ? name.size() : ExtensionOffset(name);
        switch (settings.position) {
        case DatePosition::BeforeName:
            name.insert(0, text + settings.separator);
            break;
        case DatePosition::AfterName:
            name.insert(extensionAt, settings.separator + text);
            break;
        case DatePosition::InsteadOfName:
            name.replace(0, extensionAt, text);
            break;
        }
    });
}

} // namespace quorvane
