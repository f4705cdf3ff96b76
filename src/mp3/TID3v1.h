#pragma once
// The ID3v1 tag of a file: the last 128 bytes, with the ID3v1.1 variant that
// keeps a track number in the last two bytes of the comment.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvane {

inline constexpr std::size_t kID3v1BlockSize = 128;
inline constexpr std::uint8_t kID3v1Version10 = 1;
inline constexpr std::uint8_t kID3v1Version11 = 2;
inline constexpr std::uint8_t kNoGenre = 255;

// One reader, used again for every file. The text fields hold the tag's raw
// bytes (ISO-8859-1 as written by most taggers), trimmed at the right; they are
// converted only where a name is built from them.
class TID3v1 {
public:
    TID3v1() = default;

    // Reads the last 128 bytes of the file (read only). True when they could be
    // read, whether or not they hold a tag; false when the file cannot be opened
    // or is shorter than 128 bytes. Starts from the reset state in every case.
    bool ReadID3v1(const std::string& path);
    // The same for the file `name` in the folder open as `folder`.
    bool ReadID3v1In(int folder, const std::string& name);

    // Fills the fields from a 128-byte block; false (and the reset state) when
    // the block is too short. `exists` tells whether it held a tag.
    bool ParseBlock(const std::string& block);

    void Reset();

    bool exists = false;                    // the block begins with "TAG"
    std::uint8_t version = kID3v1Version10; // 1 = ID3v1.0, 2 = ID3v1.1
    std::string title;                      // at most 30 bytes
    std::string artist;                     // at most 30 bytes
    std::string album;                      // at most 30 bytes
    std::string year;                       // at most 4 bytes
    std::string comment;                    // at most 30 bytes (28 for ID3v1.1)
    std::uint8_t track = 0;                 // 0 unless ID3v1.1
    std::uint8_t genre = kNoGenre;

private:
    std::string m_block; // kept between reads so a read allocates nothing new
};

} // namespace quorvane
