// Names given by hand in the list: a "New Name" cell edited in place with F2
// or a double-click, and files dropped on the list from a file manager.
#include "shell/TMainForm.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/RecordedBoxes.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace quorvane {
namespace {

using test::Find;

class NamesByHandTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            m_files.Write(name);
        m_window = std::make_unique<test::Window>();
        Form().show();
        ASSERT_TRUE(test::ScanBySelecting(Form(), m_files.Path()));
        ASSERT_EQ(List().RowCount(), 3);
        ASSERT_TRUE(test::Activate(&Form()));
        test::ReachIdle();
    }
    TMainForm& Form() { return m_window->form; }
    FileListModel& List() { return test::ListOf(Form()); }
    FileListView* View() { return Find<FileListView>(Form(), "ListView"); }
    int RowOf(const std::string& name) {
        for (int row = 0; row < List().RowCount(); ++row)
            if (List().Rows()[static_cast<std::size_t>(row)].originalName == name)
                return row;
        return -1;
    }
    std::map<std::string, std::string> NewNames() {
        std::map<std::string, std::string> names;
        for (const FileRow& row : List().Rows())
            names[row.originalName] = row.newName;
        return names;
    }

    test::RecordedBoxes m_boxes;
    test::TempDir m_files;
    std::unique_ptr<test::Window> m_window;
};

TEST_F(NamesByHandTest, ANewNameCellIsEditedInPlace) {
    enum class Open { F2, DoubleClick };
    struct Case {
        const char* what;
        Open open;
        const char* before; // a.txt's new name before the edit
        const char* typed;
        Qt::Key end;
        const char* after;
        const char* conflicts; // the fifth panel once the check has run; null: not run
    };
    const Case cases[] = {
        {"F2, a name, Enter", Open::F2, "", "x.txt", Qt::Key_Return, "x.txt", "Conflicts : 0"},
        {"a double-click", Open::DoubleClick, "", "y.txt", Qt::Key_Return, "y.txt",
         "Conflicts : 0"},
        {"Escape cancels", Open::F2, "p.txt", "x.txt", Qt::Key_Escape, "p.txt", nullptr},
        {"the original name back", Open::F2, "p.txt", "a.txt", Qt::Key_Return, "", "Conflicts : 0"},
        {"a name taken by another file", Open::F2, "", "b.txt", Qt::Key_Return, "b.txt",
         "Conflicts : 1"},
    };
    auto* conflicts = Find<QLabel>(Form(), "StatusPanel4");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int row = RowOf("a.txt");
        List().SetNewNames({static_cast<std::size_t>(row)}, {c.before});
        conflicts->clear();
        test::ReachIdle();
        ASSERT_TRUE(test::Activate(&Form()));
        if (c.open == Open::F2) {
            test::ClickAt(View()->viewport(), test::RowPoint(View(), List().index(row, 0)));
            test::ReachIdle();
            ASSERT_EQ(QApplication::focusWidget(), View());
            test::PressKey(Qt::Key_F2);
        } else {
            test::DoubleClickAt(
                View()->viewport(),
                test::RowPoint(View(), List().index(row, FileListModel::ColNewName)));
        }
        test::ReachIdle();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->objectName(), "NewNameEditor");
        EXPECT_EQ(QAccessible::queryAccessibleInterface(editor)->text(QAccessible::Name),
                  "New Name");
        EXPECT_EQ(editor->text(), *c.before ? c.before : "a.txt");
        editor->selectAll();
        test::TypeText(c.typed);
        test::PressKey(c.end);
        test::ReachIdle();
        EXPECT_EQ(NewNames()["a.txt"], c.after);
        EXPECT_EQ(NewNames()["b.txt"], "");
        if (c.conflicts) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return conflicts->text() == c.conflicts; }))
                << conflicts->text().toStdString();
            EXPECT_TRUE(Find<QAction>(Form(), "ActRename")->isEnabled());
        }
    }
}

TEST_F(NamesByHandTest, FilesDroppedOnTheListAreAdded) {
    test::TempDir elsewhere;
    const std::string d = elsewhere.Write("d.txt");
    const std::string e = elsewhere.Write("e.txt");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(d)),
                  QUrl::fromLocalFile(QString::fromStdString(e)),
                  QUrl::fromLocalFile(QString::fromStdString(m_files.Path() + "a.txt"))});
    QWidget* target = View()->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);

    EXPECT_EQ(List().RowCount(), 5);
    EXPECT_EQ(test::Names(Form()),
              (std::set<std::string>{"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(Find<QLabel>(Form(), "StatusPanel0")->text(), "Total files : 5");
    // Two folders: no one folder to show.
    EXPECT_EQ(Find<QComboBox>(Form(), "cbFavorite")->currentText(), "");
    // Refresh lists the same files again.
    test::RunCommand(Form(), "ActRefresh");
    EXPECT_EQ(List().RowCount(), 5);
    // A folder chosen in the tree is listed alone, and so is it after Refresh.
    ASSERT_TRUE(test::ScanBySelecting(Form(), elsewhere.Path()));
    EXPECT_EQ(test::Names(Form()), (std::set<std::string>{"d.txt", "e.txt"}));
    ASSERT_TRUE(test::WaitForScan(Form(), [&] { test::RunCommand(Form(), "ActRefresh"); }));
    EXPECT_EQ(test::Names(Form()), (std::set<std::string>{"d.txt", "e.txt"}));
}

} // namespace
} // namespace quorvane
