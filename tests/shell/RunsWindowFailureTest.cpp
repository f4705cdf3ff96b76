// Runs that go wrong, seen through the main window: the warning and the log,
// the error box, the progress bar's place, a history that cannot be written.
#include "shell/RunsWindowFixture.h"

#include <QLabel>
#include <QToolButton>

#include <filesystem>
#include <stdexcept>

namespace quorvane {
namespace {

using test::Find;
using test::Listing;
using test::TempDir;

TEST_F(RunsWindowTest, FailedRenameWarnsAndOkOpensTheLog) {
    m_files.Write("a.txt", "A");
    m_files.Write("new_a.txt", "taken");
    Scan(2);
    // Only a.txt gets a new name, and that name is taken.
    NameRows({{"a.txt", "new_a.txt"}});

    test::RunCommand(m_form, "ActRename");

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
    EXPECT_EQ(LogFileText(), line + "\r\n");

    // The log menu entry shows the same file again.
    ASSERT_TRUE(test::Activate(&m_form));
    ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"), {"mmiLog"}));
    EXPECT_EQ(m_logTexts.size(), 2u);
}

TEST_F(RunsWindowTest, CancelOnTheWarningOpensNoLog) {
    ScanNewFiles({"a.txt"});
    NameRows({{"a.txt", "sub/a.txt"}});
    m_answer = MsgAnswer::Cancel;

    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Warning);
    EXPECT_TRUE(m_logTexts.empty());
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"a.txt"}));
}

// The summary still tells the run; the log that could not be written is one
// more line of it.
TEST_F(RunsWindowTest, UnwritableLogAddsALineToTheSummary) {
    ScanNewFiles({"a.txt"});
    PreviewPrefix();
    ASSERT_TRUE(test::LockFolder(m_settings.Path()));
    // The locked folder holds the run history too: renaming without a record is allowed.
    m_answer = MsgAnswer::Yes;

    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Confirmation);
    EXPECT_EQ(m_boxes[1].type, MsgType::Information);
    EXPECT_TRUE(
        m_boxes[1].text.startsWith("All the selected files have been processed successfully!\r"));
    EXPECT_TRUE(m_boxes[1].text.contains("\rCannot create file \""))
        << m_boxes[1].text.toStdString();
    EXPECT_TRUE(m_boxes[1].text.contains("Log.txt"));
    EXPECT_EQ(Listing(m_files.Path()), (std::vector<std::string>{"new_a.txt"}));
    EXPECT_EQ(Header(0), "New Name");
    EXPECT_TRUE(ProgressBarLeft());
    test::UnlockFolder(m_settings.Path());
}

TEST_F(RunsWindowTest, ProgressBarCoversTheFourthPanelOnlyDuringTheRun) {
    ScanNewFiles({"a.txt", "b.txt"});
    PreviewPrefix();
    HookedFileSystem fs;
    std::vector<QRect> seen;
    fs.beforeRename = [&] {
        if (auto* bar = m_form.findChild<QProgressBar*>("RunProgressBar"))
            seen.push_back(bar->geometry());
    };
    SetWindowRunFileSystem(&fs);

    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], Find<QLabel>(m_form, "StatusPanel3")->geometry());
    EXPECT_TRUE(ProgressBarLeft());
}

TEST_F(RunsWindowTest, AnErrorPartWayRemovesTheBarAndShowsTheErrorBox) {
    ScanNewFiles({"a.txt", "b.txt"});
    PreviewPrefix();
    HookedFileSystem fs;
    int renames = 0;
    fs.beforeRename = [&] {
        if (++renames == 2)
            throw std::runtime_error("out of memory");
    };
    SetWindowRunFileSystem(&fs);

    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Error);
    EXPECT_EQ(m_boxes[0].text, "out of memory");
    EXPECT_TRUE(ProgressBarLeft());
    EXPECT_FALSE(std::filesystem::exists(m_settings.Path() + "Log.txt"));
    // The row done before the error shows its outcome.
    EXPECT_EQ(Find<FileListModel>(m_form, "ListModel")->Rows()[0].newName.substr(0, 4), "<ok>");
}

TEST_F(RunsWindowTest, TimeStampsThatCannotBeSetAreReported) {
    ScanNewFiles({"a.txt", "b.txt"});
    ShowPage(RulePage::Attributes);
    Tick("ChkSetTimeStamp");
    HookedFileSystem fs;
    fs.failTimeStamps = true;
    SetWindowRunFileSystem(&fs);
    m_answer = MsgAnswer::Cancel;

    test::RunCommand(m_form, "ActRename");

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Warning);
    EXPECT_EQ(m_boxes[0].text, "Total files : 0\rFiles can not be renamed : 2\r"
                               "Please click the  [OK]  button to view the log.");
    EXPECT_NE(LogFileText().find("Error occurs when setting the time stamp of " + m_files.Path() +
                                 "a.txt\r\n"),
              std::string::npos);
}

TEST_F(RunsWindowTest, LogEntryOpensNothingWithoutLogFile) {
    ASSERT_TRUE(test::Activate(&m_form));
    ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(m_form, "TbView"), {"mmiLog"}));
    EXPECT_TRUE(m_logTexts.empty());
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
        test::RunCommand(form, "ActRefresh");
        auto* model = Find<FileListModel>(form, "ListModel");
        ASSERT_TRUE(QTest::qWaitFor([&] { return model->Rows().size() == 1; }, 10000));
        PreviewPrefix(form); // a.txt -> new_a.txt
        m_answer = c.answer;
        m_boxes.clear();

        test::RunCommand(form, "ActRename");

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

// A subfolder swapped for a link to a folder outside the list between
// Preview and Apply: the outside folder keeps its names, and the log says
// which row was refused.
TEST_F(RunsWindowTest, SubfolderSwappedForALinkAfterPreviewLeavesTheOutsideAlone) {
    const TempDir outside;
    outside.Write("a.txt", "outside");
    m_files.Write("sub/a.txt", "listed");
    Find<QCheckBox>(m_form, "TbIncludeSub")->setChecked(true);
    Scan(1);
    PreviewPrefix();
    const std::string sub = m_files.Path() + "sub";
    std::filesystem::rename(sub, sub + ".away");
    std::filesystem::create_directory_symlink(outside.Path(), sub);

    test::RunCommand(m_form, "ActRename");

    EXPECT_EQ(Listing(outside.Path()), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(Listing(sub + ".away/"), (std::vector<std::string>{"a.txt"}));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MsgType::Warning);
    EXPECT_EQ(LogFileText(), sub + "/a.txt -------> " + sub + "/new_a.txt   [Changed]\r\n");
}

} // namespace
} // namespace quorvane
