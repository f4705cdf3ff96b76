#include "platform/IniFile.h"

#include "support/TempDir.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace quorvane {
namespace {

using test::TempDir;

std::string Content(const std::string& path) {
    return test::ReadFile(path);
}

IniFile Loaded(const TempDir& dir, const std::string& content) {
    IniFile ini(dir.Write("Options.ini", content));
    EXPECT_TRUE(ini.Load());
    return ini;
}

TEST(IniFileTest, NamesMatchWithoutCaseOrOuterBlanks) {
    const TempDir dir;
    for (const char* lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd[0] == '\r' ? "CRLF" : "LF");
        const std::string le = lineEnd;
        const IniFile ini =
            Loaded(dir, "[MP3Panel]" + le + "TagCount=3" + le + "Favorite =/home" + le +
                            "  Case  =1" + le + "[ Emu ]" + le + "ApplyTo=2" + le + "Last=tail");
        EXPECT_EQ(ini.ReadInteger("Mp3Panel", "Tagcount", 0), 3);
        EXPECT_EQ(ini.ReadString("mp3panel", "Favorite", ""), "/home");
        EXPECT_EQ(ini.ReadString("MP3PANEL", "Favorite ", ""), "/home");
        EXPECT_TRUE(ini.ReadBool("MP3Panel", "case", false));
        EXPECT_EQ(ini.ReadInteger("Emu", "ApplyTo    ", 0), 2);
        EXPECT_EQ(ini.ReadString("Emu", "Last ", ""), "tail"); // last line without line end
        EXPECT_EQ(ini.ReadString("Emu", "Missing", "dflt"), "dflt");
        EXPECT_EQ(ini.ReadString("Nowhere", "Last", "dflt"), "dflt");
    }
}

TEST(IniFileTest, ValueReadingTable) {
    const TempDir dir;
    const IniFile ini = Loaded(dir, "[V]\n"
                                    "int=42\nneg=-7\nhex=0x1F\nlead=12px\nword=abc\nempty=\n"
                                    "blank=  5  \nhuge=99999999999999999999\n"
                                    "real=2.5\nwhole=3\nbad=x1\ncomma=1,5\n"
                                    "text=  kept as is  \nequals=a=b\n");
    const struct {
        const char* key;
        long integer;  // default -1
        bool boolean;  // default true
        double number; // default -1.0
    } cases[] = {
        {"int", 42, true, 42},     {"neg", -7, true, -7},    {"hex", 31, true, 0},
        {"lead", 12, true, 12},    {"word", -1, true, -1},   {"empty", -1, true, -1},
        {"blank", 5, true, 5},     {"huge", -1, true, 1e20}, {"real", 2, true, 2.5},
        {"whole", 3, true, 3},     {"bad", -1, true, -1},    {"comma", 1, true, 1},
        {"missing", -1, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini.ReadInteger("V", c.key, -1), c.integer);
        EXPECT_EQ(ini.ReadBool("V", c.key, true), c.boolean);
        EXPECT_DOUBLE_EQ(ini.ReadFloat("V", c.key, -1.0), c.number);
    }
    EXPECT_FALSE(ini.ReadBool("V", "missing", false));
    EXPECT_FALSE(Loaded(dir, "[V]\nzero=0\n").ReadBool("V", "zero", true));
    EXPECT_EQ(ini.ReadString("V", "text", ""), "  kept as is  ");
    EXPECT_EQ(ini.ReadString("V", "equals", ""), "a=b");
}

TEST(IniFileTest, WritesReplaceInPlaceAppendToSectionAndAddSectionsAtTheEnd) {
    const TempDir dir;
    IniFile ini = Loaded(dir, "; settings\n[Main]\nLeft=1\nTop=2\n\n[Case]\nRB1=1\n");
    ini.WriteInteger("MAIN", "left ", 100);
    ini.WriteString("Main", "Filter ", "*.mp3");
    ini.WriteBool("case", "RB2", false);
    ini.WriteFloat("Insert", "index", 3.0);
    ini.WriteFloat("Insert", "ratio", 0.25);
    ini.WriteString("Insert", "InsertStr", "two\r\nlines");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Content(ini.Path()), "; settings\r\n"
                                   "[Main]\r\nLeft=100\r\nTop=2\r\nFilter=*.mp3\r\n\r\n"
                                   "[Case]\r\nRB1=1\r\nRB2=0\r\n"
                                   "[Insert]\r\nindex=3\r\nratio=0.25\r\nInsertStr=two  lines\r\n");
    IniFile again(ini.Path());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.ReadInteger("Main", "Left", 0), 100);
    EXPECT_DOUBLE_EQ(again.ReadFloat("Insert", "ratio", 0), 0.25);
}

TEST(IniFileTest, NumbersIgnoreTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma";
    const TempDir dir;
    IniFile ini(dir.Path() + "Options.ini");
    ini.WriteFloat("S", "v", 1.5);
    EXPECT_EQ(ini.ReadString("S", "v", ""), "1.5");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "v", 0), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(IniFileTest, ByteOrderMarkAndLinesBeforeTheFirstSection) {
    const TempDir dir;
    // One mark or several, as some editors pile them up; read the same after a save.
    for (const char* marks : {"\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF"}) {
        IniFile marked = Loaded(dir, std::string(marks) + "[Main]\nLeft=5\n");
        EXPECT_EQ(marked.ReadInteger("Main", "Left", 0), 5);
        ASSERT_TRUE(marked.Save());
        EXPECT_EQ(Loaded(dir, Content(marked.Path())).ReadInteger("Main", "Left", 0), 5);
    }
    // Keys outside any section are kept but belong to no section.
    IniFile ini = Loaded(dir, "Left=7\n[Main]\nTop=1\n");
    EXPECT_EQ(ini.ReadInteger("", "Left", 0), 0);
    ini.WriteInteger("Main", "Left", 8);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Content(ini.Path()), "Left=7\r\n[Main]\r\nTop=1\r\nLeft=8\r\n");
}

TEST(IniFileTest, MissingFileReadsEmptyAndFolderFails) {
    const TempDir dir;
    IniFile missing(dir.Path() + "none.ini");
    EXPECT_TRUE(missing.Load());
    EXPECT_EQ(missing.ReadInteger("Main", "Left", 100), 100);
    IniFile folder(dir.Path());
    EXPECT_FALSE(folder.Load());
}

TEST(IniFileTest, FailedSaveLeavesTheOldFileWhole) {
    const TempDir dir;
    const std::string old = "[Main]\r\nLeft=1\r\n";
    IniFile ini = Loaded(dir, old);
    ini.WriteInteger("Main", "Left", 2);
    ASSERT_TRUE(test::LockFolder(dir.Path()));
    EXPECT_FALSE(ini.Save());
    test::UnlockFolder(dir.Path());
    EXPECT_EQ(Content(ini.Path()), old);
    // No temporary file was left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    // Into a folder that does not exist.
    IniFile nowhere(dir.Path() + "missing/Options.ini");
    nowhere.WriteInteger("Main", "Left", 1);
    EXPECT_FALSE(nowhere.Save());
}

} // namespace
} // namespace quorvane
