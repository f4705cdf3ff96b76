#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"

#include "support/TempDir.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>
#include <sys/xattr.h>

namespace quorvane {
namespace {

FileRow Row(std::string name, std::uint64_t size = 0, std::uint32_t attributes = 0) {
    FileRow row;
    row.originalName = std::move(name);
    row.folder = std::make_shared<const std::string>("/data/");
    row.sizeBytes = size;
    row.attributes = attributes;
    return row;
}

FileRows Rows(int count) {
    FileRows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(Row("f" + std::to_string(i) + ".txt"));
    return rows;
}

TEST(FileListModel, HeadersWidthsAndAlignment) {
    FileListModel model;
    FileListView view;
    view.SetFileModel(&model);
    const char* captions[] = {"Original Name", "New Name", "Type", "Attribute",
                              "Size",          "Modified", "Path"};
    const int widths[] = {120, 120, 50, 80, 80, 120, 50};
    ASSERT_EQ(model.columnCount(), 7);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), captions[column]);
        if (column == FileListModel::ColModified) // grows with a large font only
            EXPECT_GE(view.columnWidth(column), widths[column]);
        else
            EXPECT_EQ(view.columnWidth(column), widths[column]) << column;
    }
    model.AppendRows({Row("a.mp3", 2048)});
    const auto alignment = [&](int column) {
        return model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_TRUE(alignment(FileListModel::ColSize) & Qt::AlignRight);
    EXPECT_TRUE(alignment(FileListModel::ColOriginalName) & Qt::AlignLeft);
}

TEST(FileListModel, CellTextsComeFromTheRawRow) {
    FileListModel model;
    FileRow row = Row("Song.final.MP3", 1024, 0x21);
    row.newName = "new.mp3";
    model.AppendRows({row});
    struct Case {
        int column;
        const char* text;
    } cases[] = {
        {FileListModel::ColOriginalName, "Song.final.MP3"},
        {FileListModel::ColNewName, "new.mp3"},
        {FileListModel::ColType, ".MP3"},
        {FileListModel::ColAttribute, "RA----"},
        {FileListModel::ColSize, "2"},
        {FileListModel::ColPath, "/data/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(model.CellText(0, c.column), c.text) << c.column;
    EXPECT_EQ(model.CellText(0, FileListModel::ColModified).size(), 19);
    EXPECT_EQ(model.CellText(5, 0), QString()); // no such row
}

TEST(FileListModel, AttributeCellShowsTheBitsASambaShareStores) {
    // The scan leaves the stored bits unread (one stat per file); the list
    // reads them for the rows it draws, once, and keeps them until the next
    // scan lists the files anew.
    test::TempDir dir;
    const std::string plain = dir.Write("plain.txt");
    const std::string stored = dir.Write("stored.txt");
    if (::setxattr(stored.c_str(), "user.DOSATTRIB", "0x27", 4, 0) != 0)
        GTEST_SKIP() << "no user extended attributes here";
    FileListModel model;
    for (const char* name : {"plain.txt", "stored.txt", "gone.txt"}) {
        FileRow row = Row(name);
        row.folder = std::make_shared<const std::string>(dir.Path());
        model.AppendRows({row});
    }
    EXPECT_EQ(model.CellText(0, FileListModel::ColAttribute), "--------");
    EXPECT_EQ(model.CellText(1, FileListModel::ColAttribute),
              "RAHS"); // read-only as Samba keeps it
    EXPECT_EQ(model.CellText(2, FileListModel::ColAttribute), "--------"); // file gone: no bits

    // Drawn again after the file changed: the bits read the first time.
    ASSERT_EQ(::setxattr(plain.c_str(), "user.DOSATTRIB", "0x2", 3, 0), 0);
    ASSERT_EQ(::removexattr(stored.c_str(), "user.DOSATTRIB"), 0);
    EXPECT_EQ(model.CellText(0, FileListModel::ColAttribute), "--------");
    EXPECT_EQ(model.CellText(1, FileListModel::ColAttribute), "RAHS");
    // Listed anew, the rows read them again.
    FileRows listedAgain = model.Rows();
    for (FileRow& row : listedAgain) {
        row.attributes = 0;
        row.storedAttributesMerged = false;
    }
    model.Clear();
    model.AppendRows(std::move(listedAgain));
    EXPECT_EQ(model.CellText(0, FileListModel::ColAttribute), "----H--");
    EXPECT_EQ(model.CellText(1, FileListModel::ColAttribute), "--------");
}

TEST(FileListModel, NamesThatAreNotUtf8StillShow) {
    FileListModel model;
    model.AppendRows({Row(std::string("caf\xe9.txt"))});
    EXPECT_FALSE(model.CellText(0, 0).isEmpty());
    EXPECT_EQ(model.Rows()[0].originalName, std::string("caf\xe9.txt")); // bytes untouched
}

TEST(FileListModel, OneInsertionPerBatch) {
    FileListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.AppendRows(Rows(1000));
    model.AppendRows(Rows(500));
    model.AppendRows({});
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(model.rowCount(), 1500);
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(FileListModel, HeaderCaptionsSwapAndReset) {
    FileListModel model;
    model.SetHeaderCaption(0, "New Name");
    model.SetHeaderCaption(1, "Original Name");
    model.SetHeaderCaption(9, "ignored");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "New Name");
    model.ResetHeaderCaptions();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Original Name");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "New Name");
}

TEST(FileListModel, ViewSelectionIsWrittenIntoTheFlags) {
    FileListModel model;
    FileListView view;
    view.SetFileModel(&model);
    model.AppendRows(Rows(5));
    QItemSelectionModel* selection = view.selectionModel();
    selection->select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(model.index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(model.SelectedCount(), 2u);
    EXPECT_TRUE(model.Rows()[1].selected);
    EXPECT_TRUE(model.Rows()[3].selected);
    selection->select(model.index(1, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_EQ(model.SelectedCount(), 1u);
    EXPECT_FALSE(model.Rows()[1].selected);
    selection->clearSelection();
    EXPECT_EQ(model.SelectedCount(), 0u);
}

TEST(FileListModel, FlagsSetByTheCoreArePushedToTheView) {
    FileListModel model;
    FileListView view;
    view.SetFileModel(&model);
    model.AppendRows(Rows(6));
    QSignalSpy counted(&model, &FileListModel::SelectedCountChanged);
    model.ChangeRows([](FileRows& rows) {
        for (std::size_t row : {0, 1, 4})
            rows[row].selected = true;
    });
    EXPECT_EQ(model.SelectedCount(), 3u);
    ASSERT_EQ(counted.count(), 1);
    EXPECT_EQ(counted.at(0).at(0).toInt(), 3);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(view.selectionModel()->isRowSelected(row),
                  model.Rows()[static_cast<std::size_t>(row)].selected)
            << row;
}

TEST(FileListModel, ReorderedRowsKeepTheirSelection) {
    FileListModel model;
    FileListView view;
    view.SetFileModel(&model);
    model.AppendRows(Rows(3));
    view.selectionModel()->select(model.index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    model.ReorderRows([](FileRows& rows) { std::swap(rows[0], rows[2]); });
    EXPECT_FALSE(view.selectionModel()->isRowSelected(0));
    EXPECT_TRUE(view.selectionModel()->isRowSelected(2));
    EXPECT_EQ(model.SelectedCount(), 1u);
}

TEST(FileListModel, AppendedSelectedRowsAndClearKeepTheCount) {
    FileListModel model;
    FileListView view;
    view.SetFileModel(&model);
    FileRows rows = Rows(2);
    rows[1].selected = true;
    model.AppendRows(std::move(rows));
    EXPECT_EQ(model.SelectedCount(), 1u);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(1));
    model.Clear();
    EXPECT_EQ(model.SelectedCount(), 0u);
    model.AppendRows(Rows(2));
    EXPECT_EQ(model.SelectedCount(), 0u);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
}

TEST(FileListModel, ManyRowsSelectAndDeselectAsRanges) {
    FileListModel model;
    FileListView view;
    view.SetFileModel(&model);
    model.AppendRows(Rows(100'000));
    model.ChangeSelection([](FileRows& rows) {
        for (FileRow& row : rows)
            row.selected = true;
    });
    EXPECT_EQ(model.SelectedCount(), 100'000u);
    view.selectionModel()->clearSelection();
    EXPECT_EQ(model.SelectedCount(), 0u);
    EXPECT_FALSE(model.Rows()[99'999].selected);
}

TEST(FileListView, ReadOnlyWholeRowsSeveralAtOnce) {
    FileListView view;
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
    // Only a "New Name" cell is ever edited, and only while the model allows it.
    EXPECT_EQ(view.editTriggers(),
              QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    FileListModel model;
    model.AppendRows(Rows(1));
    for (const bool editable : {false, true}) {
        model.SetNewNamesEditable(editable);
        for (int column = 0; column < FileListModel::ColumnCount; ++column)
            EXPECT_EQ(model.flags(model.index(0, column)).testFlag(Qt::ItemIsEditable),
                      editable && column == FileListModel::ColNewName)
                << column;
    }
    EXPECT_EQ(view.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_TRUE(view.verticalHeader()->isHidden());
    EXPECT_EQ(view.palette().color(QPalette::Inactive, QPalette::Highlight),
              view.palette().color(QPalette::Active, QPalette::Highlight));
}

// Large lists are freed on another thread; clearing again at once, and
// filling the list meanwhile, must not disturb the rows that are shown.
TEST(FileListModel, LargeListsClearedOneAfterAnotherLeaveTheNewRowsIntact) {
    FileListModel model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    for (int round = 0; round < 3; ++round) {
        model.AppendRows(Rows(30'000));
        model.AppendRows(Rows(10));
        ASSERT_EQ(model.RowCount(), 30'010);
        model.Clear();
        EXPECT_EQ(model.RowCount(), 0);
        EXPECT_EQ(model.rowCount(), 0);
    }
    EXPECT_EQ(reset.count(), 3);
    model.AppendRows(Rows(3));
    ASSERT_EQ(model.RowCount(), 3);
    EXPECT_EQ(model.CellText(2, FileListModel::ColOriginalName), "f2.txt");
    EXPECT_EQ(model.CellText(2, FileListModel::ColPath), "/data/");
}

} // namespace
} // namespace quorvane
