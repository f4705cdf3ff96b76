#pragma once
// DOS packed local date and time, and setting a file's times from it.

#include <cstdint>
#include <string>

namespace quorvane {

struct LocalDateTime {
    int year = 1980;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// High 16 bits the date (year-1980, month, day), low 16 bits the time (hour,
// minute, seconds/2). Years before 1980 or after 2107 give 0.
std::uint32_t PackDosDateTime(const LocalDateTime& local);

enum class TimeStampTarget { FileLinkLeadsTo, LinkItself };

// Sets the access and modification times of the file to the packed local time
// (of a symbolic link itself with LinkItself). Returns 0 on success, else an
// errno value; the value 0 fails with EINVAL.
[[nodiscard]] int SetFileTimesFromDos(const std::string& path, std::uint32_t packedLocal,
                                      TimeStampTarget target = TimeStampTarget::FileLinkLeadsTo);

// The same for a name relative to an open folder.
[[nodiscard]] int SetFileTimesFromDosAt(int folder, const std::string& name,
                                        std::uint32_t packedLocal, TimeStampTarget target);

// The local clock.
LocalDateTime LocalNow();

} // namespace quorvane
