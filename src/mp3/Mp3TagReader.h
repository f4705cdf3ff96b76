#pragma once
// The tags a name is built from: an ID3v2 tag (versions 2.2 to 2.4) at the
// start of the file when asked for and present, otherwise the ID3v1 block at
// its end. The ID3v2 side goes through TagLib; nothing of TagLib shows here.

#include "mp3/TID3v1.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The seven fields of %1 to %7 as UTF-8 text.
struct Mp3TagFields {
    std::string artist;
    std::string title;
    std::string album;
    std::string year;
    std::string genre; // names, numeric references resolved through GenreNames
    std::string comment;
    std::string track; // decimal without leading zeros; "0" when there is none

    void Clear();
    bool AnyText() const;
};

enum class Mp3TagSource {
    None,  // unreadable, or neither tag: the row gets no name
    ID3v1, // the reader's TID3v1 holds the tag, as documented
    ID3v2, // the fields came from the ID3v2 tag
};

// One per preview; the ID3v1 side reuses the window's TID3v1 object.
class Mp3TagReader {
public:
    explicit Mp3TagReader(TID3v1& id3v1) : m_id3v1(id3v1) {}

    // With `readId3v2` clear this is exactly TID3v1::ReadID3v1. With it set, a
    // tag at the start of the file that holds at least one of the fields wins;
    // a missing, empty or broken one falls back to the ID3v1 block. Files are
    // only read; a pipe or device in place of a file is not opened.
    Mp3TagSource Read(const std::string& path, bool readId3v2, Mp3TagFields& fields);

    // The same over the whole content of a file held in memory.
    Mp3TagSource ReadBytes(std::string_view content, bool readId3v2, Mp3TagFields& fields);

private:
    Mp3TagSource FromID3v1Block(bool blockRead);

    TID3v1& m_id3v1;
    std::string m_buffer;
};

// The genre of an ID3v2 text frame's values: "(17)", "17" and "(17)Rock" name
// genre 17 of GenreNames; "(RX)" and "(CR)" are "Remix" and "Cover"; other text
// stays. Repeated names are kept once; values are joined by a space.
std::string ResolveGenreValues(const std::vector<std::string>& values);

// "3/12" gives "3", "07" gives "7"; a value without leading digits gives "".
std::string TrackNumberOf(std::string_view value);

// True when the text holds a control character (0 to 31, or 127).
bool HoldsControlCharacter(std::string_view text);

} // namespace quorvane
