// Preview, Apply and Undo and the attribute run, driven through the main
// window offscreen on temporary folders.
#include "shell/RunsWindowFixture.h"
#include "support/Rows.h"
#include "widgets/FileListView.h"
#include "widgets/FloatingPanel.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace quorvane {
namespace {

using test::Find;
using test::Listing;
using test::TempDir;

TEST_F(RunsWindowTest, PreviewShowsConflictsOnTheirRowsAndCountsThem) {
    m_files.Write("a.txt");
    m_files.Write("b.txt");
    // A folder is not listed, so nothing in the batch moves it away.
    std::filesystem::create_directory(m_files.Path() + "new_b.txt");
    Scan(2);
    m_form.show();
    ASSERT_TRUE(test::Activate(&m_form));
    auto* panel = Find<QLabel>(m_form, "StatusPanel4");
    EXPECT_EQ(panel->text(), "");
    ShowPage(RulePage::Insert);
    Find<QLineEdit>(m_form, "meSource")->setText("new_");
    test::ReachIdle();
    test::ClickButton(Find<QToolButton>(m_form, "TbPreview"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->text().isEmpty(); }, 1000));
    EXPECT_EQ(panel->text(), "Conflicts : 1");
    QAccessibleInterface* panelText = QAccessible::queryAccessibleInterface(panel);
    EXPECT_EQ(panelText->text(QAccessible::Name), "Conflicts : 1");

    auto* model = Find<FileListModel>(m_form, "ListModel");
    auto* view = Find<QAbstractItemView>(m_form, "ListView");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    const QColor normal = view->palette().color(QPalette::Text);
    for (int row = 0; row < model->RowCount(); ++row) {
        const FileRow& fileRow = model->Rows()[static_cast<std::size_t>(row)];
        const QModelIndex cell = model->index(row, FileListModel::ColNewName);
        QAccessibleInterface* described = table->tableInterface()->cellAt(row, 1);
        ASSERT_NE(described, nullptr);
        if (fileRow.originalName == "b.txt") {
            EXPECT_EQ(model->data(cell, Qt::ToolTipRole).toString(), "Exists: new_b.txt");
            EXPECT_EQ(described->text(QAccessible::Description), "Exists: new_b.txt");
            EXPECT_FALSE(model->data(cell, Qt::DecorationRole).value<QIcon>().isNull());
            EXPECT_NE(model->data(cell, Qt::ForegroundRole).value<QColor>(), normal);
        } else {
            EXPECT_EQ(described->text(QAccessible::Description), "") << fileRow.originalName;
            EXPECT_FALSE(model->data(cell, Qt::ForegroundRole).isValid()) << fileRow.originalName;
        }
    }
    // Apply follows its documented flow: the conflicting row fails, the others go.
    test::ReachIdle();
    test::ClickButton(Find<QToolButton>(m_form, "TbApply"));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Warning);
    EXPECT_EQ(Listing(m_files.Path()),
              (std::vector<std::string>{"b.txt", "new_a.txt", "new_b.txt"}));
    EXPECT_EQ(model->data(model->index(0, 1), Qt::AccessibleDescriptionRole).toString(), "");
}

TEST_F(RunsWindowTest, PreviewApplyUndoEndToEnd) {
    m_files.Write("a.txt", "A");
    m_files.Write("b.txt", "B");
    Scan(2);
    PreviewPrefix();

    test::ReachIdle();
    ASSERT_TRUE(Enabled("ActRename"));
    EXPECT_FALSE(Enabled("ActUndo"));
    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Information);
    EXPECT_EQ(m_boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(m_boxes[0].text, kAllWell);
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"new_a.txt", "new_b.txt"}));
    ASSERT_NE(RowNamed("new_a.txt"), nullptr);
    EXPECT_EQ(RowNamed("new_a.txt")->newName, "<ok>a.txt");
    EXPECT_EQ(Header(0), "New Name");
    EXPECT_EQ(Header(1), "Original Name");
    EXPECT_EQ(std::filesystem::file_size(m_settings.Path() + "Log.txt"), 0u);
    EXPECT_TRUE(ProgressBarLeft());
    test::ReachIdle();
    EXPECT_FALSE(Enabled("ActRename"));
    EXPECT_TRUE(Enabled("ActUndo"));

    test::RunCommand(m_form, "ActUndo");

    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[1].text, kAllWell);
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(Header(0), "Original Name");
    EXPECT_EQ(Header(1), "New Name");
    EXPECT_TRUE(ProgressBarLeft());
    // The rescan lists the folder as it is again and ends the undo period.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return SearchCount() == 0 && RowNamed("a.txt") && RowNamed("b.txt"); }, 10000));
    EXPECT_EQ(RowNamed("a.txt")->newName, "");
    test::ReachIdle();
    EXPECT_FALSE(Enabled("ActUndo"));
    EXPECT_FALSE(Enabled("ActRename"));
}

// Presses a button as an accessibility tool does: no key or mouse event of
// the program's own is involved.
void PressAccessibly(QWidget* button) {
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(control, nullptr);
    ASSERT_NE(control->actionInterface(), nullptr);
    control->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Answers the next real message box by pressing its button accessibly.
class AccessibleBoxAnswerer {
public:
    AccessibleBoxAnswerer() {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            m_poll.stop();
            text = box->text();
            PressAccessibly(box->button(QMessageBox::Ok));
        });
        m_poll.start(10);
    }
    QString text;

private:
    QTimer m_poll;
};

TEST_F(RunsWindowTest, ApplyAnsweredWithoutKeysOrMouseMakesUndoAvailableAtOnce) {
    ScanNewFiles({"a.txt"});
    ShowPage(RulePage::Insert);
    Find<QLineEdit>(m_form, "meSource")->setText("new_");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QToolButton>(m_form, "TbPreview")->isEnabled(); }, 1000));
    PressAccessibly(Find<QToolButton>(m_form, "TbPreview"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QToolButton>(m_form, "TbApply")->isEnabled(); }, 1000));
    EXPECT_FALSE(Find<QToolButton>(m_form, "TbUndo")->isEnabled());

    SetMessageHook({}); // a real summary box this time
    AccessibleBoxAnswerer answerer;
    PressAccessibly(Find<QToolButton>(m_form, "TbApply"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.text.isEmpty(); }, 5000));
    EXPECT_EQ(answerer.text, kAllWell);
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"new_a.txt"}));

    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Find<QToolButton>(m_form, "TbUndo")->isEnabled(); }, 1000));
    EXPECT_TRUE(Enabled("ActUndo"));
    EXPECT_FALSE(Enabled("ActRename"));
    EXPECT_FALSE(Enabled("ActPreview"));
    EXPECT_FALSE(Enabled("mmiApply"));
}

TEST_F(RunsWindowTest, AutoArrangeRenamesEveryFileOnce) {
    for (const char* name : {"c.txt", "a.txt", "e.txt", "b.txt", "d.txt"})
        m_files.Write(name, name);
    ASSERT_TRUE(test::Activate(&m_form));
    ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"),
                                           {"mmiArrangeIcons", "mmiAutoArrange"}));
    Scan(5);
    // Reversed names, so the re-sort after the run turns the list upside down.
    std::map<std::string, std::string> reversed;
    for (const FileRow& row : Find<FileListModel>(m_form, "ListModel")->Rows())
        reversed[row.originalName] =
            std::string(1, static_cast<char>('a' + 'e' - row.originalName[0])) + ".md";
    NameRows(reversed);

    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, kAllWell);
    EXPECT_EQ(Listing(m_files.Path()),
              (std::vector<std::string>{"a.md", "b.md", "c.md", "d.md", "e.md"}));
    EXPECT_EQ(test::ReadFile(m_files.Path() + "a.md"), "e.txt");
    QCoreApplication::processEvents(); // the arranger works at the next turn of the loop
    const std::vector<std::string> shown =
        test::FieldOfEach(Find<FileListModel>(m_form, "ListModel")->Rows(), &FileRow::originalName);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()) ||
                std::is_sorted(shown.rbegin(), shown.rend()));
}

TEST_F(RunsWindowTest, AttributeRunChangesEveryRowWhenNoneIsSelected) {
    ScanNewFiles({"a.txt", "b.txt"});
    ShowPage(RulePage::Attributes);
    Tick("ChkChangeAttr");
    Tick("ChkReadOnly");
    test::ReachIdle();
    ASSERT_TRUE(Enabled("ActRename"));

    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text,
              "All the attributes of selected files have been processed successfully!");
    for (const char* name : {"a.txt", "b.txt"}) {
        struct stat st {};
        ASSERT_EQ(::stat((m_files.Path() + name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0222, 0u) << name;
    }
    EXPECT_TRUE(ProgressBarLeft());
    // The rescan that follows clears Applied again: no undo for an attribute run.
    WaitForRows(2);
    ShowPage(RulePage::Case);
    test::ReachIdle();
    EXPECT_FALSE(Enabled("ActUndo"));
}

TEST_F(RunsWindowTest, ApplyAndUndoAvailability) {
    struct Case {
        bool mp3Panel;
        RulePage page;
        bool previewed;
        bool applied;
        bool rows;
        bool apply;
        bool undo;
    };
    const Case cases[] = {
        {false, RulePage::Case, false, false, true, false, false},
        {false, RulePage::Case, true, false, true, true, false},
        {false, RulePage::Case, true, true, true, false, true},
        {false, RulePage::Attributes, false, false, true, true, false},
        {false, RulePage::Attributes, false, false, false, false, false},
        {false, RulePage::Attributes, true, true, true, true, false},
        {true, RulePage::Attributes, false, false, true, false, false},
        {true, RulePage::Attributes, true, false, true, true, false},
        {true, RulePage::Attributes, true, true, true, false, true},
    };
    ASSERT_TRUE(test::Activate(&m_form));
    auto* mp3Panel = Find<FloatingPanel>(m_form, "TB97Mp3");
    auto* pages = Find<QTabWidget>(m_form, "pgcGeneral");
    const auto showMp3Panel = [&](bool shown) {
        if (mp3Panel->Shown() != shown) {
            ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"),
                                                   {"MP3PanelsMenuItem"}));
        }
        ASSERT_EQ(mp3Panel->Shown(), shown);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "mp3 " << c.mp3Panel << " page " << TabIndexOf(c.page) << " previewed "
                     << c.previewed << " applied " << c.applied << " rows " << c.rows);
        // No folder chosen: Refresh empties the list and clears both marks.
        test::RunCommand(m_form, "ActRefresh");
        showMp3Panel(false);
        pages->setCurrentIndex(TabIndexOf(RulePage::Case));
        if (c.rows) {
            FileRow row;
            row.folder = std::make_shared<const std::string>(m_files.Path());
            row.originalName = "x";
            Find<FileListModel>(m_form, "ListModel")->AppendRows(FileRows{row});
        }
        if (c.previewed)
            test::RunCommand(m_form, "ActPreview");
        if (c.applied)
            test::RunCommand(m_form, "ActRename");
        showMp3Panel(c.mp3Panel);
        pages->setCurrentIndex(TabIndexOf(c.page));
        test::ReachIdle();
        EXPECT_EQ(Enabled("ActRename"), c.apply);
        EXPECT_EQ(Enabled("ActUndo"), c.undo);
    }
}

TEST_F(RunsWindowTest, UndoFollowsTheRecordWhateverTheListOrder) {
    // b -> c, then a -> b: given back in reverse order even after a sort.
    m_files.Write("a.txt", "A");
    m_files.Write("b.txt", "B");
    Scan(2);
    Find<FileListModel>(m_form, "ListModel")->ReorderRows([](FileRows& rows) {
        std::sort(rows.begin(), rows.end(), [](const FileRow& x, const FileRow& y) {
            return x.originalName > y.originalName;
        });
    });
    NameRows({{"b.txt", "c.txt"}, {"a.txt", "b.txt"}});
    test::RunCommand(m_form, "ActRename");
    ASSERT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"b.txt", "c.txt"}));
    QHeaderView* header = Find<FileListView>(m_form, "ListView")->header();
    test::ClickHeaderSection(header, FileListModel::ColOriginalName);
    test::ClickHeaderSection(header, FileListModel::ColOriginalName);

    test::RunCommand(m_form, "ActUndo");

    EXPECT_EQ(m_boxes.back().text, kAllWell);
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(test::ReadFile(m_files.Path() + "a.txt"), "A");
    EXPECT_EQ(test::ReadFile(m_files.Path() + "b.txt"), "B");
}

} // namespace
} // namespace quorvane
