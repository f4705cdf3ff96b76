#pragma once
// ID3v1 blocks built byte by byte, so each test states exactly what a file holds.

#include <cstdint>
#include <string>

namespace quorvane::test {

struct TagBytes {
    std::string id = "TAG";
    std::string title, artist, album, year, comment;
    // Comment bytes 29 and 30 (offsets 125 and 126); 0 and 0 is ID3v1.0.
    std::uint8_t byte125 = 0;
    std::uint8_t byte126 = 0;
    std::uint8_t genre = 255;
};

// Field text followed by zero bytes up to the field's width (never cut, so a
// test notices a wrong width at once).
inline std::string Field(const std::string& text, std::size_t width, char pad = '\0') {
    std::string field = text.substr(0, width);
    field.append(width - field.size(), pad);
    return field;
}

inline std::string TagBlock(const TagBytes& t) {
    std::string block = t.id;
    block += Field(t.title, 30);
    block += Field(t.artist, 30);
    block += Field(t.album, 30);
    block += Field(t.year, 4);
    block += Field(t.comment, 28);
    block += static_cast<char>(t.byte125);
    block += static_cast<char>(t.byte126);
    block += static_cast<char>(t.genre);
    return block;
}

// The common example tag of these tests.
inline TagBytes BlueSky() {
    TagBytes t;
    t.artist = "Blue Sky";
    t.album = "Night Road";
    t.title = "Come Home";
    t.genre = 17;
    return t;
}

} // namespace quorvane::test
