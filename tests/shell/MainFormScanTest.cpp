// The scan and Preview as the window runs them, offscreen, in temporary folders.
#include "shell/TMainForm.h"

#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/ScanController.h"
#include "shell/TSearchForm.h"
#include "shell/TSearchThread.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/Rows.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace quorvane {
namespace {

using test::Find;
using test::ListOf;
using test::Names;
using test::ScanBySelecting;
using test::TempDir;
using test::WaitForScan;
using test::Window;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

bool Enabled(const TMainForm& form, const char* action) {
    return Find<QAction>(form, action)->isEnabled();
}

// A scan that, as far as the window can tell, has not ended: the worker's
// rows and its report of the end are held back while this object lives.
class RunningScan {
public:
    RunningScan(TMainForm& form, const std::string& folder)
        : m_held(Find<TSearchThread>(form, "SearchThread")) {
        EXPECT_TRUE(Find<FolderTree>(form, "ShellTree")->SetPath(Q(folder)));
        EXPECT_EQ(Find<ScanController>(form, "ScanController")->SearchCount(), 1);
    }

private:
    QSignalBlocker m_held;
};

// Answers every message box with `answer`, recording them.
class Boxes {
public:
    explicit Boxes(MsgAnswer answer = MsgAnswer::Ok) {
        SetMessageHook([this, answer](const MessageRequest& request) {
            shown.push_back(request);
            return answer;
        });
    }
    ~Boxes() { SetMessageHook({}); }
    std::vector<MessageRequest> shown;
};

// Preview reached past its availability on an empty list: the window's last
// pass saw a row, which is gone by the time the command arrives.
void PreviewEmptiedList(TMainForm& form) {
    ListOf(form).AppendRows({FileRow{}});
    test::ReachIdle();
    ListOf(form).Clear();
    Find<QAction>(form, "ActPreview")->trigger();
}

// A window and a fresh folder for it to list.
class MainFormScan : public ::testing::Test {
protected:
    TempDir m_dir;
    Window m_window;
    TMainForm& m_form = m_window.form;
};

TEST_F(MainFormScan, ChoosingAFolderFillsTheListAndTheStatusPanels) {
    m_dir.Write("a.txt");
    m_dir.Write("b.mp3");
    m_dir.Write("c.doc");
    m_dir.Write("sub/deep.txt");
    FileListModel& list = ListOf(m_form);
    {
        // Previewed and applied: an empty list run through both.
        const Boxes boxes;
        PreviewEmptiedList(m_form);
        test::RunCommand(m_form, "ActRename");
    }
    test::ReachIdle();
    ASSERT_TRUE(Enabled(m_form, "ActUndo"));
    ASSERT_EQ(list.headerData(0, Qt::Horizontal).toString(), "New Name");

    ASSERT_TRUE(ScanBySelecting(m_form, m_dir.Path()));
    EXPECT_EQ(Names(m_form), (std::set<std::string>{"a.txt", "b.mp3", "c.doc"}));
    EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel0")->text(), "Total files : 3");
    EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel1")->text(), "Selectd files : 0");
    EXPECT_EQ(list.headerData(0, Qt::Horizontal).toString(), "Original Name");
    EXPECT_EQ(list.headerData(1, Qt::Horizontal).toString(), "New Name");
    EXPECT_EQ(Find<ScanController>(m_form, "ScanController")->SearchCount(), 0);
    EXPECT_EQ(Find<QComboBox>(m_form, "cbFavorite")->currentText(), Q(m_dir.Path()));
    const auto* progress = m_form.findChild<TSearchForm*>("SearchForm");
    EXPECT_TRUE(!progress || !progress->isVisible());
    for (const FileRow& row : list.Rows()) {
        EXPECT_EQ(row.Path(), m_dir.Path());
        EXPECT_FALSE(row.selected);
        EXPECT_TRUE(row.newName.empty());
    }
    test::ReachIdle();
    EXPECT_TRUE(Enabled(m_form, "ActPreview"));
    EXPECT_TRUE(Enabled(m_form, "ActRefresh"));
    // Neither previewed nor applied any more.
    EXPECT_FALSE(Enabled(m_form, "ActRename"));
    EXPECT_FALSE(Enabled(m_form, "ActUndo"));
}

TEST_F(MainFormScan, FilterAndSubfoldersComeFromTheBoxes) {
    m_dir.Write("one.MP3");
    m_dir.Write("two.txt");
    m_dir.Write("sub/three.mp3");
    Find<QComboBox>(m_form, "cbFilter")->setEditText("*.mp3");
    Find<QCheckBox>(m_form, "TbIncludeSub")->setChecked(true);
    ASSERT_TRUE(ScanBySelecting(m_form, m_dir.Path()));
    const FileRows& rows = ListOf(m_form).Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].originalName, "one.MP3"); // root files first
    EXPECT_EQ(rows[1].FullPath(), m_dir.Path() + "sub/three.mp3");
}

TEST_F(MainFormScan, TickedIncludeFoldersListsFoldersBeforeTheirFiles) {
    m_dir.Write("Album 1/a.mp3");
    m_dir.Write("b.mp3");
    for (const char* box : {"TbIncludeSub", "TbIncludeFolders"}) {
        auto* tick = Find<QCheckBox>(m_form, box);
        ASSERT_TRUE(test::Reach(tick));
        test::ClickButton(tick);
        EXPECT_TRUE(tick->isChecked()) << box;
    }
    ASSERT_TRUE(ScanBySelecting(m_form, m_dir.Path()));
    const FileListModel& list = ListOf(m_form);
    std::set<std::string> paths;
    for (int row = 0; row < list.RowCount(); ++row) {
        const FileRow& fileRow = list.Rows()[static_cast<std::size_t>(row)];
        paths.insert(fileRow.FullPath().substr(m_dir.Path().size()));
        const bool folder = fileRow.originalName == "Album 1";
        EXPECT_EQ(list.CellText(row, FileListModel::ColType), folder ? "Folder" : ".mp3");
        EXPECT_EQ(list.CellText(row, FileListModel::ColSize).isEmpty(), folder);
    }
    EXPECT_EQ(paths, (std::set<std::string>{"Album 1", "Album 1/a.mp3", "b.mp3"}));
}

TEST_F(MainFormScan, RefreshWithoutAFolderEmptiesTheListAndThePathBox) {
    auto* path = Find<QComboBox>(m_form, "cbFavorite");
    ListOf(m_form).AppendRows({FileRow{}});
    path->setEditText("/somewhere");
    test::RunCommand(m_form, "ActRefresh");
    EXPECT_EQ(ListOf(m_form).RowCount(), 0);
    EXPECT_EQ(path->currentText(), "");
    EXPECT_EQ(Find<ScanController>(m_form, "ScanController")->SearchCount(), 0);
    EXPECT_EQ(Find<QLabel>(m_form, "StatusPanel0")->text(), "Total files : 0");
}

TEST_F(MainFormScan, RequestsWhileAScanRunsAreIgnored) {
    TempDir first;
    first.Write("first.txt");
    m_dir.Write("a.txt");
    const RunningScan running(m_form, first.Path());
    ListOf(m_form).AppendRows({FileRow{}});
    test::ReachIdle();
    EXPECT_FALSE(Enabled(m_form, "ActRefresh"));
    EXPECT_FALSE(Enabled(m_form, "ActPreview"));
    // The tree follows another folder; the list does not.
    auto* tree = Find<FolderTree>(m_form, "ShellTree");
    ASSERT_TRUE(tree->SetPath(Q(m_dir.Path())));
    EXPECT_EQ(tree->SelectedPath(), m_dir.Path());
    EXPECT_EQ(ListOf(m_form).RowCount(), 1);
    EXPECT_EQ(Find<ScanController>(m_form, "ScanController")->SearchCount(), 1);
    EXPECT_TRUE(Enabled(m_form, "ActRefreshTree")); // F5 stays available
}

TEST_F(MainFormScan, RefreshTreeRescansTheSelectedFolder) {
    m_dir.Write("first.txt");
    ASSERT_TRUE(ScanBySelecting(m_form, m_dir.Path()));
    ASSERT_EQ(ListOf(m_form).RowCount(), 1);
    m_dir.Write("second.txt");
    ASSERT_TRUE(WaitForScan(m_form, [&] { Find<QAction>(m_form, "ActRefreshTree")->trigger(); }));
    EXPECT_EQ(Names(m_form), (std::set<std::string>{"first.txt", "second.txt"}));
}

// Types into a box of the shown window as the user does: a click gives it the
// focus, the old text is cleared with the keyboard, the keys go to whatever
// holds the focus then.
void TypeInto(QComboBox* box, const QString& text) {
    ASSERT_TRUE(test::Activate(box->window()));
    test::ClickAt(box);
    ASSERT_EQ(QApplication::focusWidget(), box) << test::NameOf(QApplication::focusWidget());
    test::PressKey(Qt::Key_End);
    for (qsizetype i = box->currentText().size(); i > 0; --i)
        test::PressKey(Qt::Key_Backspace);
    test::TypeText(text);
    ASSERT_EQ(box->currentText(), text);
}

TEST_F(MainFormScan, EnterInThePathBox) {
    m_dir.Write("x.txt");
    m_dir.MakeDir("Music");
    ASSERT_TRUE(test::Activate(&m_form));
    auto* path = Find<QComboBox>(m_form, "cbFavorite");
    auto* tree = Find<FolderTree>(m_form, "ShellTree");
    const int itemsBefore = path->count();

    // Another key, or a path that is no folder: nothing happens.
    TypeInto(path, Q(m_dir.Path()));
    test::PressKey(Qt::Key_A);
    EXPECT_EQ(ListOf(m_form).RowCount(), 0);
    TypeInto(path, Q(m_dir.Path() + "missing"));
    test::PressKey(Qt::Key_Return);
    EXPECT_EQ(path->count(), itemsBefore);
    EXPECT_EQ(tree->SelectedPath(), "");

    TypeInto(path, Q(m_dir.Path()).chopped(1)); // without the final "/"
    ASSERT_TRUE(WaitForScan(m_form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(tree->SelectedPath(), m_dir.Path());
    EXPECT_EQ(Names(m_form), (std::set<std::string>{"x.txt"}));
    EXPECT_EQ(path->count(), itemsBefore + 1);
    EXPECT_EQ(path->currentText(), Q(m_dir.Path())); // as the scan wrote it

    // Other letter case: the same item, not appended again. (Letter case
    // names other folders here, so the stored item is respelled instead.)
    path->setItemText(path->count() - 1, Q(m_dir.Path() + "MUSIC"));
    TypeInto(path, Q(m_dir.Path() + "Music"));
    ASSERT_TRUE(WaitForScan(m_form, [] { test::PressKey(Qt::Key_Enter, Qt::KeypadModifier); }));
    EXPECT_EQ(tree->SelectedPath(), m_dir.Path() + "Music/");
    EXPECT_EQ(path->count(), itemsBefore + 1);
}

TEST_F(MainFormScan, EnterInTheFilterBox) {
    m_dir.Write("keep.log");
    m_dir.Write("skip.txt");
    ASSERT_TRUE(test::Activate(&m_form));
    ASSERT_TRUE(ScanBySelecting(m_form, m_dir.Path()));
    auto* filter = Find<QComboBox>(m_form, "cbFilter");
    const int items = filter->count();

    TypeInto(filter, "*.LOG");
    ASSERT_TRUE(WaitForScan(m_form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(Names(m_form), (std::set<std::string>{"keep.log"}));
    EXPECT_EQ(filter->count(), items + 1);

    TypeInto(filter, "*.log"); // same item in other letter case
    ASSERT_TRUE(WaitForScan(m_form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(filter->count(), items + 1);
    EXPECT_EQ(filter->currentText(), "*.log"); // not respelled as the item

    TypeInto(filter, "");
    ASSERT_TRUE(WaitForScan(m_form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(filter->currentText(), "*.*");
    EXPECT_EQ(ListOf(m_form).RowCount(), 2);
    EXPECT_EQ(filter->count(), items + 1);
}

TEST_F(MainFormScan, RestoredPathStartsTheFirstScanOnShow) {
    m_dir.Write("song.mp3");
    m_window.settings.Write("Options.ini", "[Main]\nFavorite=" + m_dir.Path() + "\n");
    ASSERT_TRUE(WaitForScan(m_form, [&] { m_form.show(); }));
    EXPECT_EQ(Find<FolderTree>(m_form, "ShellTree")->SelectedPath(), m_dir.Path());
    EXPECT_EQ(ListOf(m_form).RowCount(), 1);
}

TEST_F(MainFormScan, ClosingTheWindowDuringAScanIsSafe) {
    for (int i = 0; i < 3000; ++i)
        m_dir.Write("sub/f" + std::to_string(i) + ".txt");
    auto window = std::make_unique<Window>();
    window->Control<QCheckBox>("TbIncludeSub")->setChecked(true);
    ASSERT_TRUE(window->Control<FolderTree>("ShellTree")->SetPath(Q(m_dir.Path())));
    EXPECT_EQ(window->Control<ScanController>("ScanController")->SearchCount(), 1);
    window.reset(); // must neither crash nor hang
}

// ---- Preview ----

struct PreviewWindow : Window {
    PreviewWindow() {
        dir.Write("alpha.txt");
        dir.Write("beta.txt");
        dir.Write("Gamma.Doc");
        ok = ScanBySelecting(form, dir.Path());
    }
    std::vector<std::string> NewNames() {
        return test::FieldOfEach(ListOf(form).Rows(), &FileRow::newName);
    }
    TempDir dir;
    bool ok = false;
};

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

TEST(MainFormPreview, UpperCaseWithNoneSelectedSelectsAll) {
    PreviewWindow window;
    ASSERT_TRUE(window.ok);
    TMainForm& form = window.form;
    FileListModel& list = ListOf(form);
    Find<QTabWidget>(form, "pgcGeneral")->setCurrentIndex(0);
    Find<QRadioButton>(form, "MFRB3")->setChecked(true); // "UPPER"
    test::ReachIdle();
    ASSERT_TRUE(Enabled(form, "ActPreview"));
    Find<QAction>(form, "ActPreview")->trigger();

    test::ReachIdle();
    EXPECT_TRUE(Enabled(form, "ActRename")); // previewed
    for (const FileRow& row : list.Rows()) {
        EXPECT_TRUE(row.selected);
        EXPECT_EQ(row.newName, Upper(BaseNameOf(row.originalName)) + ExtensionOf(row.originalName));
    }
    EXPECT_EQ(list.SelectedCount(), 3u);
    EXPECT_EQ(Find<FileListView>(form, "ListView")->selectionModel()->selectedRows().size(), 3);
    EXPECT_EQ(Find<QLabel>(form, "StatusPanel1")->text(), "Selectd files : 3");
    EXPECT_EQ(list.CellText(0, FileListModel::ColNewName), Q(list.Rows()[0].newName));
}

TEST(MainFormPreview, OnlyTheSelectedRowsGetNames) {
    PreviewWindow window;
    ASSERT_TRUE(window.ok);
    TMainForm& form = window.form;
    Find<QRadioButton>(form, "MFRB3")->setChecked(true);
    test::RunCommand(form, "ActPreview"); // all three named
    Find<FileListView>(form, "ListView")
        ->selectionModel()
        ->select(ListOf(form).index(1, 0),
                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    test::RunCommand(form, "ActPreview");
    const std::vector<std::string> names = window.NewNames();
    EXPECT_TRUE(names[0].empty());
    EXPECT_FALSE(names[1].empty());
    EXPECT_TRUE(names[2].empty());
    EXPECT_EQ(Find<QLabel>(form, "StatusPanel1")->text(), "Selectd files : 1");
}

TEST(MainFormPreview, EmptyListWarns) {
    Window window;
    TMainForm& form = window.form;
    auto* selected = Find<QLabel>(form, "StatusPanel1");
    selected->setText("untouched");
    {
        const Boxes boxes(MsgAnswer::Yes);
        PreviewEmptiedList(form);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].type, MsgType::Warning);
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Yes);
        EXPECT_EQ(boxes.shown[0].text, "There is no files in File list!");
    }
    test::ReachIdle();
    EXPECT_TRUE(Enabled(form, "ActRename")); // previewed all the same
    EXPECT_EQ(selected->text(), "untouched");
}

TEST(MainFormPreview, Availability) {
    struct Case {
        bool rows;
        bool scanning;
        bool applied;
        int page;
        bool mp3;
        bool enabled;
    } cases[] = {
        {true, false, false, 0, false, true},  {false, false, false, 0, false, false},
        {true, true, false, 0, false, false},  {true, false, true, 0, false, false},
        {true, false, false, 4, false, false}, {true, false, false, 4, true, true},
        {true, false, false, 5, false, true},  {false, false, false, 0, true, false},
    };
    const TempDir folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << c.scanning << c.applied << c.page << c.mp3);
        Window window;
        TMainForm& form = window.form;
        std::unique_ptr<RunningScan> running;
        if (c.scanning)
            running = std::make_unique<RunningScan>(form, folder.Path());
        if (c.rows)
            ListOf(form).AppendRows({FileRow{}});
        if (c.applied) {
            const Boxes boxes;
            test::RunCommand(form, "ActPreview");
            test::RunCommand(form, "ActRename");
        }
        Find<QTabWidget>(form, "pgcGeneral")->setCurrentIndex(c.page);
        if (c.mp3)
            Find<QToolButton>(form, "TbRenameMp3")->click();
        ASSERT_EQ(Find<FloatingPanel>(form, "TB97Mp3")->Shown(), c.mp3);
        test::ReachIdle();
        EXPECT_EQ(Enabled(form, "ActPreview"), c.enabled);
        EXPECT_EQ(Find<QToolButton>(form, "TbPreview")->isEnabled(), c.enabled);
    }
}

TEST(MainFormPreview, Mp3PanelUsesTheTagFormatter) {
    TempDir dir;
    std::string tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, 5, "Title");
    tag.replace(33, 6, "Artist");
    tag[127] = static_cast<char>(255);
    dir.Write("tagged.mp3", std::string(64, 'x') + tag);
    dir.Write("plain.mp3", std::string(200, 'y'));
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(ScanBySelecting(form, dir.Path()));
    Find<QToolButton>(form, "TbRenameMp3")->click();
    ASSERT_TRUE(Find<FloatingPanel>(form, "TB97Mp3")->Shown());
    test::RunCommand(form, "ActPreview");
    test::ReachIdle();
    EXPECT_TRUE(Enabled(form, "ActRename")); // previewed
    int named = 0;
    for (const FileRow& row : ListOf(form).Rows()) {
        if (row.originalName == "tagged.mp3") {
            EXPECT_TRUE(row.selected);
            EXPECT_NE(row.newName.find("Title"), std::string::npos) << row.newName;
            ++named;
        } else {
            EXPECT_FALSE(row.selected); // no tag: left out
            EXPECT_TRUE(row.newName.empty());
        }
    }
    EXPECT_EQ(named, 1);
    EXPECT_EQ(Find<QLabel>(form, "StatusPanel1")->text(), "Selectd files : 1");
}

} // namespace
} // namespace quorvane
