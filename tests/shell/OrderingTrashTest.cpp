// Deleting files to the trash, with HOME and XDG_DATA_HOME pointed at fresh
// temporary folders so the user's own trash is never touched.
#include "shell/Trash.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::Shell;
using test::TempDir;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

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
    ASSERT_EQ(Shell("chattr +i '" + m_files.Path() + "locked'"), 0);

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
        ASSERT_EQ(Shell("chattr +i '" + locked + "'"), 0);
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

} // namespace
} // namespace quorvane
