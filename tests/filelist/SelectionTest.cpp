#include "filelist/Selection.h"
#include "support/Rows.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

FileRows ThreeRows() {
    auto folder = std::make_shared<const std::string>("/music/");
    FileRows rows(3);
    const char* names[] = {"a.mp3", "b.mp3", "c.mp3"};
    for (int i = 0; i < 3; ++i) {
        rows[i].originalName = names[i];
        rows[i].folder = folder;
    }
    rows[1].selected = true;
    return rows;
}

std::vector<bool> Flags(const FileRows& rows) {
    return test::FieldOfEach(rows, &FileRow::selected);
}

TEST(Selection, Commands) {
    struct Case {
        const char* what;
        void (*command)(FileRows&);
        std::vector<bool> expected;
        std::size_t count;
    };
    const std::vector<Case> cases = {
        {"all", SelectAll, {true, true, true}, 3},
        {"none", SelectNone, {false, false, false}, 0},
        {"invert", InvertSelection, {true, false, true}, 2},
    };
    for (const Case& c : cases) {
        FileRows rows = ThreeRows();
        c.command(rows);
        EXPECT_EQ(Flags(rows), c.expected) << c.what;
        EXPECT_EQ(SelectedRowCount(rows), c.count) << c.what;
    }
    FileRows empty;
    SelectAll(empty);
    InvertSelection(empty);
    EXPECT_EQ(SelectedRowCount(empty), 0u);
}

TEST(Selection, SelectedPathsInListOrder) {
    FileRows rows = ThreeRows();
    rows[2].selected = true;
    EXPECT_EQ(SelectedPaths(rows), (std::vector<std::string>{"/music/b.mp3", "/music/c.mp3"}));
}

TEST(Selection, StatusTexts) {
    EXPECT_EQ(SelectedFilesText(0), "Selectd files : 0");
    EXPECT_EQ(TotalFilesText(12), "Total files : 12");
}

} // namespace
} // namespace quorvane
