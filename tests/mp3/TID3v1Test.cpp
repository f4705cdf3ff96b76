#include "mp3/TID3v1.h"
#include "TagBlock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::TagBlock;
using test::TagBytes;
using test::TempDir;

// Every field of a tag, compared one by one so that a failure names the field.
struct Fields {
    bool exists;
    std::uint8_t version;
    std::string title, artist, album, year, comment;
    std::uint8_t track, genre;
};

void ExpectFields(const TID3v1& tag, const Fields& expected) {
    EXPECT_EQ(tag.exists, expected.exists);
    EXPECT_EQ(tag.version, expected.version);
    EXPECT_EQ(tag.title, expected.title);
    EXPECT_EQ(tag.artist, expected.artist);
    EXPECT_EQ(tag.album, expected.album);
    EXPECT_EQ(tag.year, expected.year);
    EXPECT_EQ(tag.comment, expected.comment);
    EXPECT_EQ(tag.track, expected.track);
    EXPECT_EQ(tag.genre, expected.genre);
}

void ExpectResetState(const TID3v1& tag) {
    ExpectFields(tag, {false, kID3v1Version10, "", "", "", "", "", 0, 255});
}

TagBytes FullTag() {
    TagBytes t;
    t.title = "Come Home";
    t.artist = "Blue Sky";
    t.album = "Night Road";
    t.year = "1999";
    t.comment = "live";
    t.byte126 = 7;
    t.genre = 17;
    return t;
}

TEST(TID3v1, StartsInTheResetState) {
    ExpectResetState(TID3v1{});
}

TEST(TID3v1, ReadsTheLastBlockOfAFile) {
    TempDir dir;
    const std::string audio(5000, '\xFF');
    const std::string path = dir.Write("song.mp3", audio + TagBlock(FullTag()));
    TID3v1 tag;
    ASSERT_TRUE(tag.ReadID3v1(path));
    ExpectFields(
        tag, {true, kID3v1Version11, "Come Home", "Blue Sky", "Night Road", "1999", "live", 7, 17});
}

TEST(TID3v1, FileSizesAndIdentifiers) {
    struct Case {
        const char* what;
        std::string content;
        bool result;
        bool exists;
    };
    const std::string block = TagBlock(FullTag());
    TagBytes lower = FullTag();
    lower.id = "tag";
    TagBytes mixed = FullTag();
    mixed.id = "TaG";
    const Case cases[] = {
        {"empty file", "", false, false},
        {"127 bytes", block.substr(0, 127), false, false},
        {"127 bytes of a block's end", block.substr(1), false, false},
        {"exactly 128 bytes, all tag", block, true, true},
        {"tag block not at the end", block + std::string(10, '\0'), true, false},
        {"lower-case identifier", TagBlock(lower), true, false},
        {"mixed-case identifier", TagBlock(mixed), true, false},
        {"no identifier", std::string(128, 'x'), true, false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.Write("file", c.content);
        TID3v1 tag;
        EXPECT_EQ(tag.ReadID3v1(path), c.result) << c.what;
        EXPECT_EQ(tag.exists, c.exists) << c.what;
        if (!c.exists)
            ExpectResetState(tag);
        else
            EXPECT_EQ(tag.title, "Come Home") << c.what;
    }
}

TEST(TID3v1, FilesThatCannotBeReadGiveFalse) {
    TempDir dir;
    TID3v1 tag;
    EXPECT_FALSE(tag.ReadID3v1(dir.Path() + "missing.mp3"));
    ExpectResetState(tag);
    EXPECT_FALSE(tag.ReadID3v1(dir.MakeDir("folder.mp3")));
    ExpectResetState(tag);
    EXPECT_FALSE(tag.ReadID3v1(""));
    ExpectResetState(tag);
}

TEST(TID3v1, ASecondReadStartsFromTheResetState) {
    TempDir dir;
    const std::string tagged = dir.Write("a.mp3", TagBlock(FullTag()));
    const std::string untagged = dir.Write("b.mp3", std::string(200, 'x'));
    const std::string tooShort = dir.Write("c.mp3", "ID3");
    TID3v1 tag;
    ASSERT_TRUE(tag.ReadID3v1(tagged));
    EXPECT_TRUE(tag.ReadID3v1(untagged));
    ExpectResetState(tag);

    ASSERT_TRUE(tag.ReadID3v1(tagged));
    EXPECT_FALSE(tag.ReadID3v1(tooShort));
    ExpectResetState(tag);

    TagBytes sparse; // a v1.0 tag with only a title: nothing of the full tag remains
    sparse.title = "Only";
    ASSERT_TRUE(tag.ReadID3v1(tagged));
    ASSERT_TRUE(tag.ReadID3v1(dir.Write("d.mp3", TagBlock(sparse))));
    EXPECT_EQ(tag.title, "Only");
    EXPECT_EQ(tag.artist, "");
    EXPECT_EQ(tag.comment, "");
    EXPECT_EQ(tag.track, 0);
    EXPECT_EQ(tag.version, kID3v1Version10);
    EXPECT_EQ(tag.genre, 255);
}

TEST(TID3v1, TextIsTrimmedAtTheRightOnly) {
    using namespace std::string_literals;
    struct Case {
        std::string bytes; // the title field, padded with zero bytes to 30
        std::string title;
    };
    const Case cases[] = {
        {"Hello", "Hello"},
        {"  Hi" + std::string(26, ' '), "  Hi"},
        {"A\0B"s, "A\0B"s},
        {"Tab\t\r\n \x01\x1F", "Tab"},
        {"Sign!\x21", "Sign!!"},
        {std::string(30, 'x'), std::string(30, 'x')},
        {std::string(30, ' '), ""},
        {"Caf\xE9", "Caf\xE9"},   // raw bytes, no conversion in the reader
        {"\xA0\xFF", "\xA0\xFF"}, // bytes above 127 are text, not padding
    };
    for (const Case& c : cases) {
        TagBytes t;
        t.title = c.bytes;
        TID3v1 tag;
        ASSERT_TRUE(tag.ParseBlock(TagBlock(t)));
        EXPECT_EQ(tag.title, c.title) << c.bytes;
    }
}

TEST(TID3v1, FieldsDoNotRunIntoEachOther) {
    TagBytes t;
    t.title = std::string(30, 'T');
    t.artist = std::string(30, 'A');
    t.album = std::string(30, 'L');
    t.year = "2024";
    t.byte125 = 'C';
    t.comment = std::string(28, 'C');
    t.byte126 = 'C';
    t.genre = 0;
    TID3v1 tag;
    ASSERT_TRUE(tag.ParseBlock(TagBlock(t)));
    EXPECT_EQ(tag.title, std::string(30, 'T'));
    EXPECT_EQ(tag.artist, std::string(30, 'A'));
    EXPECT_EQ(tag.album, std::string(30, 'L'));
    EXPECT_EQ(tag.year, "2024");
    EXPECT_EQ(tag.comment, std::string(30, 'C'));
    EXPECT_EQ(tag.genre, 0);
}

TEST(TID3v1, VersionRule) {
    struct Case {
        std::uint8_t byte125;
        std::uint8_t byte126;
        std::uint8_t version;
        std::uint8_t track;
        std::string comment;
    };
    // The comment's first 28 bytes are "Note" and zero bytes; bytes 29 and 30 vary.
    const std::string note28 = test::Field("Note", 28);
    const Case cases[] = {
        {0, 5, kID3v1Version11, 5, "Note"},
        {' ', 'A', kID3v1Version11, 65, "Note"},
        {' ', 0, kID3v1Version11, 0, "Note"},
        {0, 255, kID3v1Version11, 255, "Note"},
        {0, 0, kID3v1Version10, 0, "Note"},
        {' ', ' ', kID3v1Version10, 0, "Note"},
        {'x', 5, kID3v1Version10, 0, note28 + "x"}, // the 5 is padding then
        {'x', 'y', kID3v1Version10, 0, note28 + "xy"},
        {5, 0, kID3v1Version10, 0, "Note"},
    };
    for (const Case& c : cases) {
        TagBytes t;
        t.comment = "Note";
        t.byte125 = c.byte125;
        t.byte126 = c.byte126;
        TID3v1 tag;
        ASSERT_TRUE(tag.ParseBlock(TagBlock(t)));
        const std::string which = std::to_string(c.byte125) + "," + std::to_string(c.byte126);
        EXPECT_EQ(tag.version, c.version) << which;
        EXPECT_EQ(tag.track, c.track) << which;
        EXPECT_EQ(tag.comment, c.comment) << which;
    }
}

TEST(TID3v1, GenreByteIsKeptAsItIs) {
    for (const int genre : {0, 17, 147, 148, 255}) {
        TagBytes t;
        t.genre = static_cast<std::uint8_t>(genre);
        TID3v1 tag;
        ASSERT_TRUE(tag.ParseBlock(TagBlock(t)));
        EXPECT_EQ(tag.genre, genre);
    }
}

} // namespace
} // namespace quorvane
