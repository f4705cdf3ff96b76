// Fuzz target: a file's content read for the date its photo was taken, once
// from memory and once through the file reader the preview uses (over a
// memory file). Any content gives a date or none, never a crash or an
// exception; both ways give the same answer, and a date that comes back is one
// the formatter can write.

#include "photo/DateTaken.h"
#include "rules/DateTimeRule.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// One memory file for every input, named through /proc as any path is.
int MemoryFile() {
    static const int fd = memfd_create("date-taken-fuzz", MFD_CLOEXEC);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    const std::optional<CalendarTime> date = ReadDateTakenFromBytes(data, size);
    if (date) {
        if (date->month < 1 || date->month > 12 || date->day < 1 || date->day > 31)
            std::abort();
        if (FormatDateTime("%Y%m%d_%H%M%S", *date).size() != 15)
            std::abort();
    }
    const int fd = MemoryFile();
    if (fd >= 0 && ftruncate(fd, 0) == 0 &&
        pwrite(fd, data, size, 0) == static_cast<ssize_t>(size)) {
        if (ReadDateTaken("/proc/self/fd/" + std::to_string(fd)) != date)
            std::abort();
    }
    return 0;
}
