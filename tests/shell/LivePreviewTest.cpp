// "Live Preview" in the View menu: typing into a rule's box renames the list
// after a short wait, without Preview, and leaves the focus and the selection
// where the user put them. Off, nothing happens until Preview.
#include "shell/TMainForm.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/RecordedBoxes.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::Find;

class LivePreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            m_files.Write(name);
        Start();
    }
    // A new window listing the three files, nothing selected.
    void Start() {
        m_window.reset();
        m_window = std::make_unique<test::Window>();
        Form().show();
        ASSERT_TRUE(test::ScanBySelecting(Form(), m_files.Path()));
        ASSERT_EQ(List().RowCount(), 3);
    }
    TMainForm& Form() { return m_window->form; }
    FileListModel& List() { return test::ListOf(Form()); }
    QLineEdit* InsertBox() { return Find<QLineEdit>(Form(), "meSource"); }

    void TurnOnLivePreview() {
        ASSERT_TRUE(test::Activate(&Form()));
        ASSERT_TRUE(
            test::ChooseFromMenuButton(Find<QToolButton>(Form(), "TbView"), {"mmiLivePreview"}));
        ASSERT_TRUE(Find<QAction>(Form(), "mmiLivePreview")->isChecked());
    }
    void ClickRow(const std::string& name) {
        ASSERT_TRUE(test::Activate(&Form()));
        auto* view = Find<FileListView>(Form(), "ListView");
        for (int row = 0; row < List().RowCount(); ++row)
            if (List().Rows()[static_cast<std::size_t>(row)].originalName == name)
                test::ClickAt(view->viewport(), test::RowPoint(view, List().index(row, 0)));
    }
    // Gives the insert box the focus with a click and types into it.
    void TypeIntoInsertBox(const QString& text) {
        ASSERT_TRUE(test::Reach(InsertBox()));
        test::ClickAt(InsertBox());
        ASSERT_EQ(QApplication::focusWidget(), InsertBox());
        test::TypeText(text);
    }
    // "New Name" and the selection of every row, by original name.
    std::map<std::string, std::pair<std::string, bool>> Rows() {
        std::map<std::string, std::pair<std::string, bool>> rows;
        for (const FileRow& row : List().Rows())
            rows[row.originalName] = {row.newName, row.selected};
        return rows;
    }

    test::RecordedBoxes m_boxes;
    test::TempDir m_files;
    std::unique_ptr<test::Window> m_window;
};

TEST_F(LivePreviewTest, TypingRenamesAfterTheWaitAndKeepsFocusAndSelection) {
    using RowStates = std::map<std::string, std::pair<std::string, bool>>;
    struct Case {
        const char* selected; // the row clicked first; none: nothing selected
        RowStates expected;
    };
    const Case cases[] = {
        // With nothing selected every row gets its name, as Preview gives
        // them, but none is selected for it.
        {nullptr,
         {{"a.txt", {"x_a.txt", false}},
          {"b.txt", {"x_b.txt", false}},
          {"c.txt", {"x_c.txt", false}}}},
        {"b.txt", {{"a.txt", {"", false}}, {"b.txt", {"x_b.txt", true}}, {"c.txt", {"", false}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected ? c.selected : "nothing selected");
        Start();
        TurnOnLivePreview();
        if (c.selected)
            ClickRow(c.selected);
        TypeIntoInsertBox("x_");
        // Not yet: the names follow once typing has paused.
        EXPECT_NE(Rows().at("b.txt").first, "x_b.txt");
        ASSERT_TRUE(QTest::qWaitFor([&] { return Rows() == c.expected; }, 5000));
        EXPECT_EQ(QApplication::focusWidget(), InsertBox());
        EXPECT_EQ(InsertBox()->text(), "x_");
        // The cell shows it too (b.txt gets its name in both cases).
        int rowB = 0;
        while (rowB < List().RowCount() &&
               List().Rows()[static_cast<std::size_t>(rowB)].originalName != "b.txt")
            ++rowB;
        EXPECT_EQ(List().CellText(rowB, FileListModel::ColNewName).left(2), "x_");
    }
    EXPECT_TRUE(m_boxes.texts.isEmpty()) << m_boxes.texts.join(" | ").toStdString();
}

TEST_F(LivePreviewTest, ConflictsFollowTheTypedNames) {
    // a.txt would become b.txt, which stays: the conflict is counted once the
    // planning beside the window is done.
    TurnOnLivePreview();
    auto* search = Find<QLineEdit>(Form(), "edsource");
    ASSERT_TRUE(test::Reach(search));
    test::ClickAt(search);
    test::TypeText("a");
    test::ClickAt(Find<QLineEdit>(Form(), "edTarget"));
    test::TypeText("b");
    auto* conflicts = Find<QLabel>(Form(), "StatusPanel4");
    ASSERT_TRUE(QTest::qWaitFor([&] { return conflicts->text() == "Conflicts : 1"; }, 5000))
        << conflicts->text().toStdString();
    EXPECT_EQ(Rows().at("a.txt").first, "b.txt");
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(Form(), "edTarget"));
}

TEST_F(LivePreviewTest, OffNothingHappensUntilPreview) {
    TypeIntoInsertBox("x_");
    QCoreApplication::processEvents();
    // No wait is running that could still rename the rows.
    EXPECT_FALSE(Find<QTimer>(Form(), "LivePreviewTimer")->isActive());
    for (const auto& [name, row] : Rows())
        EXPECT_EQ(row.first, "") << name;
    test::ClickAt(Find<QAbstractButton>(Form(), "TbRenamePreview"));
    for (const auto& [name, row] : Rows())
        EXPECT_EQ(row.first, "x_" + name) << name;
}

TEST_F(LivePreviewTest, TheMenuEntryIsACheckableEntryForScreenReaders) {
    QMenu* view = Find<QMenu>(Form(), "mmView");
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(menu, nullptr);
    QAccessibleInterface* entry = nullptr;
    for (int i = 0; i < menu->childCount(); ++i)
        if (menu->child(i)->text(QAccessible::Name) == "Live Preview")
            entry = menu->child(i);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->role(), QAccessible::MenuItem);
    EXPECT_TRUE(entry->state().checkable);
    EXPECT_FALSE(entry->state().checked);
}

} // namespace
} // namespace quorvane
