// The table of sections and keys of "Options.ini" and its typed reads and
// writes, without a window.
#include "settings/OptionsTable.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <map>
#include <set>

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

// One line a section: each key as "name:type=default", the name the load
// reads in parentheses where it differs, "-" for a key the load does not read
// by itself, a list's items as "prefix*count".
std::map<std::string, std::string> Layout() {
    const char* const types = "ibtn";
    std::map<std::string, std::string> sections;
    for (const OptionKey& key : OptionKeys()) {
        std::string& line = sections[Folded(key.section)];
        line += line.empty() ? "" : " ";
        if (key.type == OptionType::HistoryItems) {
            line += key.key + std::string("*") + OptionKeyOf(key.countKey).key;
            continue;
        }
        line += key.key;
        if (key.readAs && std::string(key.readAs) != key.key)
            line += std::string("(") + key.readAs + ")";
        line += std::string(":") + types[static_cast<int>(key.type)];
        line += key.readAs ? std::string("=") + key.defaultValue : std::string("-");
    }
    return sections;
}

TEST(OptionsTable, HoldsEveryKeyOfTheFileUnderItsNames) {
    // A key missing here, misspelt, read under another name or with another
    // default fails: this is the file other versions of the program read.
    const std::map<std::string, std::string> expected{
        {"renamepanel", "Left:i=192 Top:i=176 visible:b=1 Down:b=1 ActiveIndex:i=0"},
        {"mp3panel", "Left:i=144 Top:i=152 visible:b=0 Down:b=0 Space:b=0 Case(case):b=0 "
                     "AddPre:b=0 cbFormat:i=0 cbSpace:i=0 cbCase:i=0 cbEmulation:i=1 "
                     "TagCount(Tagcount):i=0 LastFormat:t=%1 %3 %2 Format_*TagCount ReadId3v2:b=1"},
        {"case", "MFRB1:b=1 MFRB2:b=0 MFRB3:b=0 MFRB4:b=0 RB1:b=1 RB2:b=0 RB3:b=0 RB4:b=0 "
                 "CaseEXT:b=0 CaseEXTText:t= CaseEXTCount:i=0 Ext_*CaseEXTCount"},
        {"insert", "InsertStr:t= index:n=1 IsFromEnd:b=0"},
        {"delete", "IsFromEnd:b=0 index:n=1 Count:n=0"},
        {"replace", "sourceStr:t= targetStr:t= Replace:b=1 Remove:b=0 AllSub:b=0 RegExp:b=0"},
        {"attr", "ChangeAttr:b=0 ChkSetTimeStamp:b=0 ReadOnly:b=0 Hidden:b=0 Archive:b=0 "
                 "sysfile:b=0 Select:b=0 NO:b=0 TimeNow:b=0"},
        {"emu", "Template:t= Last :t= StartFromStr(StartFromStr ):t=001 Ext:t= ExtCount:i=0 "
                "StartFromIndex:i- StartFromCount:i=0 ApplyTo(ApplyTo    ):i=0 Alpha:i=0 "
                "step:n=1 Start_*StartFromCount Ext_*ExtCount"},
        {"date", "Source:i=0 Format:t=%Y-%m-%d Before:b=1 After:b=0 Instead:b=0 "
                 "Separator:t=  UseModified:b=1"},
        {"main", "Left:i=100 Top:i=36 Width:i=660 Height:i=500 Favorite (Favorite):t= "
                 "Filter :t=*.* DirCount:i=0 FilterCount(Filtercount):i=0 IncludeSub:b=0 "
                 "IncludeFolders:b=0 Favorite_*DirCount Filter_*FilterCount TBVisible:b=1 "
                 "FilterVisible:b=1 "
                 "FavoriteVisible:b=1 TbIncludeSub:b=1 StatusBarVisible:b=1 LivePreview:b=0"},
        {"editnames", "Width:i=420 Height:i=360"},
    };
    const std::map<std::string, std::string> layout = Layout();
    EXPECT_EQ(layout.size(), expected.size());
    for (const auto& [section, keys] : expected) {
        const auto found = layout.find(section);
        ASSERT_NE(found, layout.end()) << section;
        EXPECT_EQ(found->second, keys) << section;
    }
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
    const std::vector<std::string> expected{"renamepanel", "mp3panel", "case",     "insert",
                                            "delete",      "replace",  "attr",     "emu",
                                            "date",        "main",     "mp3panel", "editnames"};
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

// A use against the table is a fault of the program: a debug build stops at
// it; otherwise it is reported on stderr and reads or writes nothing.
void ExpectMisuseReported(const std::function<void()>& use, const std::string& key) {
#ifdef NDEBUG
    testing::internal::CaptureStderr();
    use();
    EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::HasSubstr(key));
#else
    EXPECT_DEATH(use(), "");
    (void)key;
#endif
}

TEST_F(StoredOptionsTest, TypesAreCheckedOnBothSides) {
    const IniFile file = Read("[Main]\r\nLeft=130\r\n[Emu]\r\nStartFromIndex=3\r\n");
    const StoredOptions stored(file);
    IniFile target(m_dir.Path() + "other.ini");
    struct Case {
        const char* key;
        std::function<void()> use;
    };
    const Case cases[] = {
        {"Left", [&] { EXPECT_FALSE(stored.Boolean(OptionId::MainLeft)); }},
        {"Left", [&] { EXPECT_EQ(stored.Text(OptionId::MainLeft, "x"), "x"); }},
        {"StartFromIndex", [&] { EXPECT_EQ(stored.Integer(OptionId::EmuStartFromIndex), 0); }},
        {"ExtCount", [&] { EXPECT_TRUE(stored.HistoryItems(OptionId::EmuExtCount).empty()); }},
        {"Left", [&] { WriteOption(target, OptionId::MainLeft, true); }},
        {"index", [&] { WriteOption(target, OptionId::InsertIndex, 3L); }},
    };
    for (const Case& c : cases)
        ExpectMisuseReported(c.use, c.key);
    EXPECT_EQ(target.ReadString("Main", "Left", "unwritten"), "unwritten");
    EXPECT_EQ(target.ReadString("Insert", "index", "unwritten"), "unwritten");
    WriteOption(target, OptionId::InsertIndex, 3.0);
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
