// Apply, Undo, the attribute run and the log window, driven through the main
// window offscreen on temporary folders.
#include "runs/RunFileSystem.h"
#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/ScanController.h"
#include "shell/TFrmLog.h"
#include "shell/TMainForm.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

namespace quorvane {
namespace {

using test::Find;

using test::TempDir;

const QString kAllWell = "All the selected files have been processed successfully!";

using test::Listing;

// The real file system with a hook before every rename and a time stamp that
// can be made to fail.
class HookedFileSystem final : public RunFileSystem {
public:
    std::function<void()> beforeRename;
    bool failTimeStamps = false;

    int Rename(const std::string& folder, const std::string& from, const std::string& to) override {
        if (beforeRename)
            beforeRename();
        return m_real.Rename(folder, from, to);
    }
    std::optional<std::uint32_t> ReadAttributes(const std::string& path) override {
        return m_real.ReadAttributes(path);
    }
    int WriteAttributes(const std::string& path, std::uint32_t attributes) override {
        return m_real.WriteAttributes(path, attributes);
    }
    int SetTimeStamp(const std::string& path, std::uint32_t packedLocal) override {
        return failTimeStamps ? EPERM : m_real.SetTimeStamp(path, packedLocal);
    }

private:
    PlatformFileSystem m_real;
};

class RunsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_form.SetSettingsFolder(m_settings.Path());
        SetMessageHook([this](const MessageRequest& request) {
            m_boxes.push_back(request);
            return m_answer;
        });
        TFrmLog::SetShowHook([this](TFrmLog& window) {
            EXPECT_EQ(window.objectName(), "FrmLog");
            EXPECT_EQ(window.windowTitle(), "Log");
            EXPECT_TRUE(window.mmLog->isReadOnly());
            EXPECT_EQ(window.Button1->text(), "OK");
            m_logTexts.push_back(window.mmLog->toPlainText());
        });
    }
    void TearDown() override {
        SetWindowRunFileSystem(nullptr);
        SetMessageHook({});
        TFrmLog::SetShowHook({});
    }

    // Lists the folder through the tree, as a user choosing it would.
    void Scan(std::size_t expectedRows) {
        Find<FolderTree>(m_form, "ShellTree")->SetPath(QString::fromStdString(m_files.Path()));
        m_form.ActRefreshExecute();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return SearchCount() == 0 &&
                       Find<FileListModel>(m_form, "ListModel")->Rows().size() == expectedRows;
            },
            10000));
    }

    int SearchCount() const {
        return Find<ScanController>(m_form, "ScanController")->SearchCount();
    }
    bool Enabled(const char* action) const { return Find<QAction>(m_form, action)->isEnabled(); }

    // Insert page: "new_" before every name.
    void PreviewPrefix() {
        Find<QTabWidget>(m_form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Insert));
        Find<QLineEdit>(m_form, "meSource")->setText("new_");
        Find<QSpinBox>(m_form, "meindex")->setValue(1);
        test::ReachIdle();
        ASSERT_TRUE(Enabled("ActPreview"));
        m_form.ActPreviewExecute();
    }

    QString Header(int column) const {
        return Find<FileListModel>(m_form, "ListModel")
            ->headerData(column, Qt::Horizontal)
            .toString();
    }

    FileRow* RowNamed(const std::string& name) {
        for (FileRow& row : Find<FileListModel>(m_form, "ListModel")->Rows())
            if (row.originalName == name)
                return &row;
        return nullptr;
    }

    bool ProgressBarLeft() const {
        return m_form.findChild<QProgressBar*>("RunProgressBar") == nullptr;
    }

    TempDir m_files;
    TempDir m_settings;
    TMainForm m_form;
    std::vector<MessageRequest> m_boxes;
    std::vector<QString> m_logTexts;
    MsgAnswer m_answer = MsgAnswer::Ok;
};

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
    Find<QTabWidget>(m_form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Insert));
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
    m_form.ActRenameExecute();

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

    m_form.ActUndoExecute();

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
    m_files.Write("a.txt");
    Scan(1);
    Find<QTabWidget>(m_form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Insert));
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

TEST_F(RunsWindowTest, FailedRenameWarnsAndOkOpensTheLog) {
    m_files.Write("a.txt", "A");
    m_files.Write("new_a.txt", "taken");
    Scan(2);
    // Only a.txt gets a new name, and that name is taken.
    FileRow* row = RowNamed("a.txt");
    ASSERT_NE(row, nullptr);
    row->newName = "new_a.txt";

    m_form.ActRenameExecute();

    const std::string line =
        m_files.Path() + "a.txt -------> " + m_files.Path() + "new_a.txt   [Fail]";
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Warning);
    EXPECT_EQ(m_boxes[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(m_boxes[0].text, "Total files : 0\rFiles can not be renamed : 1\r"
                               "Please click the  [OK]  button to view the log.");
    ASSERT_EQ(m_logTexts.size(), 1u);
    EXPECT_EQ(m_logTexts[0].toStdString(), line + "\n");
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"a.txt", "new_a.txt"}));
    std::ifstream log(m_settings.Path() + "Log.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), line + "\r\n");

    // The log menu entry shows the same file again.
    ASSERT_TRUE(test::Activate(&m_form));
    ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"), {"mmiLog"}));
    EXPECT_EQ(m_logTexts.size(), 2u);
}

TEST_F(RunsWindowTest, AutoArrangeRenamesEveryFileOnce) {
    for (const char* name : {"c.txt", "a.txt", "e.txt", "b.txt", "d.txt"})
        m_files.Write(name, name);
    ASSERT_TRUE(test::Activate(&m_form));
    ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"),
                                           {"mmiArrangeIcons", "mmiAutoArrange"}));
    Scan(5);
    // Reversed names, so the re-sort after the run turns the list upside down.
    for (FileRow& row : Find<FileListModel>(m_form, "ListModel")->Rows())
        row.newName = std::string(1, static_cast<char>('a' + 'e' - row.originalName[0])) + ".md";

    m_form.ActRenameExecute();

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, kAllWell);
    EXPECT_EQ(Listing(m_files.Path()),
              (std::vector<std::string>{"a.md", "b.md", "c.md", "d.md", "e.md"}));
    std::ifstream moved(m_files.Path() + "a.md");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), "e.txt");
    QCoreApplication::processEvents(); // the arranger works at the next turn of the loop
    std::vector<std::string> shown;
    for (const FileRow& row : Find<FileListModel>(m_form, "ListModel")->Rows())
        shown.push_back(row.originalName);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()) ||
                std::is_sorted(shown.rbegin(), shown.rend()));
}

TEST_F(RunsWindowTest, CancelOnTheWarningOpensNoLog) {
    m_files.Write("a.txt");
    Scan(1);
    RowNamed("a.txt")->newName = "sub/a.txt";
    m_answer = MsgAnswer::Cancel;

    m_form.ActRenameExecute();

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Warning);
    EXPECT_TRUE(m_logTexts.empty());
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"a.txt"}));
}

TEST_F(RunsWindowTest, UnwritableLogShowsTheErrorBoxAndKeepsTheHeaders) {
    m_files.Write("a.txt");
    Scan(1);
    PreviewPrefix();
    ASSERT_TRUE(test::LockFolder(m_settings.Path()));
    // The locked folder holds the run history too: renaming without a record is allowed.
    m_answer = MsgAnswer::Yes;

    m_form.ActRenameExecute();

    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Confirmation);
    EXPECT_EQ(m_boxes[1].type, MsgType::Error);
    EXPECT_TRUE(m_boxes[1].text.contains("Log.txt"));
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"new_a.txt"}));
    EXPECT_EQ(Header(0), "Original Name");
    EXPECT_TRUE(ProgressBarLeft());
    test::UnlockFolder(m_settings.Path());
}

TEST_F(RunsWindowTest, ProgressBarCoversTheFourthPanelOnlyDuringTheRun) {
    m_files.Write("a.txt");
    m_files.Write("b.txt");
    Scan(2);
    PreviewPrefix();
    HookedFileSystem fs;
    std::vector<QRect> seen;
    fs.beforeRename = [&] {
        if (auto* bar = m_form.findChild<QProgressBar*>("RunProgressBar"))
            seen.push_back(bar->geometry());
    };
    SetWindowRunFileSystem(&fs);

    m_form.ActRenameExecute();

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], Find<QLabel>(m_form, "StatusPanel3")->geometry());
    EXPECT_TRUE(ProgressBarLeft());
}

TEST_F(RunsWindowTest, AnErrorPartWayRemovesTheBarAndShowsTheErrorBox) {
    m_files.Write("a.txt");
    m_files.Write("b.txt");
    Scan(2);
    PreviewPrefix();
    HookedFileSystem fs;
    int renames = 0;
    fs.beforeRename = [&] {
        if (++renames == 2)
            throw std::runtime_error("out of memory");
    };
    SetWindowRunFileSystem(&fs);

    m_form.ActRenameExecute();

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Error);
    EXPECT_EQ(m_boxes[0].text, "out of memory");
    EXPECT_TRUE(ProgressBarLeft());
    EXPECT_FALSE(std::filesystem::exists(m_settings.Path() + "Log.txt"));
    // The row done before the error shows its outcome.
    EXPECT_EQ(Find<FileListModel>(m_form, "ListModel")->Rows()[0].newName.substr(0, 4), "<ok>");
}

TEST_F(RunsWindowTest, TimeStampsThatCannotBeSetAreReported) {
    m_files.Write("a.txt");
    m_files.Write("b.txt");
    Scan(2);
    Find<QTabWidget>(m_form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Attributes));
    Find<QCheckBox>(m_form, "ChkSetTimeStamp")->setChecked(true);
    HookedFileSystem fs;
    fs.failTimeStamps = true;
    SetWindowRunFileSystem(&fs);
    m_answer = MsgAnswer::Cancel;

    m_form.ActRenameExecute();

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Warning);
    EXPECT_EQ(m_boxes[0].text, "Total files : 0\rFiles can not be renamed : 2\r"
                               "Please click the  [OK]  button to view the log.");
    std::ifstream log(m_settings.Path() + "Log.txt", std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(log), {});
    EXPECT_NE(
        text.find("Error occurs when setting the time stamp of " + m_files.Path() + "a.txt\r\n"),
        std::string::npos);
}

TEST_F(RunsWindowTest, LogEntryOpensNothingWithoutLogFile) {
    ASSERT_TRUE(test::Activate(&m_form));
    ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"), {"mmiLog"}));
    EXPECT_TRUE(m_logTexts.empty());
}

TEST_F(RunsWindowTest, AttributeRunChangesEveryRowWhenNoneIsSelected) {
    m_files.Write("a.txt");
    m_files.Write("b.txt");
    Scan(2);
    Find<QTabWidget>(m_form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Attributes));
    Find<QCheckBox>(m_form, "ChkChangeAttr")->setChecked(true);
    Find<QCheckBox>(m_form, "ChkReadOnly")->setChecked(true);
    test::ReachIdle();
    ASSERT_TRUE(Enabled("ActRename"));

    m_form.ActRenameExecute();

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
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return SearchCount() == 0 &&
                   Find<FileListModel>(m_form, "ListModel")->Rows().size() == 2;
        },
        10000));
    Find<QTabWidget>(m_form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Case));
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
        m_form.ActRefreshExecute();
        showMp3Panel(false);
        pages->setCurrentIndex(TabIndexOf(RulePage::Case));
        if (c.rows) {
            FileRow row;
            row.folder = std::make_shared<const std::string>(m_files.Path());
            row.originalName = "x";
            Find<FileListModel>(m_form, "ListModel")->AppendRows(FileRows{row});
        }
        if (c.previewed)
            m_form.ActPreviewExecute();
        if (c.applied)
            m_form.ActRenameExecute();
        showMp3Panel(c.mp3Panel);
        pages->setCurrentIndex(TabIndexOf(c.page));
        test::ReachIdle();
        EXPECT_EQ(Enabled("ActRename"), c.apply);
        EXPECT_EQ(Enabled("ActUndo"), c.undo);
    }
}

TEST_F(RunsWindowTest, AnUnwritableHistoryAsksBeforeRenaming) {
    const struct {
        MsgAnswer answer;
        std::vector<std::string> after;
    } cases[] = {
        {MsgAnswer::No, {"a.txt"}},
        {MsgAnswer::Yes, {"new_a.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer == MsgAnswer::Yes ? "Yes" : "No");
        TempDir files, settings;
        // A folder where the database should be: it cannot be opened, for
        // any user.
        settings.MakeDir("History.sqlite");
        TMainForm form;
        form.SetSettingsFolder(settings.Path());
        files.Write("a.txt");
        Find<FolderTree>(form, "ShellTree")->SetPath(QString::fromStdString(files.Path()));
        form.ActRefreshExecute();
        auto* model = Find<FileListModel>(form, "ListModel");
        ASSERT_TRUE(QTest::qWaitFor([&] { return model->Rows().size() == 1; }, 10000));
        model->Rows()[0].newName = "new_a.txt";
        m_answer = c.answer;
        m_boxes.clear();

        form.ActRenameExecute();

        ASSERT_GE(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].type, MsgType::Confirmation);
        EXPECT_EQ(m_boxes[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(m_boxes[0].defaultAnswer, MsgAnswer::No);
        EXPECT_TRUE(m_boxes[0].text.startsWith("The run history cannot be written ("));
        EXPECT_TRUE(m_boxes[0].text.endsWith(").\rRename without a record?"));
        EXPECT_EQ(m_boxes.size(), c.answer == MsgAnswer::Yes ? 2u : 1u);
        EXPECT_EQ(Listing(files.Path()), c.after);
    }
}

TEST_F(RunsWindowTest, UndoFollowsTheRecordWhateverTheListOrder) {
    // b -> c, then a -> b: given back in reverse order even after a sort.
    m_files.Write("a.txt", "A");
    m_files.Write("b.txt", "B");
    Scan(2);
    FileRows& rows = Find<FileListModel>(m_form, "ListModel")->Rows();
    std::sort(rows.begin(), rows.end(),
              [](const FileRow& x, const FileRow& y) { return x.originalName > y.originalName; });
    rows[0].newName = "c.txt";
    rows[1].newName = "b.txt";
    m_form.ActRenameExecute();
    ASSERT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"b.txt", "c.txt"}));
    QHeaderView* header = Find<FileListView>(m_form, "ListView")->header();
    test::ClickHeaderSection(header, FileListModel::ColOriginalName);
    test::ClickHeaderSection(header, FileListModel::ColOriginalName);

    m_form.ActUndoExecute();

    EXPECT_EQ(m_boxes.back().text, kAllWell);
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(test::ReadFile(m_files.Path() + "a.txt"), "A");
    EXPECT_EQ(test::ReadFile(m_files.Path() + "b.txt"), "B");
}

} // namespace
} // namespace quorvane
