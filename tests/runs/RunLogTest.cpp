// "Log.txt": where it goes, its bytes, and what happens when it cannot be written.
#include "runs/RunLog.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace quorvane {
namespace {

using test::LockFolder;
using test::TempDir;

std::string Content(const std::string& path) {
    return test::ReadFile(path);
}

class RunLogTest : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override { SetRunLogFolder(dir.Path()); }
    void TearDown() override { SetRunLogFolder({}); }
};

TEST_F(RunLogTest, EveryRunRewritesTheFile) {
    ASSERT_EQ(RunLogPath(), dir.Path() + "Log.txt");

    ASSERT_EQ(WriteRunLog(RunLogPath(), {"/m/a.txt -------> /m/b.txt   [Fail]", "second"}), 0);
    EXPECT_EQ(Content(RunLogPath()), "/m/a.txt -------> /m/b.txt   [Fail]\r\nsecond\r\n");

    ASSERT_EQ(WriteRunLog(RunLogPath(), {"third"}), 0);
    EXPECT_EQ(Content(RunLogPath()), "third\r\n");

    ASSERT_EQ(WriteRunLog(RunLogPath(), {}), 0);
    EXPECT_TRUE(std::filesystem::exists(RunLogPath()));
    EXPECT_EQ(std::filesystem::file_size(RunLogPath()), 0u);
}

TEST_F(RunLogTest, AnImmutableFolderReportsTheFailure) {
    ASSERT_TRUE(LockFolder(dir.Path()));
    EXPECT_NE(WriteRunLog(RunLogPath(), {"line"}), 0);
    EXPECT_FALSE(std::filesystem::exists(RunLogPath()));
}

TEST(RunSummaryText, TextsOfTheThreeRuns) {
    RunResult clean;
    RunResult failed;
    failed.selectedAtStart = 3;
    failed.failedFiles = 3;
    const std::string warning = "Total files : 3\rFiles can not be renamed : 3\r"
                                "Please click the  [OK]  button to view the log.";
    struct Case {
        RunKind kind;
        const RunResult& result;
        std::string text;
    };
    const Case cases[] = {
        {RunKind::Rename, clean, "All the selected files have been processed successfully!"},
        {RunKind::Undo, clean, "All the selected files have been processed successfully!"},
        {RunKind::Attributes, clean,
         "All the attributes of selected files have been processed successfully!"},
        {RunKind::Rename, failed, warning},
        {RunKind::Undo, failed, warning},
        {RunKind::Attributes, failed, warning},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunSummaryText(c.kind, c.result), c.text);
}

} // namespace
} // namespace quorvane
