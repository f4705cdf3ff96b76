#include "rules/FileRow.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(NameSplit, SplitsAtTheLastDot) {
    struct Case {
        const char* name;
        const char* base;
        const char* extension;
    };
    const Case cases[] = {
        {"report.final.txt", "report.final", ".txt"},
        {"README", "README", ""},
        {"notes.", "notes", "."},
        {".profile", "", ".profile"},
    };
    for (const Case& c : cases) {
        const NameParts parts = SplitName(c.name);
        EXPECT_EQ(parts.base, c.base) << c.name;
        EXPECT_EQ(parts.extension, c.extension) << c.name;
    }
}

TEST(ColumnTexts, AttributeAndSize) {
    EXPECT_EQ(AttributeText(0x20), "--A----");
    EXPECT_EQ(AttributeText(0x21), "RA----");
    EXPECT_EQ(AttributeText(0), "--------");
    EXPECT_EQ(SizeText(0), "1");
    EXPECT_EQ(SizeText(1023), "1");
    EXPECT_EQ(SizeText(1024), "2");
    EXPECT_EQ(SizeText(5ull << 31), std::to_string((5ull << 31) / 1024 + 1));
}

TEST(FolderPath, CopiesShareOneTextThatLivesAsLongAsTheLastOfThem) {
    FolderPath first(std::string("/music/"));
    FolderPath copy = first;
    EXPECT_TRUE(copy == first);
    EXPECT_EQ(&*copy, &*first);
    FolderPath moved = std::move(copy);
    EXPECT_FALSE(copy);
    EXPECT_EQ(*moved, "/music/");
    {
        const FolderPath other(std::string("/other/"));
        first = other;
        first = first;
    }
    EXPECT_EQ(*first, "/other/");
    EXPECT_EQ(*moved, "/music/");
    auto shared = std::make_shared<const std::string>("/shared/");
    FileRow row;
    EXPECT_EQ(row.Path(), "");
    row.folder = shared;
    shared.reset();
    EXPECT_EQ(row.Path(), "/shared/");
    EXPECT_FALSE(row.folder == FolderPath(std::string("/shared/"))) << "equal means shared";
    row.folder = std::shared_ptr<const std::string>();
    EXPECT_FALSE(row.folder);
}

} // namespace
} // namespace quorvane
