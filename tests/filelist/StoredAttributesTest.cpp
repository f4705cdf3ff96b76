#include "filelist/StoredAttributes.h"
#include "filelist/RowOrder.h"
#include "platform/Attributes.h"
#include "platform/DirectorySearch.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <sys/xattr.h>

namespace quorvane {
namespace {

TEST(StoredAttributes, MergedBitsOrderTheAttributeColumn) {
    test::TempDir dir;
    dir.Write("plain.txt", "a");
    dir.Write("system.txt", "b");
    const std::string sambaReadOnly = dir.Write("samba-ro.txt", "c");
    const int status = WriteAttributes(dir.Path() + "system.txt", kAttrSystem | kAttrArchive);
    if (status == EOPNOTSUPP || status == ENOTSUP)
        GTEST_SKIP() << "no user extended attributes on " << dir.Path();
    ASSERT_EQ(status, 0);
    // Read-only set through a Samba share: the stored bit alone, the mode writable.
    ASSERT_EQ(::setxattr(sambaReadOnly.c_str(), "user.DOSATTRIB", "0x1", 3, 0), 0);

    auto folder = std::make_shared<const std::string>(dir.Path());
    FileRows rows(3);
    rows[0].originalName = "samba-ro.txt";
    rows[1].originalName = "system.txt";
    rows[2].originalName = "plain.txt";
    for (FileRow& row : rows)
        row.folder = folder;

    MergeStoredAttributes(rows, 1); // rows before `first` are left as they are
    EXPECT_EQ(rows[0].attributes, 0u);
    MergeStoredAttributes(rows);
    EXPECT_EQ(rows[0].attributes, kAttrReadOnly);
    EXPECT_EQ(rows[1].attributes & (kAttrSystem | kAttrArchive), kAttrSystem | kAttrArchive);
    EXPECT_EQ(rows[2].attributes & (kAttrSystem | kAttrArchive), 0u);

    SortRows(rows, kColumnAttribute, true);
    // "--------" before "--A--S" before "R------"
    EXPECT_EQ(rows[0].originalName, "plain.txt");
    EXPECT_EQ(rows[1].originalName, "system.txt");
    EXPECT_EQ(rows[2].originalName, "samba-ro.txt");
}

} // namespace
} // namespace quorvane
