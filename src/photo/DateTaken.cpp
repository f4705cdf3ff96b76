#include "photo/DateTaken.h"

#include "platform/ReadOnlyFile.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <string>
#include <string_view>

namespace quorvane {

namespace {

// exiv2 reads a file through this: the file opened read only, never waiting
// on a pipe put in its place, and read in windows of 16 KiB, since exiv2
// walks a JPEG's markers byte by byte. It never writes.
class ReadOnlyFileIo : public Exiv2::BasicIo {
public:
    ReadOnlyFileIo(const ReadOnlyFile& file, const std::string& path)
        : m_file(file), m_path(path) {}

    int open() override {
        m_position = 0;
        m_eof = false;
        return 0;
    }
    int close() override { return 0; }
    long write(const Exiv2::byte* /*data*/, long /*count*/) override { return 0; }
    long write(Exiv2::BasicIo& /*source*/) override { return 0; }
    int putb(Exiv2::byte /*data*/) override { return EOF; }
    void transfer(Exiv2::BasicIo& /*source*/) override { throw Exiv2::Error(Exiv2::kerCallFailed); }

    Exiv2::DataBuf read(long count) override {
        // A length read from the file asks for no more than the file holds.
        const std::uint64_t left = m_position < Size() ? Size() - m_position : 0;
        const long wanted = count < 0 ? 0 : static_cast<long>(std::min<std::uint64_t>(count, left));
        Exiv2::DataBuf buffer(wanted);
        buffer.size_ = read(buffer.pData_, wanted);
        return buffer;
    }

    long read(Exiv2::byte* out, long count) override {
        if (count <= 0)
            return 0;
        long done = 0;
        while (done < count) {
            if (m_position >= Size())
                break;
            if (m_position < m_windowStart || m_position >= m_windowStart + m_window.size()) {
                const std::size_t want = std::max<std::size_t>(kWindow, std::size_t(count - done));
                if (!m_file.ReadAt(m_position, want, m_window)) {
                    m_error = 1;
                    m_window.clear();
                    break;
                }
                m_windowStart = m_position;
                if (m_window.empty())
                    break; // the file shrank since it was opened
            }
            const std::size_t at = static_cast<std::size_t>(m_position - m_windowStart);
            const std::size_t take =
                std::min<std::size_t>(m_window.size() - at, std::size_t(count - done));
            std::memcpy(out + done, m_window.data() + at, take);
            done += static_cast<long>(take);
            m_position += take;
        }
        if (done < count)
            m_eof = true;
        return done;
    }

    int getb() override {
        Exiv2::byte value = 0;
        return read(&value, 1) == 1 ? value : EOF;
    }

    int seek(long offset, Position from) override {
        const std::int64_t base = from == beg   ? 0
                                  : from == cur ? static_cast<std::int64_t>(m_position)
                                                : static_cast<std::int64_t>(Size());
        const std::int64_t target = base + offset;
        if (target < 0)
            return 1;
        if (static_cast<std::uint64_t>(target) > Size()) {
            m_eof = true;
            return 1;
        }
        m_position = static_cast<std::uint64_t>(target);
        m_eof = false;
        return 0;
    }

    // TIFF-based files are parsed from one block of the whole file.
    Exiv2::byte* mmap(bool writeable) override {
        if (writeable || Size() > kMaxWhole || !m_file.ReadAt(0, Size(), m_whole))
            throw Exiv2::Error(Exiv2::kerCallFailed);
        bigBlock_ = reinterpret_cast<Exiv2::byte*>(m_whole.data());
        return bigBlock_;
    }
    int munmap() override {
        bigBlock_ = nullptr;
        std::string().swap(m_whole);
        return 0;
    }

    long tell() const override { return static_cast<long>(m_position); }
    size_t size() const override { return static_cast<size_t>(Size()); }
    bool isopen() const override { return true; }
    int error() const override { return m_error; }
    bool eof() const override { return m_eof; }
    std::string path() const override { return m_path; }

private:
    static constexpr std::size_t kWindow = std::size_t{16} * 1024;
    // A raw file is tens of MB; a larger "photo" is not read whole.
    static constexpr std::uint64_t kMaxWhole = 512ULL * 1024 * 1024;

    std::uint64_t Size() const { return m_file.Size(); }

    const ReadOnlyFile& m_file;
    std::string m_path;
    std::uint64_t m_position = 0;
    std::uint64_t m_windowStart = 0;
    std::string m_window;
    std::string m_whole;
    int m_error = 0;
    bool m_eof = false;
};

// exiv2 writes its warnings about damaged files to stderr; a damaged file is
// only a file without a date here.
void Quieten() {
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

std::optional<CalendarTime> DateOfKey(const Exiv2::ExifData& exif, const Exiv2::ExifKey& key) {
    const auto found = exif.findKey(key);
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
    // A key is parsed from its text and looked up in exiv2's tag tables: once.
    static const Exiv2::ExifKey original("Exif.Photo.DateTimeOriginal");
    static const Exiv2::ExifKey digitized("Exif.Photo.DateTimeDigitized");
    if (std::optional<CalendarTime> date = DateOfKey(exif, original))
        return date;
    return DateOfKey(exif, digitized);
}

// The date from a file's content in memory; false when exiv2 could not read it.
bool DateOfBytes(std::string_view bytes, std::optional<CalendarTime>& date) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<long>::max()))
        return false;
    try {
        auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()),
                                               static_cast<long>(bytes.size()));
        if (!image.get())
            return false;
        date = DateOfImage(*image);
        return true;
    } catch (const std::exception&) {
        return false;
    } catch (...) {
        return false;
    }
}

} // namespace

std::optional<CalendarTime> ReadDateTaken(const std::string& path) {
    Quieten();
    // Opened here, not by exiv2: a pipe or a device named like a photo would
    // keep it waiting, and a name that reads like an address would make it
    // fetch one. Only a regular file is read.
    const ReadOnlyFile file(path);
    if (!file.IsOpen())
        return std::nullopt;
    try {
        auto image =
            Exiv2::ImageFactory::open(Exiv2::BasicIo::AutoPtr(new ReadOnlyFileIo(file, path)));
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
    std::optional<CalendarTime> date;
    DateOfBytes(std::string_view(reinterpret_cast<const char*>(data), size), date);
    return date;
}

} // namespace quorvane
