#include "rules/Preview.h"
#include "support/Rows.h"

#include <functional>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::RowsNamed;

std::vector<std::string> NewNames(const FileRows& rows) {
    return test::FieldOfEach(rows, &FileRow::newName);
}

PreviewSettings UpperCasePage() {
    PreviewSettings settings;
    settings.activePage = RulePage::Case;
    settings.caseAndExtension.nameCase = NameCase::Upper;
    return settings;
}

TEST(Preview, OnlySelectedRowsReceiveNames) {
    FileRows rows = RowsNamed({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"});
    for (FileRow& row : rows)
        row.newName = "stale";
    rows[1].selected = true;
    rows[3].selected = true;
    const PreviewResult result = PreviewFileRows(rows, UpperCasePage());
    EXPECT_EQ(NewNames(rows), (std::vector<std::string>{"", "B.txt", "", "D.txt", ""}));
    EXPECT_EQ(result.selectedCount, 2u);
    EXPECT_FALSE(result.listEmpty);
    EXPECT_FALSE(rows[0].selected);
}

TEST(Preview, NoSelectionSelectsEveryRow) {
    FileRows rows = RowsNamed({"a.txt", "b.txt", "c.txt"});
    const PreviewResult result = PreviewFileRows(rows, UpperCasePage());
    EXPECT_EQ(NewNames(rows), (std::vector<std::string>{"A.txt", "B.txt", "C.txt"}));
    EXPECT_EQ(result.selectedCount, 3u);
    for (const FileRow& row : rows)
        EXPECT_TRUE(row.selected);
}

TEST(Preview, RulesAreNotChained) {
    FileRows rows = RowsNamed({"song.mp3", "tune.mp3"});
    PreviewFileRows(rows, UpperCasePage());
    PreviewSettings insert;
    insert.activePage = RulePage::Insert;
    insert.insert.text = "x";
    PreviewFileRows(rows, insert);
    EXPECT_EQ(NewNames(rows), (std::vector<std::string>{"xsong.mp3", "xtune.mp3"}));
    EXPECT_EQ(rows[0].originalName, "song.mp3");
}

TEST(Preview, AFoldersWholeNameIsItsBaseNameForEveryRule) {
    struct Case {
        const char* what;
        std::function<void(PreviewSettings&)> set;
        std::vector<std::string> expected; // the folder "Album.V2", the file "Song.V2"
    };
    const std::vector<Case> cases = {
        {"case and extension case",
         [](PreviewSettings& s) {
             s.caseAndExtension.nameCase = NameCase::Upper;
             s.caseAndExtension.extensionCase = ExtensionCase::Lower;
         },
         {"ALBUM.V2", "SONG.v2"}},
        {"new extension",
         [](PreviewSettings& s) {
             s.caseAndExtension.extensionCase = ExtensionCase::NewExtension;
             s.caseAndExtension.newExtension = "txt";
         },
         {"Album.V2.txt", "Song.txt"}},
        {"no extension",
         [](PreviewSettings& s) { s.caseAndExtension.extensionCase = ExtensionCase::None; },
         {"Album.V2", "Song"}},
        {"insert from the end",
         [](PreviewSettings& s) {
             s.activePage = RulePage::Insert;
             s.insert = {"x", "1", true};
         },
         {"Album.V2x", "Songx.V2"}},
        {"delete from the end",
         [](PreviewSettings& s) {
             s.activePage = RulePage::Delete;
             s.deletion = {"1", "1", true};
         },
         {"Album.V", "Son.V2"}},
        {"replace in the base name",
         [](PreviewSettings& s) {
             s.activePage = RulePage::Replace;
             s.replace.search = "V";
             s.replace.replacement = "W";
             s.replace.entireName = false;
         },
         {"Album.W2", "Song.V2"}},
        {"replace in the entire name",
         [](PreviewSettings& s) {
             s.activePage = RulePage::Replace;
             s.replace.search = "V";
             s.replace.replacement = "W";
         },
         {"Album.W2", "Song.W2"}},
        {"pattern in the base name",
         [](PreviewSettings& s) {
             s.activePage = RulePage::Replace;
             s.replace.search = "\\.V";
             s.replace.replacement = "-";
             s.replace.regularExpression = true;
             s.replace.entireName = false;
         },
         {"Album-2", "Song.V2"}},
        {"date instead of the name",
         [](PreviewSettings& s) {
             s.activePage = RulePage::DateTime;
             s.dateTime.source = DateSource::Modified;
             s.dateTime.format = "%Y";
             s.dateTime.position = DatePosition::InsteadOfName;
         },
         {"2020", "2020.V2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileRows rows = RowsNamed({"Album.V2", "Song.V2"});
        rows[0].isFolder = true;
        for (FileRow& row : rows)
            row.modifiedUtc = 1'593'561'600; // mid-2020 in every time zone
        PreviewSettings settings;
        c.set(settings);
        PreviewFileRows(rows, settings);
        EXPECT_EQ(NewNames(rows), c.expected);
    }
}

TEST(Preview, EmptyListIsReported) {
    FileRows rows;
    const PreviewResult result = PreviewFileRows(rows, UpperCasePage());
    EXPECT_TRUE(result.listEmpty);
    EXPECT_EQ(result.selectedCount, 0u);
}

TEST(Preview, EnumerationNumbersTheSelectedRowsInListOrder) {
    FileRows rows = RowsNamed({"z.gif", "y.png", "x", "w.doc"});
    rows[0].selected = rows[2].selected = rows[3].selected = true;
    PreviewSettings settings;
    settings.activePage = RulePage::Enumeration;
    settings.enumeration.prefix = "img_";
    settings.enumeration.startFrom = "001";
    settings.enumeration.fixedPart = "jpg";
    for (int run = 0; run < 2; ++run) { // every preview starts at the start text again
        PreviewFileRows(rows, settings);
        EXPECT_EQ(NewNames(rows),
                  (std::vector<std::string>{"img_001.jpg", "", "img_002.jpg", "img_003.jpg"}));
    }
}

TEST(Preview, EnumerationWithoutSerialKindGivesTheBarePrefix) {
    FileRows rows = RowsNamed({"a.txt", "b.txt"});
    PreviewSettings settings;
    settings.activePage = RulePage::Enumeration;
    settings.enumeration.serialKind = -1;
    settings.enumeration.prefix = "pre";
    const PreviewResult result = PreviewFileRows(rows, settings);
    EXPECT_TRUE(result.outcome.enumeration.serialKindResetToNumeric);
    EXPECT_EQ(NewNames(rows), (std::vector<std::string>{"pre", "pre"}));
}

TEST(Preview, AttributesPageKeepsTheNamesAndRefillsArePassedOn) {
    FileRows rows = RowsNamed({"a.txt"});
    PreviewSettings settings;
    settings.activePage = RulePage::Attributes;
    PreviewFileRows(rows, settings);
    EXPECT_EQ(rows[0].newName, "a.txt");

    settings.activePage = RulePage::Delete;
    settings.deletion = {"", "", false};
    const PreviewResult result = PreviewFileRows(rows, settings);
    EXPECT_EQ(result.outcome.deletion.refilledCount, 0);
    EXPECT_FALSE(result.outcome.insert.refilledPosition);
    EXPECT_EQ(rows[0].newName, "a.txt");
}

TEST(Preview, EmptyResultLeavesNewNameEmpty) {
    FileRows rows = RowsNamed({"abc", "abcd"});
    PreviewSettings settings;
    settings.activePage = RulePage::Delete;
    settings.deletion = {"1", "3", false};
    PreviewFileRows(rows, settings);
    EXPECT_EQ(NewNames(rows), (std::vector<std::string>{"", "d"}));
}

} // namespace
} // namespace quorvane
