// Makes the benchmark trees: a flat folder, or F subfolders of N files each,
// with varied names and (sparse) sizes; with --mp3 every file is a 4 KiB file
// ending in an ID3v1.1 tag; with --mp3v2 it also begins with an ID3v2.3 tag
// as taggers write one (text frames, a comment, 1 KiB of padding; every
// fourth file's text in UTF-16); with --jpeg every file is a JPEG whose EXIF
// block holds the dates it was taken and digitized, as a camera writes, its
// image data (sparse) as large as a camera's: 0.5 to 3.5 MB.
//
//   bench_mktree DIR FOLDERS FILES [--mp3|--mp3v2|--jpeg]   FOLDERS = 0 makes a flat folder

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr off_t kMp3Size = 4096;

enum class Kind { Plain, Mp3, Mp3WithId3v2, Jpeg };

std::string FileName(std::uint32_t number, Kind kind) {
    char name[96];
    if (kind == Kind::Jpeg) {
        std::snprintf(name, sizeof name, "IMG_%07u.jpg", number);
        return name;
    }
    if (kind != Kind::Plain) {
        std::snprintf(name, sizeof name, "track %05u.mp3", number);
        return name;
    }
    // A mix of the names a photo, document and music folder holds.
    switch (number % 4) {
    case 0:
        std::snprintf(name, sizeof name, "IMG_%07u.JPG", number);
        break;
    case 1:
        std::snprintf(name, sizeof name, "Holiday photo %u - beach.jpeg", number);
        break;
    case 2:
        std::snprintf(name, sizeof name, "report.%u.final.txt", number);
        break;
    default:
        std::snprintf(name, sizeof name, "%02u Some Artist - Song %u.mp3", number % 100, number);
        break;
    }
    return name;
}

void Field(char* block, std::size_t at, std::size_t width, const std::string& text) {
    std::memcpy(block + at, text.data(), std::min(width, text.size()));
}

bool WriteTag(int fd, std::uint32_t number) {
    char block[128] = {};
    std::memcpy(block, "TAG", 3);
    Field(block, 3, 30, "Song " + std::to_string(number));
    Field(block, 33, 30, "Artist " + std::to_string(number % 97));
    Field(block, 63, 30, "Album " + std::to_string(number % 31));
    Field(block, 93, 4, "1999");
    Field(block, 97, 28, "bench");
    block[126] = static_cast<char>(number % 20 + 1); // ID3v1.1 track
    block[127] = static_cast<char>(number % 148);    // genre
    return ::pwrite(fd, block, sizeof block, kMp3Size - 128) == 128;
}

// One ID3v2.3 frame: id, 32-bit size, two flag bytes, then the body.
void AppendFrame(std::string& tag, const char* id, const std::string& body) {
    tag.append(id, 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        tag += static_cast<char>((body.size() >> shift) & 0xFF);
    tag.append(2, '\0');
    tag += body;
}

// A text frame body: Latin-1, or UTF-16 with a byte order mark.
std::string TextBody(const std::string& ascii, bool utf16) {
    if (!utf16)
        return '\0' + ascii;
    std::string body = "\x01\xFF\xFE";
    for (const char c : ascii) {
        body += c;
        body += '\0';
    }
    return body;
}

std::string Id3v2Tag(std::uint32_t number) {
    const bool utf16 = number % 4 == 0;
    std::string frames;
    AppendFrame(frames, "TIT2", TextBody("Song " + std::to_string(number), utf16));
    AppendFrame(frames, "TPE1", TextBody("Artist " + std::to_string(number % 97), utf16));
    AppendFrame(frames, "TALB", TextBody("Album " + std::to_string(number % 31), utf16));
    AppendFrame(frames, "TYER", TextBody("1999", false));
    // (built piecewise: GCC 12 warns falsely about "(" + std::to_string(...))
    std::string genre = "(";
    genre += std::to_string(number % 148);
    genre += ')';
    AppendFrame(frames, "TCON", TextBody(genre, false));
    AppendFrame(frames, "TRCK", TextBody(std::to_string(number % 20 + 1) + "/20", false));
    AppendFrame(frames, "COMM", std::string("\0eng\0", 5) + "bench");
    frames.append(1024, '\0'); // padding, as taggers leave room to grow
    std::string tag = "ID3\x03";
    tag.append(2, '\0'); // revision, flags
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>((frames.size() >> shift) & 0x7F);
    return tag + frames;
}

bool WriteId3v2(int fd, std::uint32_t number) {
    const std::string tag = Id3v2Tag(number);
    return ::pwrite(fd, tag.data(), tag.size(), 0) == static_cast<ssize_t>(tag.size());
}

void Append16(std::string& out, unsigned value) { // little endian, as the TIFF header says
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
void Append32(std::string& out, unsigned value) {
    Append16(out, value & 0xFFFF);
    Append16(out, value >> 16);
}
void AppendEntry(std::string& out, unsigned tag, unsigned type, unsigned count, unsigned value) {
    Append16(out, tag);
    Append16(out, type);
    Append32(out, count);
    Append32(out, value);
}

// SOI, an APP1 "Exif" block (IFD0 pointing to an Exif IFD with
// DateTimeOriginal and DateTimeDigitized) and the start of the image data
// (SOS): what a reader walks through to find the date.
std::string Jpeg(std::uint32_t number) {
    char date[20];
    std::snprintf(date, sizeof date, "%04u:%02u:%02u %02u:%02u:%02u", 2000 + number % 25,
                  number % 12 + 1, number % 28 + 1, number % 24, number % 60, (number / 60) % 60);
    std::string tiff = "II*";
    tiff += '\0';
    Append32(tiff, 8);
    Append16(tiff, 1);                    // IFD0: one entry
    AppendEntry(tiff, 0x8769, 4, 1, 26);  // the Exif IFD's offset
    Append32(tiff, 0);                    // no next IFD
    Append16(tiff, 2);                    // Exif IFD at 26: two entries
    AppendEntry(tiff, 0x9003, 2, 20, 56); // DateTimeOriginal
    AppendEntry(tiff, 0x9004, 2, 20, 76); // DateTimeDigitized
    Append32(tiff, 0);
    tiff.append(date, 20);
    tiff.append(date, 20);
    std::string app1 = "Exif";
    app1.append(2, '\0');
    app1 += tiff;
    std::string jpeg = "\xFF\xD8\xFF\xE1";
    const std::size_t length = app1.size() + 2;
    jpeg += static_cast<char>(length >> 8);
    jpeg += static_cast<char>(length & 0xFF);
    jpeg += app1;
    jpeg += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
    return jpeg;
}

bool WriteJpeg(int fd, std::uint32_t number) {
    const std::string jpeg = Jpeg(number);
    return ::pwrite(fd, jpeg.data(), jpeg.size(), 0) == static_cast<ssize_t>(jpeg.size());
}

bool MakeFiles(const std::string& folder, std::uint32_t first, std::uint32_t count, Kind kind) {
    const bool mp3 = kind == Kind::Mp3 || kind == Kind::Mp3WithId3v2;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir < 0)
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t number = first + i;
        const int fd = ::openat(dir, FileName(number, kind).c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::perror("openat");
            ::close(dir);
            return false;
        }
        // Sizes spread over 0..3 MB without writing data (sparse files).
        const off_t spread = static_cast<off_t>((number * 2654435761u) % 3000000u);
        const off_t size = mp3 ? kMp3Size : kind == Kind::Jpeg ? 500000 + spread : spread;
        const bool ok = ::ftruncate(fd, size) == 0 && (!mp3 || WriteTag(fd, number)) &&
                        (kind != Kind::Mp3WithId3v2 || WriteId3v2(fd, number)) &&
                        (kind != Kind::Jpeg || WriteJpeg(fd, number));
        ::close(fd);
        if (!ok) {
            ::close(dir);
            return false;
        }
    }
    ::close(dir);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s DIR FOLDERS FILES [--mp3|--mp3v2|--jpeg]\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const auto folders = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const auto files = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
    Kind kind = Kind::Plain;
    if (argc > 4 && std::strcmp(argv[4], "--mp3") == 0)
        kind = Kind::Mp3;
    else if (argc > 4 && std::strcmp(argv[4], "--mp3v2") == 0)
        kind = Kind::Mp3WithId3v2;
    else if (argc > 4 && std::strcmp(argv[4], "--jpeg") == 0)
        kind = Kind::Jpeg;
    if (::mkdir(root.c_str(), 0755) != 0 && errno != EEXIST)
        return 1;
    if (folders == 0)
        return MakeFiles(root, 0, files, kind) ? 0 : 1;
    for (std::uint32_t f = 0; f < folders; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "/folder %04u", f);
        const std::string folder = root + name;
        if (::mkdir(folder.c_str(), 0755) != 0 || !MakeFiles(folder, f * files, files, kind))
            return 1;
    }
    return 0;
}
