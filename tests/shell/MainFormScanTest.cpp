// The scan and Preview as the window runs them, offscreen, in temporary folders.
#include "shell/TMainForm.h"

#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/TSearchForm.h"
#include "shell/TSearchThread.h"
#include "support/Input.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace quorvane {
namespace {

using test::TempDir;

struct Window {
    Window() { form.SettingsFolder = settings.Path(); }
    TempDir settings;
    TMainForm form;
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Points the tree at the folder and waits until the scan it starts has ended.
bool ScanBySelecting(TMainForm& form, const std::string& folder) {
    QSignalSpy done(form.SearchThread, &TSearchThread::SearchDone);
    if (!form.ShellTree->SetPath(Q(folder)))
        return false;
    return done.count() > 0 || done.wait(10'000);
}

bool WaitForScan(TMainForm& form, const std::function<void()>& start) {
    QSignalSpy done(form.SearchThread, &TSearchThread::SearchDone);
    start();
    return done.count() > 0 || done.wait(10'000);
}

std::set<std::string> Names(TMainForm& form) {
    std::set<std::string> names;
    for (const FileRow& row : form.ListModel->Rows())
        names.insert(row.originalName);
    return names;
}

TEST(MainFormScan, ChoosingAFolderFillsTheListAndTheStatusPanels) {
    TempDir dir;
    dir.Write("a.txt");
    dir.Write("b.mp3");
    dir.Write("c.doc");
    dir.Write("sub/deep.txt");
    Window window;
    TMainForm& form = window.form;
    form.Previewed = true;
    form.Applied = true;
    form.ListModel->SetHeaderCaption(0, "New Name");

    ASSERT_TRUE(ScanBySelecting(form, dir.Path()));
    EXPECT_EQ(Names(form), (std::set<std::string>{"a.txt", "b.mp3", "c.doc"}));
    EXPECT_EQ(form.StatusPanel0->text(), "Total files : 3");
    EXPECT_EQ(form.StatusPanel1->text(), "Selectd files : 0");
    EXPECT_EQ(form.ListModel->headerData(0, Qt::Horizontal).toString(), "Original Name");
    EXPECT_EQ(form.ListModel->headerData(1, Qt::Horizontal).toString(), "New Name");
    EXPECT_FALSE(form.Previewed);
    EXPECT_FALSE(form.Applied);
    EXPECT_EQ(form.SearchCount, 0);
    EXPECT_EQ(form.cbFavorite->currentText(), Q(dir.Path()));
    EXPECT_TRUE(form.SearchForm.isNull() || !form.SearchForm->isVisible());
    for (const FileRow& row : form.ListModel->Rows()) {
        EXPECT_EQ(row.Path(), dir.Path());
        EXPECT_FALSE(row.selected);
        EXPECT_TRUE(row.newName.empty());
    }
    form.UpdateActions();
    EXPECT_TRUE(form.ActPreview->isEnabled());
    EXPECT_TRUE(form.ActRefresh->isEnabled());
}

TEST(MainFormScan, FilterAndSubfoldersComeFromTheBoxes) {
    TempDir dir;
    dir.Write("one.MP3");
    dir.Write("two.txt");
    dir.Write("sub/three.mp3");
    Window window;
    TMainForm& form = window.form;
    form.cbFilter->setEditText("*.mp3");
    form.TbIncludeSub->setChecked(true);
    ASSERT_TRUE(ScanBySelecting(form, dir.Path()));
    ASSERT_EQ(form.ListModel->RowCount(), 2);
    EXPECT_EQ(form.ListModel->Rows()[0].originalName, "one.MP3"); // root files first
    EXPECT_EQ(form.ListModel->Rows()[1].FullPath(), dir.Path() + "sub/three.mp3");
}

TEST(MainFormScan, RefreshWithoutAFolderEmptiesTheListAndThePathBox) {
    Window window;
    TMainForm& form = window.form;
    form.ListModel->AppendRows({FileRow{}});
    form.cbFavorite->setEditText("/somewhere");
    form.ActRefreshExecute();
    EXPECT_EQ(form.ListModel->RowCount(), 0);
    EXPECT_EQ(form.cbFavorite->currentText(), "");
    EXPECT_EQ(form.SearchCount, 0);
    EXPECT_EQ(form.StatusPanel0->text(), "Total files : 0");
}

TEST(MainFormScan, RequestsWhileAScanRunsAreIgnored) {
    TempDir dir;
    dir.Write("a.txt");
    Window window;
    TMainForm& form = window.form;
    form.SearchCount = 1; // as while a walk runs
    form.ListModel->AppendRows({FileRow{}});
    test::ReachIdle();
    EXPECT_FALSE(form.ActRefresh->isEnabled());
    EXPECT_FALSE(form.ActPreview->isEnabled());
    // The tree follows another folder; the list does not.
    ASSERT_TRUE(form.ShellTree->SetPath(Q(dir.Path())));
    EXPECT_EQ(form.ShellTree->SelectedPath(), dir.Path());
    EXPECT_EQ(form.ListModel->RowCount(), 1);
    EXPECT_TRUE(form.ActRefreshTree->isEnabled()); // F5 stays available
}

TEST(MainFormScan, RefreshTreeRescansTheSelectedFolder) {
    TempDir dir;
    dir.Write("first.txt");
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(ScanBySelecting(form, dir.Path()));
    ASSERT_EQ(form.ListModel->RowCount(), 1);
    dir.Write("second.txt");
    ASSERT_TRUE(WaitForScan(form, [&] { form.ActRefreshTree->trigger(); }));
    EXPECT_EQ(Names(form), (std::set<std::string>{"first.txt", "second.txt"}));
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

TEST(MainFormScan, EnterInThePathBox) {
    TempDir dir;
    dir.Write("x.txt");
    dir.MakeDir("Music");
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    const int itemsBefore = form.cbFavorite->count();

    // Another key, or a path that is no folder: nothing happens.
    TypeInto(form.cbFavorite, Q(dir.Path()));
    test::PressKey(Qt::Key_A);
    EXPECT_EQ(form.ListModel->RowCount(), 0);
    TypeInto(form.cbFavorite, Q(dir.Path() + "missing"));
    test::PressKey(Qt::Key_Return);
    EXPECT_EQ(form.cbFavorite->count(), itemsBefore);
    EXPECT_EQ(form.ShellTree->SelectedPath(), "");

    TypeInto(form.cbFavorite, Q(dir.Path()).chopped(1)); // without the final "/"
    ASSERT_TRUE(WaitForScan(form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(form.ShellTree->SelectedPath(), dir.Path());
    EXPECT_EQ(Names(form), (std::set<std::string>{"x.txt"}));
    EXPECT_EQ(form.cbFavorite->count(), itemsBefore + 1);
    EXPECT_EQ(form.cbFavorite->currentText(), Q(dir.Path())); // as the scan wrote it

    // Other letter case: the same item, not appended again. (Letter case
    // names other folders here, so the stored item is respelled instead.)
    form.cbFavorite->setItemText(form.cbFavorite->count() - 1, Q(dir.Path() + "MUSIC"));
    TypeInto(form.cbFavorite, Q(dir.Path() + "Music"));
    ASSERT_TRUE(WaitForScan(form, [] { test::PressKey(Qt::Key_Enter, Qt::KeypadModifier); }));
    EXPECT_EQ(form.ShellTree->SelectedPath(), dir.Path() + "Music/");
    EXPECT_EQ(form.cbFavorite->count(), itemsBefore + 1);
}

TEST(MainFormScan, EnterInTheFilterBox) {
    TempDir dir;
    dir.Write("keep.log");
    dir.Write("skip.txt");
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    ASSERT_TRUE(ScanBySelecting(form, dir.Path()));
    const int items = form.cbFilter->count();

    TypeInto(form.cbFilter, "*.LOG");
    ASSERT_TRUE(WaitForScan(form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(Names(form), (std::set<std::string>{"keep.log"}));
    EXPECT_EQ(form.cbFilter->count(), items + 1);

    TypeInto(form.cbFilter, "*.log"); // same item in other letter case
    ASSERT_TRUE(WaitForScan(form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(form.cbFilter->count(), items + 1);
    EXPECT_EQ(form.cbFilter->currentText(), "*.log"); // not respelled as the item

    TypeInto(form.cbFilter, "");
    ASSERT_TRUE(WaitForScan(form, [] { test::PressKey(Qt::Key_Return); }));
    EXPECT_EQ(form.cbFilter->currentText(), "*.*");
    EXPECT_EQ(form.ListModel->RowCount(), 2);
    EXPECT_EQ(form.cbFilter->count(), items + 1);
}

TEST(MainFormScan, RestoredPathStartsTheFirstScanOnShow) {
    TempDir dir;
    dir.Write("song.mp3");
    Window window;
    window.settings.Write("Options.ini", "[Main]\nFavorite=" + dir.Path() + "\n");
    TMainForm& form = window.form;
    QSignalSpy done(form.SearchThread, &TSearchThread::SearchDone);
    form.show();
    ASSERT_TRUE(done.count() > 0 || done.wait(10'000));
    EXPECT_EQ(form.ShellTree->SelectedPath(), dir.Path());
    EXPECT_EQ(form.ListModel->RowCount(), 1);
}

TEST(MainFormScan, ClosingTheWindowDuringAScanIsSafe) {
    TempDir dir;
    for (int i = 0; i < 3000; ++i)
        dir.Write("sub/f" + std::to_string(i) + ".txt");
    auto window = std::make_unique<Window>();
    window->form.TbIncludeSub->setChecked(true);
    ASSERT_TRUE(window->form.ShellTree->SetPath(Q(dir.Path())));
    EXPECT_EQ(window->form.SearchCount, 1);
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
        std::vector<std::string> names;
        for (const FileRow& row : form.ListModel->Rows())
            names.push_back(row.newName);
        return names;
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
    form.Pages->pgcGeneral->setCurrentIndex(0);
    form.Pages->MFRB3->setChecked(true); // "UPPER"
    form.UpdateActions();
    ASSERT_TRUE(form.ActPreview->isEnabled());
    form.ActPreview->trigger();

    EXPECT_TRUE(form.Previewed);
    for (const FileRow& row : form.ListModel->Rows()) {
        EXPECT_TRUE(row.selected);
        EXPECT_EQ(row.newName, Upper(BaseNameOf(row.originalName)) + ExtensionOf(row.originalName));
    }
    EXPECT_EQ(form.ListModel->SelectedCount(), 3u);
    EXPECT_EQ(form.ListView->selectionModel()->selectedRows().size(), 3);
    EXPECT_EQ(form.StatusPanel1->text(), "Selectd files : 3");
    EXPECT_EQ(form.ListModel->CellText(0, FileListModel::ColNewName),
              Q(form.ListModel->Rows()[0].newName));
}

TEST(MainFormPreview, OnlyTheSelectedRowsGetNames) {
    PreviewWindow window;
    ASSERT_TRUE(window.ok);
    TMainForm& form = window.form;
    form.Pages->MFRB3->setChecked(true);
    form.ActPreviewExecute(); // all three named
    form.ListView->selectionModel()->select(form.ListModel->index(1, 0),
                                            QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Rows);
    form.ActPreviewExecute();
    const std::vector<std::string> names = window.NewNames();
    EXPECT_TRUE(names[0].empty());
    EXPECT_FALSE(names[1].empty());
    EXPECT_TRUE(names[2].empty());
    EXPECT_EQ(form.StatusPanel1->text(), "Selectd files : 1");
}

TEST(MainFormPreview, EmptyListWarns) {
    Window window;
    TMainForm& form = window.form;
    std::vector<MessageRequest> shown;
    SetMessageHook([&](const MessageRequest& request) {
        shown.push_back(request);
        return MsgAnswer::Yes;
    });
    form.StatusPanel1->setText("untouched");
    form.ActPreviewExecute();
    SetMessageHook({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].type, MsgType::Warning);
    EXPECT_EQ(shown[0].buttons, MsgButtons::Yes);
    EXPECT_EQ(shown[0].text, "There is no files in File list!");
    EXPECT_TRUE(form.Previewed);
    EXPECT_EQ(form.StatusPanel1->text(), "untouched");
}

TEST(MainFormPreview, Availability) {
    Window window;
    TMainForm& form = window.form;
    struct Case {
        bool rows;
        int searchCount;
        bool applied;
        int page;
        bool mp3;
        bool enabled;
    } cases[] = {
        {true, 0, false, 0, false, true},  {false, 0, false, 0, false, false},
        {true, 1, false, 0, false, false}, {true, 0, true, 0, false, false},
        {true, 0, false, 4, false, false}, {true, 0, false, 4, true, true},
        {true, 0, false, 5, false, true},  {false, 0, false, 0, true, false},
    };
    for (const Case& c : cases) {
        form.ListModel->Clear();
        if (c.rows)
            form.ListModel->AppendRows({FileRow{}});
        form.SearchCount = c.searchCount;
        form.Applied = c.applied;
        form.Pages->pgcGeneral->setCurrentIndex(c.page);
        if (form.Mp3PanelVisible() != c.mp3)
            form.TbRenameMp3->click();
        test::ReachIdle();
        EXPECT_EQ(form.ActPreview->isEnabled(), c.enabled)
            << c.rows << c.searchCount << c.applied << c.page << c.mp3;
        EXPECT_EQ(form.TbPreview->isEnabled(), c.enabled);
    }
    form.SearchCount = 0;
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
    form.TbRenameMp3->click();
    ASSERT_TRUE(form.Mp3PanelVisible());
    form.ActPreviewExecute();
    EXPECT_TRUE(form.Previewed);
    int named = 0;
    for (const FileRow& row : form.ListModel->Rows()) {
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
    EXPECT_EQ(form.StatusPanel1->text(), "Selectd files : 1");
}

} // namespace
} // namespace quorvane
