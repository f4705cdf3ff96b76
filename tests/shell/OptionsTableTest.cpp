// The table of sections and keys of "Options.ini" and its typed reads and
// writes, without a window.
#include "shell/OptionsTable.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <stdexcept>

namespace quorvane {
namespace {

using test::TempDir;

// Names as the file compares them: outer blanks dropped, A-Z folded.
std::string Folded(std::string name) {
    const auto first = name.find_first_not_of(" \t");
    const auto last = name.find_last_not_of(" \t");
    name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

bool IsItemKeyOf(const std::string& key, const std::string& prefix) {
    const std::string folded = Folded(key);
    const std::string foldedPrefix = Folded(prefix);
    return folded.size() > foldedPrefix.size() &&
           folded.compare(0, foldedPrefix.size(), foldedPrefix) == 0 &&
           std::all_of(folded.begin() + static_cast<long>(foldedPrefix.size()), folded.end(),
                       [](unsigned char c) { return std::isdigit(c); });
}

TEST(OptionsTable, EveryKeyNamesOneValueOfItsSection) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const OptionKey& key : OptionKeys()) {
        const auto name = std::make_pair(Folded(key.section), Folded(key.key));
        EXPECT_TRUE(seen.insert(name).second) << key.section << "/" << key.key << " twice";
    }
    // No key of a section looks like an item of one of its lists.
    for (const OptionKey& list : OptionKeys()) {
        if (list.type != OptionType::HistoryItems)
            continue;
        for (const OptionKey& other : OptionKeys())
            if (other.type != OptionType::HistoryItems &&
                Folded(other.section) == Folded(list.section)) {
                EXPECT_FALSE(IsItemKeyOf(other.key, list.key)) << other.key;
            }
    }
}

TEST(OptionsTable, ReadNamesFindTheWrittenValues) {
    TempDir dir;
    IniFile file(dir.Path() + "Options.ini");
    for (const OptionKey& key : OptionKeys())
        if (key.type != OptionType::HistoryItems)
            file.WriteString(key.section, key.key, "7");
    ASSERT_TRUE(file.Save());
    IniFile reread(file.Path());
    ASSERT_TRUE(reread.Load());
    for (const OptionKey& key : OptionKeys()) {
        if (key.readAs && key.type != OptionType::HistoryItems) {
            EXPECT_EQ(reread.ReadString(key.section, key.readAs, "missing"), "7") << key.key;
        }
    }
    // Only the start value position is written for others and never read.
    for (const OptionKey& key : OptionKeys())
        EXPECT_EQ(key.readAs == nullptr, key.id == OptionId::EmuStartFromIndex) << key.key;
}

TEST(OptionsTable, ANewFileHoldsTheSectionsInTheirOrder) {
    std::vector<std::string> sections;
    for (const OptionKey& key : OptionKeys())
        if (sections.empty() || sections.back() != Folded(key.section))
            sections.push_back(Folded(key.section));
    // "Mp3Panel" of the MP3 options is the section "MP3Panel", so it closes
    // the list without opening a new section.
    const std::vector<std::string> expected{"renamepanel", "mp3panel", "case", "insert",
                                            "delete",      "replace",  "attr", "emu",
                                            "main",        "mp3panel"};
    EXPECT_EQ(sections, expected);
}

TEST(OptionsTable, DefaultsReadAsTheirTypes) {
    for (const OptionKey& key : OptionKeys()) {
        const std::string value = key.defaultValue;
        switch (key.type) {
        case OptionType::Integer:
            if (key.readAs) {
                EXPECT_NO_THROW((void)std::stol(value)) << key.key;
            }
            break;
        case OptionType::Boolean:
            EXPECT_TRUE(value == "0" || value == "1") << key.key;
            break;
        case OptionType::Number:
            EXPECT_NO_THROW((void)std::stod(value)) << key.key;
            break;
        case OptionType::HistoryItems:
            EXPECT_NE(OptionKeyOf(key.countKey).type, OptionType::HistoryItems) << key.key;
            EXPECT_STREQ(OptionKeyOf(key.countKey).section, key.section) << key.key;
            break;
        case OptionType::Text:
            break;
        }
    }
}

class StoredOptionsTest : public ::testing::Test {
protected:
    IniFile Read(const std::string& text) {
        const std::string path = m_dir.Write("Options.ini", text);
        IniFile file(path);
        EXPECT_TRUE(file.Load());
        return file;
    }
    TempDir m_dir;
};

TEST_F(StoredOptionsTest, MissingAndUnreadableValuesTakeTheDefaults) {
    const IniFile file =
        Read("[Main]\r\nLeft=abc\r\nTop=-12\r\nTBVisible=0\r\nStatusBarVisible=5\r\n"
             "[Insert]\r\nindex=2.5\r\n[Delete]\r\nindex=x\r\n");
    const StoredOptions stored(file);
    EXPECT_EQ(stored.Integer(OptionId::MainLeft), 100);
    EXPECT_EQ(stored.Integer(OptionId::MainTop), -12);
    EXPECT_EQ(stored.Integer(OptionId::MainWidth), 660);
    EXPECT_FALSE(stored.Boolean(OptionId::MainToolBarVisible));
    EXPECT_TRUE(stored.Boolean(OptionId::MainStatusBarVisible));
    EXPECT_TRUE(stored.Boolean(OptionId::MainFilterVisible));
    EXPECT_EQ(stored.Text(OptionId::MainFilterText), "*.*");
    EXPECT_EQ(stored.Text(OptionId::Mp3LastFormat), "%1 %3 %2");
    EXPECT_EQ(stored.Text(OptionId::EmuStartFromText, "A"), "A");
    EXPECT_DOUBLE_EQ(stored.Number(OptionId::InsertIndex), 2.5);
    EXPECT_DOUBLE_EQ(stored.Number(OptionId::DeleteIndex), 1.0);
    EXPECT_EQ(stored.Integer(OptionId::Mp3EmulationIndex), 1);
}

TEST_F(StoredOptionsTest, HistoryItemsFollowTheirCount) {
    struct Case {
        const char* text;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"[Main]\r\nFilterCount=2\r\nFilter_0=*.a\r\nFilter_1=*.b\r\nFilter_2=*.c\r\n",
         {"*.a", "*.b"}},
        // More counted than stored: the missing ones read empty.
        {"[Main]\r\nFilterCount=3\r\nFilter_1=*.b\r\n", {"", "*.b", ""}},
        {"[Main]\r\nFilterCount=0\r\nFilter_0=*.a\r\n", {}},
        {"[Main]\r\nFilterCount=-4\r\nFilter_0=*.a\r\n", {}},
        {"[Main]\r\nFilter_0=*.a\r\n", {}},
        // Read under "Filtercount", the name the load has always used.
        {"[main]\r\nfiltercount=1\r\nFILTER_0=*.a\r\n", {"*.a"}},
    };
    for (const Case& c : cases) {
        const IniFile file = Read(c.text);
        EXPECT_EQ(StoredOptions(file).HistoryItems(OptionId::MainFilterItems), c.items) << c.text;
    }
}

TEST_F(StoredOptionsTest, AHugeCountIsCappedInsteadOfReadForHours) {
    const IniFile file = Read("[Emu]\r\nExtCount=2147483647\r\nExt_0=dat\r\n");
    const auto items = StoredOptions(file).HistoryItems(OptionId::EmuExtItems);
    ASSERT_EQ(items.size(), static_cast<std::size_t>(kMaxHistoryItems));
    EXPECT_EQ(items.front(), "dat");
}

TEST_F(StoredOptionsTest, TypesAreCheckedOnBothSides) {
    const IniFile file = Read("");
    const StoredOptions stored(file);
    EXPECT_THROW((void)stored.Boolean(OptionId::MainLeft), std::logic_error);
    EXPECT_THROW((void)stored.Integer(OptionId::EmuStartFromIndex), std::logic_error);
    IniFile target(m_dir.Path() + "other.ini");
    EXPECT_THROW(WriteOption(target, OptionId::MainLeft, true), std::logic_error);
    EXPECT_THROW(WriteOption(target, OptionId::InsertIndex, 3L), std::logic_error);
    EXPECT_NO_THROW(WriteOption(target, OptionId::InsertIndex, 3.0));
    EXPECT_EQ(target.ReadString("Insert", "index", ""), "3");
}

TEST_F(StoredOptionsTest, ItemsAreWrittenUnderTheirPrefix) {
    IniFile file(m_dir.Path() + "Options.ini");
    WriteOption(file, OptionId::CaseExtCount, 2L);
    WriteOption(file, OptionId::CaseExtItems, std::vector<std::string>{"gif", " x "});
    WriteOption(file, OptionId::MainFavoriteText, std::string("/srv/"));
    ASSERT_TRUE(file.Save());
    std::ifstream in(file.Path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[Case]\r\nCaseEXTCount=2\r\nExt_0=gif\r\nExt_1= x \r\n"
                    "[Main]\r\nFavorite=/srv/\r\n");
}

} // namespace
} // namespace quorvane
