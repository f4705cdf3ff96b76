#include "photo/DateTaken.h"

#include "platform/ReadOnlyFile.h"

#include <exiv2/exiv2.hpp>

#include <exception>
#include <limits>
#include <mutex>

namespace quorvane {

namespace {

// exiv2 writes its warnings about damaged files to stderr; a damaged file is
// only a file without a date here.
void Quieten() {
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

std::optional<CalendarTime> DateOfKey(const Exiv2::ExifData& exif, const char* key) {
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    if (found == exif.end() || found->typeId() != Exiv2::asciiString)
        return std::nullopt;
    // An ASCII value is at most as long as the file; the date takes 19 bytes.
    if (found->size() > 64)
        return std::nullopt;
    return ParseMetadataDate(found->toString());
}

std::optional<CalendarTime> DateOfImage(Exiv2::Image& image) {
    image.readMetadata();
    const Exiv2::ExifData& exif = image.exifData();
    if (exif.empty())
        return std::nullopt;
    if (std::optional<CalendarTime> original = DateOfKey(exif, "Exif.Photo.DateTimeOriginal"))
        return original;
    return DateOfKey(exif, "Exif.Photo.DateTimeDigitized");
}

} // namespace

std::optional<CalendarTime> ReadDateTaken(const std::string& path) {
    Quieten();
    // A pipe or a device named like a photo would keep exiv2 waiting, and a
    // name that reads like an address would make it fetch one: only a regular
    // file is read, through a file reader of its own.
    if (!ReadOnlyFile(path).IsOpen())
        return std::nullopt;
    try {
        auto image = Exiv2::ImageFactory::open(Exiv2::BasicIo::AutoPtr(new Exiv2::FileIo(path)));
        if (!image.get())
            return std::nullopt;
        return DateOfImage(*image);
    } catch (const std::exception&) {
        return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<CalendarTime> ReadDateTakenFromBytes(const std::uint8_t* data, std::size_t size) {
    Quieten();
    if (size > static_cast<std::size_t>(std::numeric_limits<long>::max()))
        return std::nullopt;
    try {
        auto image = Exiv2::ImageFactory::open(data, static_cast<long>(size));
        if (!image.get())
            return std::nullopt;
        return DateOfImage(*image);
    } catch (const std::exception&) {
        return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace quorvane
