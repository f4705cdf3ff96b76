#include "filelist/RowOrder.h"
#include "support/Rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {
namespace {

FileRow Row(std::string name, std::uint64_t sizeBytes = 0, std::int64_t modified = 0) {
    FileRow row;
    row.originalName = std::move(name);
    row.sizeBytes = sizeBytes;
    row.modifiedUtc = modified;
    return row;
}

std::vector<std::string> Names(const FileRows& rows) {
    return test::FieldOfEach(rows, &FileRow::originalName);
}

TEST(CompareListText, FoldsOnlyBasicLatinLetters) {
    struct Case {
        std::string a, b;
        int expected;
    };
    const std::vector<Case> cases = {
        {"A.txt", "a.TXT", 0},
        {"abc", "ABD", -1},
        {"b.txt", "A.txt", 1},
        {"ab", "abc", -1}, // a beginning goes first
        {"", "", 0},
        {"", "a", -1},
        {"_", "a", 1}, // "_" lies between "Z" and "a": letters fold upwards
        {"Z", "_", -1},
        {"\xC3\xA9", "\xC3\x89", 1}, // e-acute vs E-acute: not letters here, bytes compare
        {"\xC3\xA9", "z", 1},        // bytes compare unsigned
    };
    for (const Case& c : cases) {
        const int result = CompareListText(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.expected) << c.a << " vs " << c.b;
        const int reverse = CompareListText(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.expected) << c.b << " vs " << c.a;
    }
}

TEST(ListViewCompare, EachColumnComparesItsCell) {
    auto folder1 = std::make_shared<const std::string>("/a/");
    auto folder2 = std::make_shared<const std::string>("/B/");
    FileRow small = Row("x.TXT", 2 * 1024, 200);
    small.newName = "zeta";
    small.attributes = 0x01; // "R------" after "--A----": "-" is below "R"
    small.folder = folder2;
    FileRow large = Row("y.doc", 10 * 1024, 100);
    large.newName = "Alpha";
    large.attributes = 0x20;
    large.folder = folder1;

    struct Case {
        int column;
        int expected; // sign of compare(small, large)
    };
    const std::vector<Case> cases = {
        {kColumnOriginalName, -1}, {kColumnNewName, 1},  {kColumnType, 1}, {kColumnAttribute, 1},
        {kColumnSize, -1},         {kColumnModified, 1}, {kColumnPath, 1}, {-1, 0},
        {kColumnCount, 0},
    };
    for (const Case& c : cases) {
        const int result = ListViewCompare(small, large, c.column);
        EXPECT_EQ((result > 0) - (result < 0), c.expected) << "column " << c.column;
    }
}

TEST(ListViewCompare, SizeComparesShownKilobytes) {
    // 0 and 1023 bytes both show as 1; 1024 shows as 2.
    EXPECT_EQ(ListViewCompare(Row("a", 0), Row("b", 1023), kColumnSize), 0);
    EXPECT_LT(ListViewCompare(Row("a", 1023), Row("b", 1024), kColumnSize), 0);
    // Sizes beyond 2 GiB and near the top of the range do not wrap.
    EXPECT_LT(ListViewCompare(Row("a", 1), Row("b", 5ull << 31), kColumnSize), 0);
    EXPECT_GT(ListViewCompare(Row("a", ~0ull), Row("b", 0), kColumnSize), 0);
}

TEST(SortRows, OrdersByEachColumn) {
    struct Case {
        const char* what;
        FileRows rows;
        int column;
        bool ascending;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"size numeric, 2 before 10",
         {Row("ten", 10 * 1024 - 1), Row("two", 2 * 1024 - 1), Row("one", 0)},
         kColumnSize,
         true,
         {"one", "two", "ten"}},
        {"size descending",
         {Row("two", 2 * 1024 - 1), Row("ten", 10 * 1024 - 1), Row("one", 0)},
         kColumnSize,
         false,
         {"ten", "two", "one"}},
        {"names ignore case, equal names keep their order",
         {Row("b.txt"), Row("A.txt"), Row("a.TXT")},
         kColumnOriginalName,
         true,
         {"A.txt", "a.TXT", "b.txt"}},
        {"names descending keep equal names in order too",
         {Row("A.txt"), Row("b.txt"), Row("a.TXT")},
         kColumnOriginalName,
         false,
         {"b.txt", "A.txt", "a.TXT"}},
        {"type is the extension, none first",
         {Row("a.txt"), Row("b"), Row("c.MP3"), Row("d.doc")},
         kColumnType,
         true,
         {"b", "d.doc", "c.MP3", "a.txt"}},
        {"modified by time",
         {Row("late", 0, 300), Row("early", 0, -5), Row("mid", 0, 100)},
         kColumnModified,
         true,
         {"early", "mid", "late"}},
        {"names alike in their first eight bytes",
         {Row("Track 01b"), Row("track 01"), Row("TRACK 01A"), Row("Track 0"), Row("Track 01_")},
         kColumnOriginalName,
         true,
         {"Track 0", "track 01", "TRACK 01A", "Track 01b", "Track 01_"}},
        {"unknown column keeps the order", {Row("b"), Row("a")}, 42, true, {"b", "a"}},
    };
    for (const Case& c : cases) {
        FileRows rows = c.rows;
        if (Names(rows) != c.expected) {
            EXPECT_FALSE(IsSorted(rows, c.column, c.ascending)) << c.what;
        }
        SortRows(rows, c.column, c.ascending);
        EXPECT_EQ(Names(rows), c.expected) << c.what;
        EXPECT_TRUE(IsSorted(rows, c.column, c.ascending)) << c.what;
    }
}

TEST(SortRows, KeepsEveryFieldOfTheRow) {
    auto folder = std::make_shared<const std::string>("/data/");
    FileRows rows = {Row("b", 5000, 7), Row("a", 10, 3)};
    rows[0].folder = folder;
    rows[0].selected = true;
    rows[0].newName = "new-b";
    rows[0].attributes = 0x21;
    SortRows(rows, kColumnOriginalName, true);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].originalName, "b");
    EXPECT_EQ(rows[1].FullPath(), "/data/b");
    EXPECT_TRUE(rows[1].selected);
    EXPECT_FALSE(rows[0].selected);
    EXPECT_EQ(rows[1].newName, "new-b");
    EXPECT_EQ(rows[1].sizeBytes, 5000u);
    EXPECT_EQ(rows[1].modifiedUtc, 7);
    EXPECT_EQ(rows[1].attributes, 0x21u);
}

TEST(SortState, HeaderClicksAndArrangeEntries) {
    struct Step {
        enum Kind { Click, Arrange } kind;
        int column;
        SortState expected;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"first click on Original Name sorts Z to A, then A to Z",
         {{Step::Click, kColumnOriginalName, {kColumnOriginalName, false}},
          {Step::Click, kColumnOriginalName, {kColumnOriginalName, true}}}},
        {"first click on another header sorts ascending, again descending",
         {{Step::Click, kColumnSize, {kColumnSize, true}},
          {Step::Click, kColumnSize, {kColumnSize, false}},
          {Step::Click, kColumnType, {kColumnType, true}}}},
        {"By Name after start sorts Z to A, again A to Z, By Type then descending",
         {{Step::Arrange, kColumnOriginalName, {kColumnOriginalName, false}},
          {Step::Arrange, kColumnOriginalName, {kColumnOriginalName, true}},
          {Step::Arrange, kColumnType, {kColumnType, false}}}},
        {"an arrange entry reverses even after another column ascended",
         {{Step::Click, kColumnSize, {kColumnSize, true}},
          {Step::Arrange, kColumnModified, {kColumnModified, false}},
          {Step::Click, kColumnModified, {kColumnModified, true}}}},
    };
    for (const Case& c : cases) {
        SortState state;
        EXPECT_EQ(state, (SortState{kColumnOriginalName, true}));
        for (const Step& step : c.steps) {
            state = step.kind == Step::Click ? AfterColumnClick(state, step.column)
                                             : AfterArrange(state, step.column);
            EXPECT_EQ(state.column, step.expected.column) << c.what;
            EXPECT_EQ(state.ascending, step.expected.ascending) << c.what;
        }
    }
}

TEST(SortAppendedRows, GivesTheOrderOfAFullSort) {
    // Rows with many equal keys, so that the order of equal rows shows.
    FileRows all;
    for (int i = 0; i < 200; ++i) {
        FileRow row = Row(std::string(1, static_cast<char>(i % 2 ? 'a' + i % 5 : 'A' + i % 5)) +
                              std::to_string(i % 3) + ".t" + std::to_string(i),
                          static_cast<std::uint64_t>(i % 7) * 1024, i % 4);
        row.attributes = static_cast<std::uint32_t>(i % 3);
        all.push_back(row);
    }
    for (int column = 0; column < kColumnCount; ++column) {
        for (const bool ascending : {true, false}) {
            for (const std::size_t prefix : {0u, 1u, 77u, 199u, 200u}) {
                FileRows expected = all;
                SortRows(expected, column, ascending);

                FileRows rows(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(prefix));
                SortRows(rows, column, ascending);
                rows.insert(rows.end(), all.begin() + static_cast<std::ptrdiff_t>(prefix),
                            all.end());
                SortAppendedRows(rows, prefix, column, ascending);
                EXPECT_EQ(Names(rows), Names(expected))
                    << "column " << column << " ascending " << ascending << " prefix " << prefix;
            }
        }
    }
}

// Not a timing assertion: a large list must sort correctly and keep every
// row exactly once. The speed is measured in bench/.
TEST(SortRows, LargeListKeepsEveryRowOnce) {
    FileRows rows;
    const int count = 30000;
    for (int i = 0; i < count; ++i)
        rows.push_back(Row("file" + std::to_string((i * 7919) % count) + ".txt",
                           static_cast<std::uint64_t>((i * 31) % 5000) * 1024));
    for (int column : {kColumnOriginalName, kColumnSize, kColumnType}) {
        SortRows(rows, column, false);
        EXPECT_TRUE(IsSorted(rows, column, false)) << column;
    }
    std::vector<bool> seen(count, false);
    for (const FileRow& row : rows) {
        const int number = std::stoi(row.originalName.substr(4));
        EXPECT_FALSE(seen[number]);
        seen[number] = true;
    }
}

// Names that share starts of every length around the eight-byte steps of the
// name sort, with letters in both cases and texts that are equal but for
// case: the order must be the comparison's, equal names keeping their order.
TEST(SortRows, NameOrderMatchesTheComparisonOnSharedStarts) {
    FileRows rows;
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    const std::string stems[] = {"", "IMG_", "IMG_2023", "img_2023-01-0", "A Long Shared Stem "};
    for (std::uint64_t i = 0; i < 4000; ++i) {
        std::string name = stems[next() % 5];
        for (std::uint32_t tail = next() % 12; tail > 0; --tail)
            name += "aAbB._~1"[next() % 8];
        rows.push_back(Row(name, i)); // the size tells the list order apart
    }
    for (const bool ascending : {true, false}) {
        FileRows expected = rows;
        std::stable_sort(expected.begin(), expected.end(),
                         [ascending](const FileRow& a, const FileRow& b) {
                             return ascending ? ListViewCompare(a, b, kColumnOriginalName) < 0
                                              : ListViewCompare(b, a, kColumnOriginalName) < 0;
                         });
        FileRows sorted = rows;
        SortRows(sorted, kColumnOriginalName, ascending);
        EXPECT_EQ(test::FieldOfEach(sorted, &FileRow::sizeBytes),
                  test::FieldOfEach(expected, &FileRow::sizeBytes))
            << (ascending ? "ascending" : "descending");
    }
}

} // namespace
} // namespace quorvane
