// Fuzz target: a file's whole content read for the date its photo was taken.
// Any content gives a date or none, never a crash or an exception, and a date
// that comes back is one the formatter can write.

#include "photo/DateTaken.h"
#include "rules/DateTimeRule.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    const std::optional<CalendarTime> date = ReadDateTakenFromBytes(data, size);
    if (date) {
        if (date->month < 1 || date->month > 12 || date->day < 1 || date->day > 31)
            std::abort();
        if (FormatDateTime("%Y%m%d_%H%M%S", *date).size() != 15)
            std::abort();
    }
    return 0;
}
