#include "mp3/TID3v1.h"

#include "platform/FileTail.h"

namespace quorvane {
namespace {

// Offsets inside the 128-byte block.
constexpr std::size_t kTitleAt = 3;
constexpr std::size_t kArtistAt = 33;
constexpr std::size_t kAlbumAt = 63;
constexpr std::size_t kYearAt = 93;
constexpr std::size_t kCommentAt = 97;
constexpr std::size_t kVersionByteAt = 125;
constexpr std::size_t kTrackAt = 126;
constexpr std::size_t kGenreAt = 127;
constexpr std::size_t kTextWidth = 30;
constexpr std::size_t kYearWidth = 4;
constexpr std::size_t kShortCommentWidth = 28;

std::uint8_t ByteAt(const std::string& block, std::size_t offset) {
    return static_cast<std::uint8_t>(block[offset]);
}

// Taggers pad with zero bytes or spaces (some with other control bytes), so
// everything from 0 to 32 at the end is padding; bytes inside the text stay.
void AssignTrimmed(std::string& field, const std::string& block, std::size_t offset,
                   std::size_t width) {
    std::size_t length = width;
    while (length > 0 && ByteAt(block, offset + length - 1) <= 32)
        --length;
    field.assign(block, offset, length);
}

bool IsID3v11(std::uint8_t versionByte, std::uint8_t trackByte) {
    return (versionByte == 0 && trackByte != 0) || (versionByte == ' ' && trackByte != ' ');
}

} // namespace

void TID3v1::Reset() {
    exists = false;
    version = kID3v1Version10;
    title.clear();
    artist.clear();
    album.clear();
    year.clear();
    comment.clear();
    track = 0;
    genre = kNoGenre;
}

bool TID3v1::ReadID3v1(const std::string& path) {
    Reset();
    if (!ReadFileTail(path, kID3v1BlockSize, m_block))
        return false;
    return ParseBlock(m_block);
}

bool TID3v1::ReadID3v1In(int folder, const std::string& name) {
    Reset();
    if (!ReadFileTailIn(folder, name, kID3v1BlockSize, m_block))
        return false;
    return ParseBlock(m_block);
}

bool TID3v1::ParseBlock(const std::string& block) {
    Reset();
    if (block.size() < kID3v1BlockSize)
        return false;
    if (block.compare(0, 3, "TAG") != 0)
        return true;

    exists = true;
    const bool v11 = IsID3v11(ByteAt(block, kVersionByteAt), ByteAt(block, kTrackAt));
    version = v11 ? kID3v1Version11 : kID3v1Version10;
    AssignTrimmed(title, block, kTitleAt, kTextWidth);
    AssignTrimmed(artist, block, kArtistAt, kTextWidth);
    AssignTrimmed(album, block, kAlbumAt, kTextWidth);
    AssignTrimmed(year, block, kYearAt, kYearWidth);
    AssignTrimmed(comment, block, kCommentAt, v11 ? kShortCommentWidth : kTextWidth);
    if (v11)
        track = ByteAt(block, kTrackAt);
    genre = ByteAt(block, kGenreAt);
    return true;
}

} // namespace quorvane
