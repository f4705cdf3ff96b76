// Deleting files to the trash, with HOME and XDG_DATA_HOME pointed at fresh
// temporary folders so the user's own trash is never touched.
#include "shell/MessageBoxes.h"
#include "shell/TMainForm.h"
#include "shell/TSearchThread.h"
#include "shell/Trash.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FolderTree.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace quorvane {
namespace {

using test::Find;

namespace fs = std::filesystem;
using test::TempDir;

using test::ReadFile;

// Points the home and data folders at temporary ones for one test.
class TrashEnvironment {
public:
    TrashEnvironment(const std::string& home, const std::string& dataHome)
        : m_home("HOME", home), m_dataHome("XDG_DATA_HOME", dataHome) {}

private:
    test::ScopedEnv m_home;
    test::ScopedEnv m_dataHome;
};

class TrashTest : public ::testing::Test {
protected:
    TempDir m_files;
    TempDir m_home;
    std::string m_dataHome = m_home.Path() + "data/share"; // not there yet
    TrashEnvironment m_environment{m_home.Path(), m_dataHome};
    std::string m_trash = m_dataHome + "/Trash/";
};

TEST_F(TrashTest, MovesFilesIntoTheTrashWithTheirOriginalPaths) {
    const std::string first = m_files.Write("report.txt", "first");
    const std::string second = m_files.Write("sub/report.txt", "second");

    // Work from a folder of our own: nothing may appear in it.
    const std::string workFolder = m_files.MakeDir("cwd");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(workFolder));
    const std::vector<std::string> kept = DeleteFiles({first, second});
    QDir::setCurrent(previous);

    EXPECT_TRUE(kept.empty());
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
    EXPECT_TRUE(fs::is_empty(workFolder));

    // Both went in under distinct names, each with an info entry naming
    // where it came from, so the desktop can restore it.
    std::vector<std::string> contents;
    std::string infos;
    for (const auto& entry : fs::directory_iterator(m_trash + "files"))
        contents.push_back(ReadFile(entry.path().string()));
    for (const auto& entry : fs::directory_iterator(m_trash + "info"))
        infos += ReadFile(entry.path().string());
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"first", "second"}));
    EXPECT_NE(infos.find("Path=" + first + "\n"), std::string::npos) << infos;
    EXPECT_NE(infos.find("Path=" + second + "\n"), std::string::npos) << infos;
}

TEST_F(TrashTest, FileThatCannotBeTrashedStays) {
    const std::string locked = m_files.Write("locked/keep.txt", "keep");
    const std::string missing = m_files.Path() + "no-such-file";
    ASSERT_TRUE(test::LockFolder(m_files.Path() + "locked"));

    EXPECT_FALSE(MoveToTrash(locked));
    EXPECT_FALSE(MoveToTrash(missing));
    EXPECT_FALSE(MoveToTrash(""));
    EXPECT_EQ(DeleteFiles({locked, missing}), (std::vector<std::string>{locked, missing}));
    EXPECT_EQ(ReadFile(locked), "keep");
    // Nothing of the file reached the trash, not even a stray info entry.
    if (fs::exists(m_trash + "info")) {
        EXPECT_TRUE(fs::is_empty(m_trash + "info"));
    }
}

TEST(TrashUnavailable, FileStaysAndNothingAppearsElsewhere) {
    // Where the home trash cannot be made, the file stays where it is, and
    // nothing is created in the current folder instead.
    for (const std::string lockedFolder : {"", "data/share"}) {
        SCOPED_TRACE("locked: home/" + lockedFolder);
        TempDir files;
        TempDir home;
        TrashEnvironment environment(home.Path(), home.Path() + "data/share");
        const std::string locked = home.MakeDir(lockedFolder);
        ASSERT_TRUE(test::LockFolder(locked));
        const std::string file = files.Write("stay.txt", "stay");
        const std::string workFolder = files.MakeDir("cwd");

        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(workFolder));
        const bool moved = MoveToTrash(file);
        QDir::setCurrent(previous);

        EXPECT_FALSE(moved);
        EXPECT_EQ(ReadFile(file), "stay");
        EXPECT_TRUE(fs::is_empty(workFolder));
    }
}

TEST(TrashFolder, RecognisesTrashFilesFolders) {
    struct Case {
        std::string path;
        bool inTrash;
    };
    const std::vector<Case> cases = {
        {"/home/u/.local/share/Trash/files/a.txt", true},
        {"/media/stick/.Trash-1000/files/a.txt", true},
        {"/media/stick/.Trash/1000/files/a.txt", true},
        {"/media/stick/.Trash/files/a.txt", true},
        {"/home/u/files/a.txt", false},            // a "files" folder elsewhere
        {"/home/u/Trash/a.txt", false},            // not inside "files"
        {"/home/u/Trash/files", false},            // the folder itself
        {"/media/stick/Data/1000/files/a", false}, // digits not under .Trash
        {"files/a.txt", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsInTrashFilesFolder(c.path), c.inTrash) << c.path;
}

// The window over a folder of files, with the home and data folders (and so
// the trash) in temporary folders.
class DeleteThroughWindowTest : public ::testing::Test {
protected:
    DeleteThroughWindowTest() {
        m_form.SetSettingsFolder(m_home.Path());
        SetMessageHook([this](const MessageRequest& request) {
            m_questions.push_back(request);
            return m_answer;
        });
    }
    ~DeleteThroughWindowTest() override { SetMessageHook({}); }
    // Shown first: showing loads the settings, which set the boxes.
    void SetUp() override { ASSERT_TRUE(test::Activate(&m_form)); }

    // Lists the folder in the window and waits for the scan to end.
    void Scan() { ASSERT_TRUE(test::ScanBySelecting(m_form, m_files.Path())); }

    void WaitForRescan(QSignalSpy& done) {
        ASSERT_TRUE(done.count() > 0 || done.wait(10000));
        QCoreApplication::processEvents();
    }

    void Select(const std::string& name) {
        const FileRows& rows = Find<FileListModel>(m_form, "ListModel")->Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].originalName == name)
                Find<FileListView>(m_form, "ListView")
                    ->selectionModel()
                    ->select(
                        Find<FileListModel>(m_form, "ListModel")->index(static_cast<int>(i), 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // The list gets the focus as Tab gives it, in the active window.
    void FocusTheList() {
        ASSERT_TRUE(test::Activate(&m_form)); // the progress window may have had the focus
        ASSERT_EQ(test::FocusByTab(Find<FileListView>(m_form, "ListView")),
                  Find<FileListView>(m_form, "ListView"))
            << test::NameOf(QApplication::focusWidget());
    }

    // The real trash, except for the files named in `refused`, which stay.
    void RefuseToTrash(std::vector<std::string> refused) {
        m_form.SetTrashMover([refused](const std::vector<std::string>& paths) {
            std::vector<std::string> kept;
            std::vector<std::string> others;
            for (const std::string& path : paths) {
                const bool refuse = std::find(refused.begin(), refused.end(),
                                              fs::path(path).filename()) != refused.end();
                (refuse ? kept : others).push_back(path);
            }
            for (const std::string& path : DeleteFiles(others))
                kept.push_back(path);
            return kept;
        });
    }

    std::vector<std::string> Listed() const {
        std::vector<std::string> names = test::ListedNames(m_form);
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir m_files;
    TempDir m_home;
    TrashEnvironment m_environment{m_home.Path(), m_home.Path() + ".local/share"};
    std::string m_trash = m_home.Path() + ".local/share/Trash/";
    TMainForm m_form;
    std::vector<MessageRequest> m_questions;
    MsgAnswer m_answer = MsgAnswer::No;
};

TEST_F(DeleteThroughWindowTest, DeleteKeyAsksAndNoKeepsEverything) {
    m_files.Write("a.txt", "a");
    m_files.Write("b.txt", "b");
    Scan();
    ASSERT_EQ(Listed(), (std::vector<std::string>{"a.txt", "b.txt"}));

    // Nothing selected: Delete is unavailable, the key does nothing.
    FocusTheList();
    test::PressKey(Qt::Key_Delete);
    EXPECT_TRUE(m_questions.empty());

    Select("a.txt");
    test::PressKey(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].type, MsgType::Confirmation);
    EXPECT_EQ(m_questions[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_questions[0].text.toStdString(), "Are you sure to delete selected file(s)?");

    EXPECT_EQ(ReadFile(m_files.Path() + "a.txt"), "a");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(Find<FileListModel>(m_form, "ListModel")->SelectedCount(), 1u);
    EXPECT_FALSE(fs::exists(m_trash + "files"));
}

TEST_F(DeleteThroughWindowTest, YesMovesTheSelectedFilesToTheTrashAndRescans) {
    m_files.Write("a.txt", "a");
    m_files.Write("b.txt", "b");
    m_files.Write("c.txt", "c");
    m_files.Write("kept/d.txt", "d");
    RefuseToTrash({"d.txt"});
    Find<QCheckBox>(m_form, "TbIncludeSub")->setChecked(true);
    Scan();
    ASSERT_EQ(Listed(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));

    m_answer = MsgAnswer::Yes;
    Select("a.txt");
    Select("c.txt");
    Select("d.txt"); // a file the trash will not take
    QSignalSpy done(Find<TSearchThread>(m_form, "SearchThread"), &TSearchThread::SearchDone);
    FocusTheList();
    test::PressKey(Qt::Key_Delete);
    WaitForRescan(done);

    // A warning names the file that stayed; the rescan still lists it.
    ASSERT_EQ(m_questions.size(), 2u);
    EXPECT_EQ(m_questions[1].type, MsgType::Warning);
    EXPECT_EQ(m_questions[1].buttons, MsgButtons::Ok);
    EXPECT_EQ(m_questions[1].text.toStdString(),
              "Files can not be moved to the Trash : 1\r" + m_files.Path() + "kept/d.txt");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"b.txt", "d.txt"}));
    EXPECT_EQ(ReadFile(m_files.Path() + "kept/d.txt"), "d");
    EXPECT_FALSE(fs::exists(m_files.Path() + "a.txt"));
    EXPECT_FALSE(fs::exists(m_files.Path() + "c.txt"));

    std::string infos;
    for (const auto& entry : fs::directory_iterator(m_trash + "info"))
        infos += ReadFile(entry.path().string());
    EXPECT_NE(infos.find("Path=" + m_files.Path() + "a.txt\n"), std::string::npos) << infos;
    EXPECT_NE(infos.find("Path=" + m_files.Path() + "c.txt\n"), std::string::npos) << infos;
    EXPECT_EQ(infos.find("d.txt"), std::string::npos) << infos;
    EXPECT_EQ(ReadFile(m_trash + "files/a.txt"), "a");
    EXPECT_EQ(ReadFile(m_trash + "files/c.txt"), "c");
}

TEST_F(DeleteThroughWindowTest, TheWarningNamesTheFirstTenFilesThatStayed) {
    struct Case {
        int files;
        const char* more; // the line after the named files, if any
    };
    const std::vector<Case> cases = {{1, nullptr}, {10, nullptr}, {12, "and 2 more"}};
    m_form.SetTrashMover([](const std::vector<std::string>& paths) { return paths; });
    m_answer = MsgAnswer::Yes;
    Scan();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files);
        for (int i = 0; i < c.files; ++i)
            m_files.Write("f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
        QSignalSpy listed(Find<TSearchThread>(m_form, "SearchThread"), &TSearchThread::SearchDone);
        Find<QAction>(m_form, "ActRefreshTree")->trigger();
        WaitForRescan(listed);
        m_questions.clear();
        QSignalSpy done(Find<TSearchThread>(m_form, "SearchThread"), &TSearchThread::SearchDone);
        Find<QAction>(m_form, "ActSelectAll")->trigger();
        test::ReachIdle();
        Find<QAction>(m_form, "ActDelete")->trigger();
        WaitForRescan(done);

        ASSERT_EQ(m_questions.size(), 2u);
        QStringList lines = m_questions[1].text.split('\r');
        EXPECT_EQ(lines.takeFirst().toStdString(),
                  "Files can not be moved to the Trash : " + std::to_string(c.files));
        if (c.more) {
            EXPECT_EQ(lines.takeLast().toStdString(), c.more);
        }
        std::set<std::string> named;
        for (const QString& line : lines)
            named.insert(line.toStdString());
        EXPECT_EQ(named.size(), std::min<std::size_t>(std::size_t(c.files), 10u));
        for (const std::string& path : named)
            EXPECT_TRUE(fs::exists(path) && path.rfind(m_files.Path(), 0) == 0) << path;
        // Nothing went, so everything is listed again.
        EXPECT_EQ(Find<FileListModel>(m_form, "ListModel")->RowCount(), c.files);
    }
}

} // namespace
} // namespace quorvane
