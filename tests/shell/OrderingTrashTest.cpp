// Deleting files to the trash, with HOME and XDG_DATA_HOME pointed at fresh
// temporary folders so the user's own trash is never touched.
#include "shell/MessageBoxes.h"
#include "shell/TMainForm.h"
#include "shell/TSearchThread.h"
#include "shell/Trash.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FolderTree.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QByteArray>
#include <QCheckBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::Shell;
using test::TempDir;

using test::ReadFile;

// Points the home and data folders at temporary ones for one test.
class TrashEnvironment {
public:
    TrashEnvironment(const std::string& home, const std::string& dataHome)
        : m_home(qgetenv("HOME")), m_dataHome(qgetenv("XDG_DATA_HOME")),
          m_hadDataHome(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
        qputenv("HOME", QByteArray::fromStdString(home));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome));
    }
    ~TrashEnvironment() {
        qputenv("HOME", m_home);
        if (m_hadDataHome)
            qputenv("XDG_DATA_HOME", m_dataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }

private:
    QByteArray m_home;
    QByteArray m_dataHome;
    bool m_hadDataHome;
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
    if (Shell("chattr +i '" + m_files.Path() + "locked' 2>/dev/null") != 0)
        GTEST_SKIP() << "chattr +i is refused here";

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
        if (Shell("chattr +i '" + locked + "' 2>/dev/null") != 0)
            GTEST_SKIP() << "chattr +i is refused here";
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
        m_form.SettingsFolder = m_home.Path();
        SetMessageHook([this](const MessageRequest& request) {
            m_questions.push_back(request);
            return m_answer;
        });
    }
    ~DeleteThroughWindowTest() override { SetMessageHook({}); }

    // Lists the folder in the window and waits for the scan to end.
    void Scan() {
        QSignalSpy done(m_form.SearchThread, &TSearchThread::SearchDone);
        ASSERT_TRUE(m_form.ShellTree->SetPath(QString::fromStdString(m_files.Path())));
        ASSERT_TRUE(done.wait(10000));
    }

    void WaitForRescan(QSignalSpy& done) {
        ASSERT_TRUE(done.count() > 0 || done.wait(10000));
        QCoreApplication::processEvents();
    }

    void Select(const std::string& name) {
        const FileRows& rows = m_form.ListModel->Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].originalName == name)
                m_form.ListView->selectionModel()->select(
                    m_form.ListModel->index(static_cast<int>(i), 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    std::vector<std::string> Listed() const {
        std::vector<std::string> names;
        for (const FileRow& row : m_form.ListModel->Rows())
            names.push_back(row.originalName);
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
    QTest::keyClick(m_form.ListView, Qt::Key_Delete);
    EXPECT_TRUE(m_questions.empty());

    Select("a.txt");
    QTest::keyClick(m_form.ListView, Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].type, MsgType::Confirmation);
    EXPECT_EQ(m_questions[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_questions[0].text.toStdString(), "Are you sure to delete selected file(s)?");

    EXPECT_EQ(ReadFile(m_files.Path() + "a.txt"), "a");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(m_form.ListModel->SelectedCount(), 1u);
    EXPECT_FALSE(fs::exists(m_trash + "files"));
}

TEST_F(DeleteThroughWindowTest, YesMovesTheSelectedFilesToTheTrashAndRescans) {
    m_files.Write("a.txt", "a");
    m_files.Write("b.txt", "b");
    m_files.Write("c.txt", "c");
    m_files.Write("locked/d.txt", "d");
    ASSERT_EQ(Shell("chattr +i '" + m_files.Path() + "locked'"), 0);
    m_form.TbIncludeSub->setChecked(true);
    Scan();
    ASSERT_EQ(Listed(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));

    m_answer = MsgAnswer::Yes;
    Select("a.txt");
    Select("c.txt");
    Select("d.txt"); // in a folder that will not let it go
    QSignalSpy done(m_form.SearchThread, &TSearchThread::SearchDone);
    QTest::keyClick(m_form.ListView, Qt::Key_Delete);
    ASSERT_EQ(m_questions.size(), 1u);
    WaitForRescan(done);

    // The rescan lists what is left; the file that could not be trashed stays.
    EXPECT_EQ(Listed(), (std::vector<std::string>{"b.txt", "d.txt"}));
    EXPECT_EQ(ReadFile(m_files.Path() + "locked/d.txt"), "d");
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

} // namespace
} // namespace quorvane
