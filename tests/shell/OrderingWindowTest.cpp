// Sorting, selection commands and their availability, driven through the
// main window offscreen.
#include "filelist/RowOrder.h"
#include "runs/RunLog.h"
#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/TMainForm.h"
#include "shell/TSearchThread.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FolderTree.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <filesystem>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::Find;
using test::ListedNames;

FileRow Row(const std::string& name, std::uint64_t sizeBytes) {
    static const auto folder = std::make_shared<const std::string>("/nowhere/");
    FileRow row;
    row.originalName = name;
    row.sizeBytes = sizeBytes;
    row.folder = folder;
    return row;
}

class OrderingWindowTest : public ::testing::Test {
protected:
    OrderingWindowTest() { m_form.SetSettingsFolder(m_settings.Path()); }

    // b.txt 10 KB, A.txt 2 KB, c.doc 5 KB, a.TXT 1 KB as shown in "Size".
    void AddRows() {
        FileRows rows;
        rows.push_back(Row("b.txt", 9 * 1024));
        rows.push_back(Row("A.txt", 1 * 1024));
        rows.push_back(Row("c.doc", 4 * 1024));
        rows.push_back(Row("a.TXT", 0));
        Find<FileListModel>(m_form, "ListModel")->AppendRows(std::move(rows));
    }

    void SelectRow(int row) {
        Find<FileListView>(m_form, "ListView")
            ->selectionModel()
            ->select(Find<FileListModel>(m_form, "ListModel")->index(row, 0),
                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    void ShowAndActivate() {
        m_form.show();
        QApplication::setActiveWindow(&m_form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
    }

    // An entry of "Arrange Icons" in the View menu, or in the list's own menu.
    void ArrangeFromTheViewMenu(const char* entry) {
        ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"),
                                               {"mmiArrangeIcons", entry}));
    }
    void ArrangeFromThePopupMenu(const char* entry) {
        auto* view = Find<FileListView>(m_form, "ListView");
        ASSERT_TRUE(test::ChooseFromContextMenu(
            view->viewport(),
            test::RowPoint(view, Find<FileListModel>(m_form, "ListModel")->index(0, 0)),
            {"pmiArrangeIcons", entry}));
    }

    test::TempDir m_settings;
    TMainForm m_form;
};

TEST_F(OrderingWindowTest, CommandsFollowTheRowsAndTheSelection) {
    struct Expected {
        bool select;
        bool remove;
    };
    auto check = [this](const char* when, Expected expected) {
        test::ReachIdle();
        EXPECT_EQ(Find<QAction>(m_form, "ActSelectAll")->isEnabled(), expected.select) << when;
        EXPECT_EQ(Find<QAction>(m_form, "ActSelectNone")->isEnabled(), expected.select) << when;
        EXPECT_EQ(Find<QAction>(m_form, "ActionSelectInvert")->isEnabled(), expected.select)
            << when;
        EXPECT_EQ(Find<QAction>(m_form, "ActDelete")->isEnabled(), expected.remove) << when;
    };
    check("empty list", {false, false});
    AddRows();
    check("rows, none selected", {true, false});
    SelectRow(2);
    check("one row selected", {true, true});
    test::RunCommand(m_form, "ActSelectNone");
    check("selection cleared", {true, false});
    Find<FileListModel>(m_form, "ListModel")->Clear();
    check("list emptied", {false, false});
}

TEST_F(OrderingWindowTest, ShortcutsSelectAndShowTheCount) {
    AddRows();
    SelectRow(1);
    ShowAndActivate();
    ASSERT_EQ(test::FocusByTab(Find<FileListView>(m_form, "ListView")),
              Find<FileListView>(m_form, "ListView"));
    struct Case {
        Qt::Key key;
        std::vector<bool> selected;
        const char* panel;
    };
    const std::vector<Case> cases = {
        {Qt::Key_I, {true, false, true, true}, "Selectd files : 3"},
        {Qt::Key_Z, {false, false, false, false}, "Selectd files : 0"}, // not an undo
        {Qt::Key_A, {true, true, true, true}, "Selectd files : 4"},
        {Qt::Key_Z, {false, false, false, false}, "Selectd files : 0"},
    };
    for (const Case& c : cases) {
        test::PressKey(c.key, Qt::ControlModifier);
        std::vector<bool> selected;
        for (int row = 0; row < Find<FileListModel>(m_form, "ListModel")->RowCount(); ++row) {
            selected.push_back(
                Find<FileListView>(m_form, "ListView")->selectionModel()->isRowSelected(row));
            EXPECT_EQ(Find<FileListModel>(m_form, "ListModel")
                          ->Rows()[static_cast<std::size_t>(row)]
                          .selected,
                      selected.back());
        }
        EXPECT_EQ(selected, c.selected) << "Ctrl+" << char(c.key);
        EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel1")->text().toStdString(), c.panel);
    }
}

TEST_F(OrderingWindowTest, HeaderClicksAndArrangeEntriesOrderTheList) {
    AddRows();
    ShowAndActivate();
    QHeaderView* header = Find<FileListView>(m_form, "ListView")->header();
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> expected;
        int column;
        bool ascending;
    };
    const std::vector<Step> steps = {
        {"By Name right after start: Z to A",
         [&] { ArrangeFromTheViewMenu("mmiByName"); },
         {"c.doc", "b.txt", "A.txt", "a.TXT"},
         kColumnOriginalName,
         false},
        {"By Name again: A to Z",
         [&] { ArrangeFromThePopupMenu("mmiByName"); },
         {"A.txt", "a.TXT", "b.txt", "c.doc"},
         kColumnOriginalName,
         true},
        {"By Type next: descending",
         [&] { ArrangeFromTheViewMenu("mmiByType"); },
         {"A.txt", "a.TXT", "b.txt", "c.doc"},
         kColumnType,
         false},
        {"Size header: 2 before 10",
         [header] { test::ClickHeaderSection(header, kColumnSize); },
         {"a.TXT", "A.txt", "c.doc", "b.txt"},
         kColumnSize,
         true},
        {"Size header again: reversed",
         [header] { test::ClickHeaderSection(header, kColumnSize); },
         {"b.txt", "c.doc", "A.txt", "a.TXT"},
         kColumnSize,
         false},
        {"Type header: ascending",
         [header] { test::ClickHeaderSection(header, kColumnType); },
         {"c.doc", "b.txt", "A.txt", "a.TXT"},
         kColumnType,
         true},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(ListedNames(m_form), step.expected) << step.what;
        EXPECT_TRUE(header->isSortIndicatorShown()) << step.what;
        EXPECT_EQ(header->sortIndicatorSection(), step.column) << step.what;
        EXPECT_EQ(header->sortIndicatorOrder(),
                  step.ascending ? Qt::AscendingOrder : Qt::DescendingOrder)
            << step.what;
    }
}

TEST_F(OrderingWindowTest, FirstClickOnOriginalNameSortsDescending) {
    AddRows();
    ShowAndActivate();
    test::ClickHeaderSection(Find<FileListView>(m_form, "ListView")->header(), kColumnOriginalName);
    EXPECT_EQ(ListedNames(m_form), (std::vector<std::string>{"c.doc", "b.txt", "A.txt", "a.TXT"}));
}

TEST_F(OrderingWindowTest, SelectionMovesWithItsRows) {
    AddRows();
    ShowAndActivate();
    SelectRow(2); // c.doc
    test::ClickHeaderSection(Find<FileListView>(m_form, "ListView")->header(), kColumnSize);
    const std::vector<std::string> names = ListedNames(m_form);
    for (int row = 0; row < Find<FileListModel>(m_form, "ListModel")->RowCount(); ++row)
        EXPECT_EQ(Find<FileListView>(m_form, "ListView")->selectionModel()->isRowSelected(row),
                  names[static_cast<std::size_t>(row)] == "c.doc")
            << names[static_cast<std::size_t>(row)];
    EXPECT_EQ(Find<FileListModel>(m_form, "ListModel")->SelectedCount(), 1u);
}

TEST_F(OrderingWindowTest, AutoArrangeOrdersRowsAsTheyArrive) {
    AddRows();
    ShowAndActivate();
    ArrangeFromTheViewMenu("mmiAutoArrange");
    QHeaderView* header = Find<FileListView>(m_form, "ListView")->header();
    EXPECT_EQ(header->sortIndicatorSection(), kColumnOriginalName);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(ListedNames(m_form), (std::vector<std::string>{"c.doc", "b.txt", "A.txt", "a.TXT"}));

    // Two more batches, as a scan delivers them.
    for (const char* name : {"d.txt", "B.doc"}) {
        FileRows batch;
        batch.push_back(Row(name, 0));
        Find<FileListModel>(m_form, "ListModel")->AppendRows(std::move(batch));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ListedNames(m_form),
              (std::vector<std::string>{"d.txt", "c.doc", "b.txt", "B.doc", "A.txt", "a.TXT"}));

    // A name changing in place re-sorts the list too.
    Find<FileListModel>(m_form, "ListModel")->ChangeRows([](FileRows& rows) {
        rows[0].originalName = "0.txt";
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(ListedNames(m_form).back(), "0.txt");

    // A later header click changes the order kept from then on.
    test::ClickHeaderSection(Find<FileListView>(m_form, "ListView")->header(), kColumnSize);
    FileRows batch;
    batch.push_back(Row("huge.bin", 1 << 30));
    Find<FileListModel>(m_form, "ListModel")->AppendRows(std::move(batch));
    QCoreApplication::processEvents();
    EXPECT_EQ(ListedNames(m_form).back(), "huge.bin");
    EXPECT_TRUE(IsSorted(Find<FileListModel>(m_form, "ListModel")->Rows(), kColumnSize, true));
}

TEST_F(OrderingWindowTest, MouseReleaseShowsBothCounts) {
    AddRows();
    ShowAndActivate();
    Find<QLabel>(m_form, "StatusPanel0")->clear();
    QWidget* rows = Find<FileListView>(m_form, "ListView")->viewport();
    const auto rowPoint = [this](int row) {
        return test::RowPoint(Find<FileListView>(m_form, "ListView"),
                              Find<FileListModel>(m_form, "ListModel")->index(row, 0));
    };
    test::ClickAt(rows, rowPoint(0));
    test::ClickAt(rows, rowPoint(3), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel0")->text().toStdString(), "Total files : 4");
    EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel1")->text().toStdString(), "Selectd files : 2");
    // Selecting with the keyboard leaves the panels for the next mouse release.
    ASSERT_EQ(QApplication::focusWidget(), Find<FileListView>(m_form, "ListView"));
    test::PressKey(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel1")->text().toStdString(), "Selectd files : 2");
    test::ClickAt(rows, rowPoint(1), Qt::RightButton);
    while (QApplication::activePopupWidget())
        QApplication::activePopupWidget()->close();
    EXPECT_NE(Find<QLabel>(m_form, "StatusPanel1")->text().toStdString(), "Selectd files : 2");
    EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel1")->text(),
              QStringLiteral("Selectd files : %1")
                  .arg(Find<FileListModel>(m_form, "ListModel")->SelectedCount()));
}

// Automatic arrangement re-sorts the list while names change under a rename
// run; every previewed file must still be renamed exactly once.
TEST(AutoArrangeRename, EveryPreviewedFileIsRenamedOnce) {
    test::TempDir files;
    test::TempDir settings;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        files.Write(name, name);
    std::vector<MessageRequest> boxes;
    SetMessageHook([&boxes](const MessageRequest& request) {
        boxes.push_back(request);
        return MsgAnswer::Ok;
    });
    {
        TMainForm form;
        form.SetSettingsFolder(settings.Path());
        ASSERT_TRUE(test::ScanBySelecting(form, files.Path()));

        ASSERT_TRUE(test::Activate(&form));
        ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(form, "TbView"),
                                               {"mmiArrangeIcons", "mmiAutoArrange"}));
        // Z to A, kept so
        QCoreApplication::processEvents();
        ASSERT_EQ(ListedNames(form),
                  (std::vector<std::string>{"e.txt", "d.txt", "c.txt", "b.txt", "a.txt"}));

        // "0" in front of each name sends every renamed row to the end of the list.
        Find<QTabWidget>(form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Insert));
        Find<QLineEdit>(form, "meSource")->setText("0");
        Find<QSpinBox>(form, "meindex")->setValue(1);
        test::RunCommand(form, "ActPreview");
        test::ReachIdle();
        ASSERT_TRUE(Find<QAction>(form, "ActRename")->isEnabled());
        test::RunCommand(form, "ActRename");
        QCoreApplication::processEvents();

        std::vector<std::string> onDisk;
        for (const auto& entry : std::filesystem::directory_iterator(files.Path()))
            onDisk.push_back(entry.path().filename().string());
        std::sort(onDisk.begin(), onDisk.end());
        EXPECT_EQ(onDisk,
                  (std::vector<std::string>{"0a.txt", "0b.txt", "0c.txt", "0d.txt", "0e.txt"}));
        EXPECT_EQ(ListedNames(form),
                  (std::vector<std::string>{"0e.txt", "0d.txt", "0c.txt", "0b.txt", "0a.txt"}));
        for (const FileRow& row : Find<FileListModel>(form, "ListModel")->Rows())
            EXPECT_EQ(row.newName, "<ok>" + row.originalName.substr(1)) << row.originalName;
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().type, MsgType::Information) << boxes.back().text.toStdString();
    }
    SetMessageHook({});
}

} // namespace
} // namespace quorvane
