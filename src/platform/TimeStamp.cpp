#include "platform/TimeStamp.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace quorvane {
namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The DOS form keeps years 1980..2107, and seconds in steps of two (so 59 is allowed).
bool FitsDosForm(const LocalDateTime& t) {
    return t.year >= 1980 && t.year <= 2107 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

LocalDateTime UnpackDosDateTime(std::uint32_t packed) {
    const std::uint32_t date = packed >> 16;
    const std::uint32_t time = packed & 0xFFFF;
    LocalDateTime local;
    local.year = 1980 + static_cast<int>(date >> 9);
    local.month = static_cast<int>((date >> 5) & 0x0F);
    local.day = static_cast<int>(date & 0x1F);
    local.hour = static_cast<int>(time >> 11);
    local.minute = static_cast<int>((time >> 5) & 0x3F);
    local.second = static_cast<int>(time & 0x1F) * 2;
    return local;
}

} // namespace

std::uint32_t PackDosDateTime(const LocalDateTime& local) {
    // A value outside the DOS range has no packed form; 0 stands for "none".
    if (!FitsDosForm(local))
        return 0;
    const auto date =
        static_cast<std::uint32_t>(((local.year - 1980) << 9) | (local.month << 5) | local.day);
    const auto time =
        static_cast<std::uint32_t>((local.hour << 11) | (local.minute << 5) | (local.second / 2));
    return (date << 16) | time;
}

int SetFileTimesFromDos(const std::string& path, std::uint32_t packedLocal,
                        TimeStampTarget target) {
    return SetFileTimesFromDosAt(AT_FDCWD, path, packedLocal, target);
}

int SetFileTimesFromDosAt(int folder, const std::string& path, std::uint32_t packedLocal,
                          TimeStampTarget target) {
    const LocalDateTime local = UnpackDosDateTime(packedLocal);
    if (packedLocal == 0 || !FitsDosForm(local))
        return EINVAL;
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1; // let the C library decide whether summer time applies
    errno = 0;
    const std::time_t utc = std::mktime(&fields);
    if (utc == static_cast<std::time_t>(-1) && errno != 0)
        return EINVAL;
    const struct timespec times[2] = {{utc, 0}, {utc, 0}};
    const int flags = target == TimeStampTarget::LinkItself ? AT_SYMLINK_NOFOLLOW : 0;
    if (::utimensat(folder, path.c_str(), times, flags) != 0)
        return errno;
    return 0;
}

LocalDateTime LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    localtime_r(&now, &fields);
    LocalDateTime local;
    local.year = fields.tm_year + 1900;
    local.month = fields.tm_mon + 1;
    local.day = fields.tm_mday;
    local.hour = fields.tm_hour;
    local.minute = fields.tm_min;
    local.second = fields.tm_sec;
    return local;
}

} // namespace quorvane
