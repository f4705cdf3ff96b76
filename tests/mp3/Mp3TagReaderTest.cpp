#include "mp3/Mp3TagReader.h"
#include "TagBlock.h"
#include "mp3/Mp3NameFormatter.h"
#include "runs/RenameRun.h"
#include "runs/RunFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sys/wait.h>

namespace quorvane {
namespace {

using test::TagBlock;
using test::TagBytes;

// Files tagged by mutagen, the tagging library many tools of the field use,
// made once for all tests of this file (tests/mp3/fixtures/make_tagged_mp3.py).
class TaggedFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<test::TempDir>();
        s_skipReason.clear();
        // Debian's mutagen installs for the system's interpreter, which a
        // python3 earlier in PATH may not see.
        for (const char* python : {"/usr/bin/python3", "python3"}) {
            const int status =
                test::Shell(std::string(python) + " '" + QUORVANE_MP3_FIXTURE_SCRIPT + "' '" +
                            s_dir->Path() + "' 2>/dev/null");
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return;
        }
        s_skipReason = "python3-mutagen is not installed (scripts/install-deps.sh installs it)";
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    void SetUp() override {
        if (!s_skipReason.empty())
            GTEST_SKIP() << s_skipReason;
    }

    struct Named {
        std::string newName;
        bool selected;
    };
    static Named PreviewOne(const std::string& file, const std::string& format, bool readId3v2) {
        FileRows rows(1);
        rows[0].originalName = file;
        rows[0].folder = std::make_shared<const std::string>(s_dir->Path());
        Mp3NameSettings settings;
        settings.format = format;
        settings.readId3v2 = readId3v2;
        TID3v1 reader;
        PreviewMp3Names(rows, settings, reader);
        return {rows[0].newName, rows[0].selected};
    }

    static std::unique_ptr<test::TempDir> s_dir;
    static std::string s_skipReason;
};

std::unique_ptr<test::TempDir> TaggedFiles::s_dir;
std::string TaggedFiles::s_skipReason;

struct TagNameCase {
    const char* file;
    const char* format;
    bool readId3v2;
    const char* newName; // "" and deselected when `selected` is false
    bool selected = true;
};
const TagNameCase kTagNameCases[] = {
    {"v23.mp3", "%1 %3 %2", true, "Blue Sky-Night Road-Come Home.mp3"},
    {"v23.mp3", "%4 %5 %6 %7", true, "1999-Rock-live-3.mp3"},
    {"v24.mp3", "%4 %5 %6 %7", true, "2004-Rock-studio-7.mp3"},
    // A file with an ID3v2 tag only has nothing to read when it is off.
    {"v23.mp3", "%1", false, "", false},
    // (mutagen writes no comment into an ID3v1 block)
    {"v1.mp3", "%1 %2 %3 %4 %5 %6 %7", true, "Old Band-Old Song-Old Album-1987-Jazz-5.mp3"},
    {"v1.mp3", "%1 %2 %3 %4 %5 %6 %7", false, "Old Band-Old Song-Old Album-1987-Jazz-5.mp3"},
    {"both.mp3", "%1 %2 %7", true, "Band Two-Tag Two-2.mp3"},
    {"both.mp3", "%1 %2 %7", false, "Band One-Tag One-1.mp3"},
    {"v2private.mp3", "%1 %2", true, "Band One-Tag One.mp3"},
    {"untagged.mp3", "%N", true, "", false},
    {"untagged.mp3", "%N", false, "", false},
    // Text of every encoding ends up as UTF-8.
    {"utf16.mp3", "%1 %2 %3", true,
     "Bj\xC3\xB6rk-\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9D\x84\x9E-\xC3\x86r\xC3\xB8.mp3"},
    {"utf16be.mp3", "%1 %2", true, "Bj\xC3\xB6rk-\xE6\x97\xA5\xE6\x9C\xAC.mp3"},
    {"latin1.mp3", "%1 %2", true, "Sigur R\xC3\xB3s-\xC3\x81g\xC3\xA6tis.mp3"},
    {"latin1utf8.mp3", "%1", true, "Bj\xC3\xB6rk.mp3"},
    // Genres: numeric references go through the program's own genre table.
    {"genre_paren.mp3", "%2 %5", true, "Song-Rock.mp3"},
    {"genre_number.mp3", "%2 %5", true, "Song-Rock.mp3"},
    {"genre_same.mp3", "%2 %5", true, "Song-Rock.mp3"},
    {"genre_refined.mp3", "%2 %5", true, "Song-Hard Rock Live.mp3"},
    {"genre_spelling.mp3", "%2 %5", true, "Song-Psychadelic.mp3"},
    {"genre_slash.mp3", "%2 %5", true, "Song-Pop/Funk.mp3"},
    {"genre_remix.mp3", "%2 %5", true, "Song-Remix.mp3"},
    {"genre_unnamed.mp3", "%2 %5", true, "Song.mp3"},
    {"genre_text.mp3", "%2 %5", true, "Song-Shoegaze.mp3"},
    {"genre_two.mp3", "%2 %5", true, "Song-Rock Jazz.mp3"},
    {"genre_twice.mp3", "%2 %5", true, "Song-Rock.mp3"},
    // mutagen itself stores a refined v2.3 genre as names joined by "/".
    {"genre_mutagen.mp3", "%2 %5", true, "Song-Hard Rock/Live.mp3"},
    // Tracks: the number before any "/", without leading zeros.
    {"track_total.mp3", "%7 %2", true, "3-Song.mp3"},
    {"track_zeros.mp3", "%7 %2", true, "7-Song.mp3"},
    {"track_text.mp3", "%7 %2", true, "0-Song.mp3"},
    {"track_none.mp3", "%7 %2", true, "0-Song.mp3"},
    // Trailing blanks and line breaks are padding, as in ID3v1; several
    // values of one frame are joined by a space.
    {"padded.mp3", "%2 %6", true, "Song-tail.mp3"},
    {"values.mp3", "%1", true, "One Two.mp3"},
    // A line break inside a field used leaves the row without a name.
    {"linebreak.mp3", "%2 %6", true, ""},
    {"linebreak.mp3", "%2", true, "Song.mp3"},
    // "/" stays, as for ID3v1: Apply refuses the name.
    {"slash.mp3", "%1 %2", true, "AC/DC-Song.mp3"},
};

TEST_F(TaggedFiles, NamesFromEachKindOfTag) {
    for (const TagNameCase& c : kTagNameCases) {
        const Named named = PreviewOne(c.file, c.format, c.readId3v2);
        EXPECT_EQ(named.newName, c.newName) << c.file << " " << c.format << " v2 " << c.readId3v2;
        EXPECT_EQ(named.selected, c.selected) << c.file << " " << c.format;
    }
}

TEST_F(TaggedFiles, HostileTagTextIsNeverRenamedTo) {
    FileRows rows;
    for (const char* file : {"slash.mp3", "linebreak.mp3", "v23.mp3"}) {
        FileRow& row = rows.emplace_back();
        row.originalName = file;
        row.folder = std::make_shared<const std::string>(s_dir->Path());
        row.selected = true;
    }
    Mp3NameSettings settings;
    settings.format = "%1 %6";
    TID3v1 reader;
    const Mp3PreviewResult preview = PreviewMp3Names(rows, settings, reader);
    EXPECT_EQ(preview.selected, 3u);
    EXPECT_EQ(preview.refusedTagText, 1u);
    PlatformFileSystem fileSystem;
    const RunResult run = RenameFiles(rows, fileSystem);
    EXPECT_EQ(run.failedFiles, 1u); // "AC/DC.mp3" would leave the folder
    EXPECT_TRUE(std::filesystem::exists(s_dir->Path() + "slash.mp3"));
    EXPECT_TRUE(std::filesystem::exists(s_dir->Path() + "linebreak.mp3"));
    EXPECT_TRUE(std::filesystem::exists(s_dir->Path() + "Blue Sky-live.mp3"));
    std::filesystem::rename(s_dir->Path() + "Blue Sky-live.mp3", s_dir->Path() + "v23.mp3");
}

std::string Synchsafe(std::size_t size) {
    std::string bytes;
    for (int shift = 21; shift >= 0; shift -= 7)
        bytes += static_cast<char>((size >> shift) & 0x7F);
    return bytes;
}

// An ID3v2 tag assembled byte by byte: header, then frames as given.
std::string Id3v2Tag(unsigned version, const std::string& frames, std::size_t claimedSize = 0,
                     char flags = 0) {
    std::string tag = "ID3";
    tag += static_cast<char>(version);
    tag += '\0'; // revision
    tag += flags;
    return tag + Synchsafe(claimedSize ? claimedSize : frames.size()) + frames;
}

// A version 2.2 text frame: three-letter id, three-byte size, Latin-1 text.
std::string V22Frame(const std::string& id, const std::string& text) {
    const std::size_t size = text.size() + 1;
    std::string frame = id;
    frame += static_cast<char>((size >> 16) & 0xFF);
    frame += static_cast<char>((size >> 8) & 0xFF);
    frame += static_cast<char>(size & 0xFF);
    return frame + '\0' + text;
}

// A version 2.3 text frame (plain 32-bit size).
std::string V23Frame(const std::string& id, const std::string& text) {
    const std::size_t size = text.size() + 1;
    std::string frame = id;
    for (int shift = 24; shift >= 0; shift -= 8)
        frame += static_cast<char>((size >> shift) & 0xFF);
    frame += std::string(2, '\0'); // flags
    return frame + '\0' + text;
}

// A version 2.4 text frame (synchsafe size), UTF-8 text.
std::string V24Frame(const std::string& id, const std::string& text) {
    return id + Synchsafe(text.size() + 1) + std::string(2, '\0') + '\3' + text;
}

// Tags whose frames TagLib 1.13 reads only in part; the other readers of the
// field read them whole.
TEST_F(TaggedFiles, EveryReadableFrameOfAFaultyTagCounts) {
    const std::string audio(600, '\x55');
    const std::string frames23 =
        V23Frame("TPE1", "Artist") + V23Frame("TIT2", "Title") + V23Frame("TRCK", "5");
    const std::string frames24 =
        V24Frame("TPE1", "Artist") + V24Frame("TIT2", "Title") + V24Frame("TRCK", "5");
    const std::string extended23 = std::string("\0\0\0\x06", 4) + std::string(6, '\0');
    const std::string extended24 = Synchsafe(6) + std::string("\x01\0", 2);
    const std::string footer = "3DI" + std::string("\x04\0\x10", 3) + Synchsafe(frames24.size());
    const std::string sizeZero("TXXX\0\0\0\0\0\0", 10);
    const std::string pastTheTag23 = std::string("COMM\0\0\x7F\xFF\0\0", 10) + "\0engxx";
    struct Case {
        const char* file;
        std::string bytes; // empty: made by mutagen
        const char* newName;
    };
    const Case cases[] = {
        {"tyer24.mp3", "", "Song-1999.mp3"},
        {"extended23.mp3", Id3v2Tag(3, extended23 + frames23, 0, '\x40'), "Artist-Title-5.mp3"},
        {"extended24.mp3", Id3v2Tag(4, extended24 + frames24, 0, '\x40'), "Artist-Title-5.mp3"},
        {"footer24.mp3", Id3v2Tag(4, frames24, 0, '\x10') + footer, "Artist-Title-5.mp3"},
        {"sizezero23.mp3", Id3v2Tag(3, V23Frame("TPE1", "Artist") + sizeZero + frames23.substr(17)),
         "Artist-Title-5.mp3"},
        {"lowercase23.mp3", Id3v2Tag(3, V23Frame("Date", "2001") + frames23), "Artist-Title-5.mp3"},
        {"pastthetag23.mp3",
         Id3v2Tag(3, V23Frame("TPE1", "Artist") + pastTheTag23 + frames23.substr(17)),
         "Artist-Title-5.mp3"},
        // Every fault at once, in the synchsafe sizes of 2.4.
        {"all24.mp3",
         Id3v2Tag(4,
                  extended24 + V24Frame("Date", "2001") + V24Frame("TPE1", "Artist") + sizeZero +
                      V24Frame("TIT2", "Title") + V24Frame("TRCK", "5") + std::string(20, '\0'),
                  0, '\x40'),
         "Artist-Title-5.mp3"},
    };
    for (const Case& c : cases) {
        if (!c.bytes.empty())
            s_dir->Write(c.file, c.bytes + audio);
        const char* format = c.bytes.empty() ? "%2 %4" : "%1 %2 %7";
        EXPECT_EQ(PreviewOne(c.file, format, true).newName, c.newName) << c.file;
    }
}

TEST(Mp3TagReader, BrokenTagsFallBackToTheID3v1Block) {
    TagBytes v1;
    v1.artist = "Block Artist";
    v1.title = "Block Title";
    const std::string block = TagBlock(v1);
    const std::string audio(600, '\x55');
    const std::string good = V23Frame("TIT2", "Frame Title");
    struct Case {
        const char* what;
        std::string head;
        Mp3TagSource source;
        const char* title;
    };
    const Case cases[] = {
        {"a sound tag", Id3v2Tag(3, good), Mp3TagSource::ID3v2, "Frame Title"},
        {"version 2.2", Id3v2Tag(2, V22Frame("TT2", "Old Frame") + V22Frame("TP1", "Old Artist")),
         Mp3TagSource::ID3v2, "Old Frame"},
        {"unknown version", Id3v2Tag(9, good), Mp3TagSource::ID3v1, "Block Title"},
        // Cut short, but the frames that are there are whole.
        {"size past the end", Id3v2Tag(3, good, 0x0FFFFFFF), Mp3TagSource::ID3v2, "Frame Title"},
        {"frame size past the tag", Id3v2Tag(3, "TIT2\x7F\xFF\xFF\xFF\0\0\0abc"),
         Mp3TagSource::ID3v1, "Block Title"},
        {"garbage frames", Id3v2Tag(3, std::string(40, '\xEE')), Mp3TagSource::ID3v1,
         "Block Title"},
        {"header alone", "ID3\x03", Mp3TagSource::ID3v1, "Block Title"},
        {"no frames", Id3v2Tag(4, ""), Mp3TagSource::ID3v1, "Block Title"},
    };
    for (const Case& c : cases) {
        TID3v1 id3v1;
        Mp3TagReader reader(id3v1);
        Mp3TagFields fields;
        const std::string content = c.head + audio + block;
        const Mp3TagSource source = reader.ReadBytes(content, true, fields);
        EXPECT_EQ(source, c.source) << c.what;
        EXPECT_EQ(source == Mp3TagSource::ID3v2 ? fields.title : id3v1.title, c.title) << c.what;
        // Off, the block is read whatever the start holds.
        EXPECT_EQ(reader.ReadBytes(content, false, fields), Mp3TagSource::ID3v1) << c.what;
        EXPECT_EQ(id3v1.title, "Block Title") << c.what;
        // Without a block, a broken tag leaves nothing to read.
        EXPECT_EQ(reader.ReadBytes(c.head + audio, true, fields) == Mp3TagSource::ID3v2,
                  c.source == Mp3TagSource::ID3v2)
            << c.what;
    }
}

TEST(Mp3TagReader, FilesTheReaderWillNotOpen) {
    test::TempDir dir;
    dir.MakeDir("folder.mp3");
    ASSERT_EQ(test::Shell("mkfifo '" + dir.Path() + "pipe.mp3'"), 0);
    dir.Write("short.mp3", Id3v2Tag(3, V23Frame("TIT2", "Short")));
    dir.Write("tiny.mp3", "ID");
    TID3v1 id3v1;
    Mp3TagReader reader(id3v1);
    Mp3TagFields fields;
    for (const char* name : {"missing.mp3", "folder.mp3", "pipe.mp3", "tiny.mp3"})
        EXPECT_EQ(reader.Read(dir.Path() + name, true, fields), Mp3TagSource::None) << name;
    // Shorter than an ID3v1 block, but the ID3v2 tag is whole.
    EXPECT_EQ(reader.Read(dir.Path() + "short.mp3", true, fields), Mp3TagSource::ID3v2);
    EXPECT_EQ(fields.title, "Short");
}

TEST(Mp3TagReader, GenreValuesAndTracks) {
    struct GenreCase {
        std::vector<std::string> values;
        const char* genre;
    };
    // Values TagLib hands over as they were stored.
    const GenreCase genres[] = {
        {{"  (17)"}, "Rock"},
        {{"(4)(17)"}, "Disco Rock"},
        {{"(4)(17)Funky"}, "Disco Rock Funky"},
        {{"((17) Live"}, "(17) Live"},
        {{"(CR)"}, "Cover"},
        {{"999"}, ""},
        {{"(147)"}, "Synthpop"},
        {{"(148)"}, ""},
        {{"(17"}, "(17"},
        {{"(x)Rock"}, "(x)Rock"},
        {{"", "Jazz", "Jazz"}, "Jazz"},
        {{"0017"}, ""},
    };
    for (const GenreCase& c : genres)
        EXPECT_EQ(ResolveGenreValues(c.values), c.genre) << c.values.front();

    struct TrackCase {
        const char* value;
        const char* track;
    };
    const TrackCase tracks[] = {
        {"3/12", "3"}, {" 12 ", "12"},
        {"000", "0"},  {"/5", ""},
        {"", ""},      {"123456789012345678901234567890", "123456789012345678901234567890"},
    };
    for (const TrackCase& c : tracks)
        EXPECT_EQ(TrackNumberOf(c.value), c.track) << c.value;
}

} // namespace
} // namespace quorvane
