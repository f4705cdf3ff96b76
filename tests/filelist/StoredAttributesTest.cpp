#include "filelist/StoredAttributes.h"
#include "filelist/RowOrder.h"
#include "platform/Attributes.h"
#include "platform/DirectorySearch.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace quorvane {
namespace {

TEST(StoredAttributes, MergedBitsOrderTheAttributeColumn) {
    test::TempDir dir;
    dir.Write("plain.txt", "a");
    dir.Write("system.txt", "b");
    const int status = WriteAttributes(dir.Path() + "system.txt", kAttrSystem | kAttrArchive);
    if (status == EOPNOTSUPP || status == ENOTSUP)
        GTEST_SKIP() << "no user extended attributes on " << dir.Path();
    ASSERT_EQ(status, 0);

    auto folder = std::make_shared<const std::string>(dir.Path());
    FileRows rows(2);
    rows[0].originalName = "system.txt";
    rows[1].originalName = "plain.txt";
    for (FileRow& row : rows)
        row.folder = folder;

    MergeStoredAttributes(rows, 1); // rows before `first` are left as they are
    EXPECT_EQ(rows[0].attributes, 0u);
    MergeStoredAttributes(rows);
    EXPECT_EQ(rows[0].attributes & (kAttrSystem | kAttrArchive), kAttrSystem | kAttrArchive);
    EXPECT_EQ(rows[1].attributes & (kAttrSystem | kAttrArchive), 0u);

    SortRows(rows, kColumnAttribute, true);
    EXPECT_EQ(rows[0].originalName, "plain.txt"); // "--------" before "--A--S"
}

} // namespace
} // namespace quorvane
