// The save of "Options.ini": what else the file holds is kept, a save that
// cannot write changes nothing, and the end of one run starts the next.
#include "platform/IniFile.h"
#include "shell/OptionsFixture.h"
#include "shell/TSearchThread.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>

#include <filesystem>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::Shell;

TEST_F(OptionsTest, TheSaveKeepsWhatElseTheFileHolds) {
    const auto window =
        StartWith("; kept\r\n[Other]\r\nmine=1\r\n[Main]\r\nLeft=130\r\nextra=yes\r\n");
    Find<QLineEdit>(*window, "meSource")->setText("x");
    window->SaveOptions();
    IniFile saved(window->SettingsPath());
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.ReadString("Other", "mine", ""), "1");
    EXPECT_EQ(saved.ReadString("Main", "extra", ""), "yes");
    EXPECT_EQ(saved.ReadString("Main", "Left", ""), "130");
    EXPECT_EQ(saved.ReadString("Insert", "InsertStr", ""), "x");
    EXPECT_EQ(ReadFile(window->SettingsPath())
                  .rfind("; kept\r\n[Other]\r\nmine=1\r\n[Main]\r\nLeft=130\r\n", 0),
              0u);
}

TEST_F(OptionsTest, ASaveThatCannotWriteLeavesTheOldFileUnchanged) {
    const std::string old = "[Main]\r\nLeft=130\r\nTop=40\r\n";
    const std::string path = m_dir.Write("Options.ini", old);
    {
        const auto window = Start(m_dir.Path());
        Find<QLineEdit>(*window, "meSource")->setText("changed");
        ASSERT_TRUE(test::LockFolder(m_dir.Path()));
        window->SaveOptions();
        EXPECT_EQ(ReadFile(path), old);
        // The window's own end saves again and fails the same way.
    }
    EXPECT_EQ(ReadFile(path), old);
    test::UnlockFolder(m_dir.Path());
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1);

    // An immutable file in a writable folder: the rename over it fails.
    {
        const auto window = Start(m_dir.Path());
        Find<QLineEdit>(*window, "meSource")->setText("changed");
        if (!test::MakeImmutable(path))
            GTEST_SKIP() << "chattr +i refused: needs root and a file system with the flag";
        window->SaveOptions();
    }
    EXPECT_EQ(ReadFile(path), old);
    ASSERT_EQ(Shell("chattr -i '" + path + "'"), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(OptionsTest, AFileThatCannotBeReadIsNeitherAppliedNorReplaced) {
    // A folder in the file's place: opening works, reading fails.
    m_dir.MakeDir("Options.ini");
    m_dir.Write("Options.ini/inside", "x");
    {
        const auto window = Start(m_dir.Path());
        // The built-in state stays, which differs from the defaults here.
        EXPECT_TRUE(Find<QCheckBox>(*window, "chkAllSub")->isChecked());
        EXPECT_EQ(window->size(), QSize(667, 500).expandedTo(window->minimumSize()));
    }
    EXPECT_TRUE(fs::is_directory(m_dir.Path() + "Options.ini"));
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(OptionsTest, TheEndOfOneRunIsTheStartOfTheNext) {
    {
        const auto window = Start(m_dir.Path());
        ASSERT_TRUE(test::Activate(window.get()));
        ASSERT_TRUE(
            test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbView"), {"PathMenuItem"}));
        Find<QTabWidget>(*window, "pgcGeneral")->setCurrentIndex(3);
        Find<QLineEdit>(*window, "edTarget")->setText("new");
        test::ClickAt(Find<QToolButton>(*window, "TbRenameMp3"));
        Find<QComboBox>(*window, "cbFormat")->setEditText("%2 (%4)");
        ASSERT_TRUE(test::Reach(Find<QToolButton>(*window, "Image2")));
        test::ClickAt(Find<QToolButton>(*window, "Image2"));
        ASSERT_TRUE(test::Activate(window.get()));
        ASSERT_TRUE(
            test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbFile"), {"ExitMenuItem"}));
    }
    ASSERT_TRUE(fs::exists(m_dir.Path() + "Options.ini"));
    const auto window = Start(m_dir.Path());
    EXPECT_FALSE(ControlShown(*window, "cbFavorite"));
    EXPECT_FALSE(Find<QAction>(*window, "PathMenuItem")->isChecked());
    EXPECT_TRUE(Find<QToolButton>(*window, "TbRenameMp3")->isChecked());
    EXPECT_FALSE(Find<QToolButton>(*window, "TbRenameFiles")->isChecked());
    EXPECT_TRUE(Find<FloatingPanel>(*window, "TB97Mp3")->isVisible());
    EXPECT_FALSE(Find<FloatingPanel>(*window, "TB97Rename")->isVisible());
    EXPECT_EQ(Find<QComboBox>(*window, "cbFilter")->currentText(), "*.mp3");
    EXPECT_EQ(Find<QTabWidget>(*window, "pgcGeneral")->currentIndex(), 3);
    EXPECT_EQ(Find<QLineEdit>(*window, "edTarget")->text(), "new");
    EXPECT_EQ(Find<QComboBox>(*window, "cbFormat")->currentText(), "%2 (%4)");
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "cbFormat")).count("%2 (%4)"), 1);
}

TEST_F(OptionsTest, ARestoredFolderIsScannedAtStart) {
    TempDir files;
    files.Write("song.mp3", "x");
    files.Write("note.txt", "y");
    auto window = std::make_unique<TMainForm>();
    window->SetSettingsFolder(m_dir.Path());
    m_dir.Write("Options.ini", "[Main]\r\nFavorite=" + files.Path() + "\r\n");
    ASSERT_TRUE(test::WaitForScan(*window, [&] { window->show(); }));
    EXPECT_EQ(Find<FolderTree>(*window, "ShellTree")->SelectedPath(), files.Path());
    EXPECT_EQ(Find<QLabel>(*window, "StatusPanel0")->text(), "Total files : 2");
}

TEST_F(OptionsTest, AMissingRestoredFolderStartsNoScan) {
    auto window = std::make_unique<TMainForm>();
    window->SetSettingsFolder(m_dir.Path());
    m_dir.Write("Options.ini", "[Main]\r\nFavorite=" + m_dir.Path() + "gone/\r\n");
    QSignalSpy done(Find<TSearchThread>(*window, "SearchThread"), &TSearchThread::SearchDone);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText().toStdString(),
              m_dir.Path() + "gone/");
    EXPECT_TRUE(Find<FolderTree>(*window, "ShellTree")->SelectedPath().empty());
    EXPECT_EQ(done.count(), 0);
}

} // namespace
} // namespace quorvane
