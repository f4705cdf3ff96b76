#include "mp3/Mp3NameFormatter.h"
#include "TagBlock.h"
#include "support/Rows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace quorvane {
namespace {

using test::BlueSky;
using test::TagBlock;
using test::TagBytes;

// A folder of files and the list rows that stand for them.
class Mp3List {
public:
    Mp3List() : m_folder(std::make_shared<const std::string>(m_dir.Path())) {}

    // A file with some audio bytes and, when given, a tag at its end.
    void Add(const std::string& name, const std::optional<TagBytes>& tag, bool selected = false) {
        m_dir.Write(name, std::string(64, '\x55') + (tag ? TagBlock(*tag) : std::string(128, 0)));
        AddRowOnly(name, selected);
    }
    void AddRowOnly(const std::string& name, bool selected = false) {
        FileRow row;
        row.originalName = name;
        row.folder = m_folder;
        row.selected = selected;
        rows.push_back(row);
    }
    Mp3PreviewResult Preview(const Mp3NameSettings& settings) {
        return PreviewMp3Names(rows, settings, m_reader);
    }
    std::vector<std::string> NewNames() const { return test::FieldOfEach(rows, &FileRow::newName); }
    std::vector<bool> Selection() const { return test::FieldOfEach(rows, &FileRow::selected); }
    const test::TempDir& Dir() const { return m_dir; }

    FileRows rows;

private:
    test::TempDir m_dir;
    std::shared_ptr<const std::string> m_folder;
    TID3v1 m_reader;
};

Mp3NameSettings Format(const std::string& format) {
    Mp3NameSettings settings;
    settings.format = format;
    return settings;
}

TagBytes WithGenre(TagBytes tag, int genre) {
    tag.genre = static_cast<std::uint8_t>(genre);
    return tag;
}

TEST(Mp3Format, Expansion) {
    TagBytes full = BlueSky();
    full.year = "1999";
    full.comment = "live";
    TagBytes v11 = BlueSky();
    v11.byte126 = 3;
    TagBytes noAlbum = BlueSky();
    noAlbum.album = "";
    struct Case {
        const char* format;
        TagBytes tag;
        const char* name;
    };
    const Case cases[] = {
        {"%1 %3 %2", full, "Blue Sky-Night Road-Come Home"},
        {"%1 %3 %2", noAlbum, "Blue Sky-Come Home"},
        {"%3 %1 %2", noAlbum, "Blue Sky-Come Home"},
        {"%4%6%1", full, "1999-live-Blue Sky"},
        {"%2 %5", WithGenre(BlueSky(), 17), "Come Home-Rock"},
        {"%2 %5", WithGenre(BlueSky(), 0), "Come Home-Blues"},
        {"%2 %5", WithGenre(BlueSky(), 147), "Come Home-Synthpop"},
        {"%2 %5", WithGenre(BlueSky(), 148), "Come Home"},
        {"%2 %5", WithGenre(BlueSky(), 255), "Come Home"},
        {"%5 %2", WithGenre(BlueSky(), 62), "Pop/Funk-Come Home"},
        {"%7 %2", BlueSky(), "0-Come Home"},
        {"%7 %2", v11, "3-Come Home"},
        // Literal text never reaches the name; "-" is the only separator.
        {"[%1] - (%2)", full, "Blue Sky-Come Home"},
        {"no placeholders", full, ""},
        {"", full, ""},
        // A pending "%" survives other characters; a placeholder without it is text.
        {"% 2", full, "Come Home"},
        {"%%1", full, "Blue Sky"},
        {"%x2", full, "Come Home"},
        {"%n2", full, "Come Home"},
        {"12%", full, ""},
        {"%1%1", full, "Blue Sky-Blue Sky"},
        {"%8%9%0", full, ""},
    };
    for (const Case& c : cases) {
        TID3v1 tag;
        ASSERT_TRUE(tag.ParseBlock(TagBlock(c.tag)));
        EXPECT_EQ(ExpandMp3Format(c.format, tag, "file.mp3"), c.name) << c.format;
    }
}

TEST(Mp3Format, FileNamePlaceholderIgnoresTheTag) {
    struct Case {
        const char* original;
        const char* format;
        const char* name;
    };
    const Case cases[] = {
        {"Track 01.MP3", "%N", "Track 01"}, {"a.b.c.mp3", "%N", "a.b.c"},
        {"noext", "%N", "noext"},           {".hidden", "%N %2", "Come Home"},
        {"Caf\xE9.mp3", "%N", "Caf\xE9"}, // a name is kept byte for byte
    };
    TID3v1 tag;
    ASSERT_TRUE(tag.ParseBlock(TagBlock(BlueSky())));
    for (const Case& c : cases)
        EXPECT_EQ(ExpandMp3Format(c.format, tag, c.original), c.name) << c.original;
}

TEST(Mp3Format, TagTextBecomesUtf8) {
    TagBytes latin1 = BlueSky();
    latin1.artist = "Bj\xF6rk";
    latin1.title = "J\xF3ga";
    TagBytes utf8 = BlueSky();
    utf8.artist = "Bj\xC3\xB6rk";
    TID3v1 tag;
    ASSERT_TRUE(tag.ParseBlock(TagBlock(latin1)));
    EXPECT_EQ(ExpandMp3Format("%1 %2", tag, "x.mp3"), "Bj\xC3\xB6rk-J\xC3\xB3ga");
    ASSERT_TRUE(tag.ParseBlock(TagBlock(utf8)));
    EXPECT_EQ(ExpandMp3Format("%1", tag, "x.mp3"), "Bj\xC3\xB6rk");
}

TEST(Mp3Options, CaseAndSpaces) {
    struct Case {
        int caseIndex;
        int spaceIndex;
        const char* name;
    };
    const char* original = "hELLO wORLD-jAZZ  Caf\xC3\xA9\tx";
    const Case cases[] = {
        {-1, -1, "hELLO wORLD-jAZZ  Caf\xC3\xA9\tx"},
        {kMp3CaseCapitalize, -1, "Hello World-jazz  Caf\xC3\xA9\tx"},
        {kMp3CaseUpper, -1, "HELLO WORLD-JAZZ  CAF\xC3\xA9\tX"},
        {kMp3CaseLower, -1, "hello world-jazz  caf\xC3\xA9\tx"},
        {-1, kMp3SpaceHyphen, "hELLO-wORLD-jAZZ--Caf\xC3\xA9\tx"},
        {-1, kMp3SpaceUnderscore, "hELLO_wORLD-jAZZ__Caf\xC3\xA9\tx"},
        {-1, kMp3SpaceDelete, "hELLOwORLD-jAZZCaf\xC3\xA9\tx"},
        {7, 7, "hELLO wORLD-jAZZ  Caf\xC3\xA9\tx"},
    };
    for (const Case& c : cases) {
        std::string name = original;
        ApplyMp3Case(name, c.caseIndex);
        ApplyMp3Spaces(name, c.spaceIndex);
        EXPECT_EQ(name, c.name) << c.caseIndex << "/" << c.spaceIndex;
    }
}

TEST(Mp3Options, NumberPrefix) {
    struct Case {
        const char* counter;
        std::vector<std::string> prefixes; // for five names; "" = not numbered
    };
    const Case cases[] = {
        {"001", {"001", "002", "003", "004", "005"}},
        {"05", {"05", "06", "07", "08", "09"}},
        {"8", {"8", "9", "10", "11", "12"}}, // a longer number is not cut
        {"0", {"0", "1", "2", "3", "4"}},
        {"", {"", "", "", "", ""}},
        {"1a", {"", "", "", "", ""}},
        {" 1", {"", "", "", "", ""}},
        {"-2", {"-2", "-1", "00", "01", "02"}},
        {"99999999999999999999", {"", "", "", "", ""}}, // beyond 64 bits
        // The counter stops at the largest number instead of wrapping.
        {"9223372036854775806", {"9223372036854775806", "9223372036854775807", "", "", ""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names(5, "x");
        ApplyMp3Numbers(names, c.counter);
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(names[i], c.prefixes[i] + "x") << "counter '" << c.counter << "' name " << i;
    }
}

TEST(Mp3Preview, WorkedExamples) {
    struct Case {
        const char* what;
        Mp3NameSettings settings;
        std::vector<std::string> names;
    };
    Mp3NameSettings capitalizeHyphen = Format("%1 %3 %2");
    capitalizeHyphen.caseOn = true;
    capitalizeHyphen.caseIndex = kMp3CaseCapitalize;
    capitalizeHyphen.spaceOn = true;
    capitalizeHyphen.spaceIndex = kMp3SpaceHyphen;
    Mp3NameSettings numberedNoSpaces = Format("%1 %3 %2");
    numberedNoSpaces.numberOn = true;
    numberedNoSpaces.numberText = "001";
    numberedNoSpaces.spaceOn = true;
    numberedNoSpaces.spaceIndex = kMp3SpaceDelete;
    Mp3NameSettings optionsOff = capitalizeHyphen; // items chosen, boxes not ticked
    optionsOff.caseOn = false;
    optionsOff.spaceOn = false;
    optionsOff.numberText = "";
    Mp3NameSettings ticksWithoutItems = Format("%1 %3 %2");
    ticksWithoutItems.caseOn = true;
    ticksWithoutItems.spaceOn = true;
    Mp3NameSettings allOptions = Format("%2");
    allOptions.caseOn = true;
    allOptions.caseIndex = kMp3CaseCapitalize;
    allOptions.numberOn = true;
    allOptions.numberText = "9";
    allOptions.spaceOn = true;
    allOptions.spaceIndex = kMp3SpaceUnderscore;

    const std::string plain = "Blue Sky-Night Road-Come Home.mp3";
    const Case cases[] = {
        {"no options", Format("%1 %3 %2"), {plain, plain, plain}},
        {"capitalize, hyphens", capitalizeHyphen,
         std::vector<std::string>(3, "Blue-Sky-night-Road-come-Home.mp3")},
        {"numbered, no spaces",
         numberedNoSpaces,
         {"001BlueSky-NightRoad-ComeHome.mp3", "002BlueSky-NightRoad-ComeHome.mp3",
          "003BlueSky-NightRoad-ComeHome.mp3"}},
        {"options not ticked", optionsOff, {plain, plain, plain}},
        {"ticked, no item chosen", ticksWithoutItems, {plain, plain, plain}},
        {"all three options", allOptions, {"9Come_Home.mp3", "10Come_Home.mp3", "11Come_Home.mp3"}},
        // Nothing but ".mp3" would be a hidden file here: such rows get no name.
        {"no placeholders", Format("just text"), {"", "", ""}},
    };
    for (const Case& c : cases) {
        Mp3List list;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            list.Add(name, BlueSky());
        const Mp3PreviewResult result = list.Preview(c.settings);
        EXPECT_TRUE(result.previewed) << c.what;
        EXPECT_EQ(result.selected, 3u) << c.what;
        EXPECT_EQ(list.NewNames(), c.names) << c.what;
    }
}

TEST(Mp3Preview, FileNameFormatGetsALowerCaseExtension) {
    Mp3List list;
    list.Add("Track 01.MP3", BlueSky());
    list.Add("notes.txt", BlueSky()); // any tagged file, whatever its type
    list.Preview(Format("%N"));
    EXPECT_EQ(list.NewNames(), (std::vector<std::string>{"Track 01.mp3", "notes.mp3"}));
}

TEST(Mp3Preview, RowsWithoutATagAreDeselected) {
    Mp3List list;
    TagBytes second = BlueSky();
    second.title = "Second";
    list.Add("1.mp3", BlueSky(), true);
    list.Add("2.mp3", std::nullopt, true);
    list.Add("3.mp3", second, true);
    Mp3NameSettings numbered = Format("%2");
    numbered.numberOn = true;
    numbered.numberText = "01";
    const Mp3PreviewResult result = list.Preview(numbered);
    EXPECT_EQ(list.NewNames(), (std::vector<std::string>{"01Come Home.mp3", "", "02Second.mp3"}));
    EXPECT_EQ(list.Selection(), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(result.selected, 2u);
    EXPECT_EQ(result.untagged, 1u);
}

TEST(Mp3Preview, AnEmptyNameLeavesOnlyThatRowUnnamed) {
    Mp3List list;
    TagBytes noAlbum = BlueSky();
    noAlbum.album = "";
    list.Add("1.mp3", noAlbum);
    list.Add("2.mp3", BlueSky());
    list.Add("3.mp3", noAlbum);
    const Mp3PreviewResult result = list.Preview(Format("%3"));
    EXPECT_EQ(list.NewNames(), (std::vector<std::string>{"", "Night Road.mp3", ""}));
    EXPECT_EQ(list.Selection(), std::vector<bool>(3, true));
    EXPECT_EQ(result.selected, 3u);

    Mp3NameSettings numbered = Format("%3"); // a number alone is a name
    numbered.numberOn = true;
    numbered.numberText = "1";
    list.Preview(numbered);
    EXPECT_EQ(list.NewNames(), (std::vector<std::string>{"1.mp3", "2Night Road.mp3", "3.mp3"}));
}

TEST(Mp3Preview, UnreadableFilesAreDeselected) {
    Mp3List list;
    list.Add("good.mp3", BlueSky());
    list.AddRowOnly("vanished.mp3");
    list.Dir().MakeDir("folder.mp3");
    list.AddRowOnly("folder.mp3");
    list.Dir().Write("short.mp3", "TAG");
    list.AddRowOnly("short.mp3");
    list.Dir().Write("lower.mp3", "tag" + TagBlock(BlueSky()).substr(3));
    list.AddRowOnly("lower.mp3");
    list.Add("good2.mp3", BlueSky());
    const Mp3PreviewResult result = list.Preview(Format("%2"));
    EXPECT_EQ(list.NewNames(),
              (std::vector<std::string>{"Come Home.mp3", "", "", "", "", "Come Home.mp3"}));
    EXPECT_EQ(list.Selection(), (std::vector<bool>{true, false, false, false, false, true}));
    EXPECT_EQ(result.untagged, 4u);
}

TEST(Mp3Preview, SelectionAndEarlierNames) {
    Mp3List list;
    list.Add("1.mp3", BlueSky());
    list.Add("2.mp3", BlueSky(), true);
    list.Add("3.mp3", BlueSky());
    for (FileRow& row : list.rows)
        row.newName = "stale";
    // Only the selected row is named; earlier names of the others are cleared.
    list.Preview(Format("%2"));
    EXPECT_EQ(list.NewNames(), (std::vector<std::string>{"", "Come Home.mp3", ""}));
    EXPECT_EQ(list.Selection(), (std::vector<bool>{false, true, false}));

    // With nothing selected every row is taken.
    for (FileRow& row : list.rows)
        row.selected = false;
    list.Preview(Format("%1"));
    EXPECT_EQ(list.NewNames(), std::vector<std::string>(3, "Blue Sky.mp3"));
    EXPECT_EQ(list.Selection(), std::vector<bool>(3, true));
}

TEST(Mp3Preview, NoneSelectedThenUntaggedDeselectedAgain) {
    Mp3List list;
    list.Add("1.mp3", std::nullopt);
    list.Add("2.mp3", BlueSky());
    list.Add("3.mp3", std::nullopt);
    const Mp3PreviewResult result = list.Preview(Format("%2"));
    EXPECT_EQ(list.Selection(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(list.NewNames(), (std::vector<std::string>{"", "Come Home.mp3", ""}));
    EXPECT_EQ(result.selected, 1u);
}

TEST(Mp3Preview, EmptyListAndNoTagAtAll) {
    Mp3List empty;
    const Mp3PreviewResult none = empty.Preview(Format("%2"));
    EXPECT_TRUE(none.previewed);
    EXPECT_EQ(none.selected, 0u);

    Mp3List untagged;
    untagged.Add("1.mp3", std::nullopt);
    untagged.Add("2.mp3", std::nullopt);
    const Mp3PreviewResult result = untagged.Preview(Format("%2"));
    EXPECT_TRUE(result.previewed);
    EXPECT_EQ(result.selected, 0u);
    EXPECT_EQ(untagged.Selection(), std::vector<bool>(2, false));
}

TEST(Mp3Preview, CharactersANameCannotHoldStay) {
    // The rename refuses such a name later; the preview shows what the tag says.
    Mp3List list;
    list.Add("1.mp3", WithGenre(BlueSky(), 62));
    list.Preview(Format("%5 %2"));
    EXPECT_EQ(list.NewNames(), std::vector<std::string>{"Pop/Funk-Come Home.mp3"});
}

TEST(Mp3Preview, Latin1TagsGiveUtf8Names) {
    Mp3List list;
    TagBytes tag;
    tag.artist = "Sigur R\xF3s";
    tag.title = "\xC1g\xE6tis Byrjun";
    list.Add("1.mp3", tag);
    Mp3NameSettings settings = Format("%1 %2");
    settings.caseOn = true;
    settings.caseIndex = kMp3CaseUpper;
    list.Preview(settings);
    EXPECT_EQ(list.NewNames(),
              std::vector<std::string>{"SIGUR R\xC3\xB3S-\xC3\x81G\xC3\xA6TIS BYRJUN.mp3"});
}

TEST(Mp3Preview, TheFilesAreOnlyRead) {
    Mp3List list;
    list.Add("1.mp3", BlueSky());
    const std::string before = std::string(64, '\x55') + TagBlock(BlueSky());
    list.Preview(Format("%2"));
    list.Preview(Format("%1"));
    EXPECT_TRUE(std::filesystem::exists(list.Dir().Path() + "1.mp3"));
    std::ifstream in(list.Dir().Path() + "1.mp3", std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, before);
    EXPECT_FALSE(std::filesystem::exists(list.Dir().Path() + "Blue Sky.mp3"));
}

} // namespace
} // namespace quorvane
