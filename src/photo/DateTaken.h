#pragma once
// When a photo was taken, from the file's own metadata: DateTimeOriginal, and
// where it is missing or unreadable DateTimeDigitized. JPEG, TIFF, PNG, WebP
// and the raw formats exiv2 reads. A file exiv2 cannot read, one without
// either date or with a malformed one has no date taken; nothing here throws.

#include "rules/DateTimeRule.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

std::optional<CalendarTime> ReadDateTaken(const std::string& path);
// The same from a file's whole content in memory.
std::optional<CalendarTime> ReadDateTakenFromBytes(const std::uint8_t* data, std::size_t size);

} // namespace quorvane
