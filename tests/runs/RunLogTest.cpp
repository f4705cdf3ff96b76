// "Log.txt": where it goes, its bytes, and what happens when it cannot be written.
#include "runs/RunLog.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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
    std::string RunLogPath() const { return RunLogFilePath(dir.Path()); }
};

TEST_F(RunLogTest, EveryRunRewritesTheFile) {
    ASSERT_EQ(RunLogPath(), dir.Path() + "Log.txt");
    EXPECT_EQ(SettingsFilePath(dir.Path()), dir.Path() + "Options.ini");
    // A folder given without its final "/" still holds both files.
    std::string bare = dir.Path();
    bare.pop_back();
    EXPECT_EQ(RunLogFilePath(bare), RunLogPath());

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

TEST_F(RunLogTest, ControlBytesInNamesAreEscapedOneLinePerFailure) {
    const struct {
        std::string line;
        std::string written;
    } cases[] = {
        {"/m/a.txt -------> /m/a\nb.txt   [Fail]", "/m/a.txt -------> /m/a\\nb.txt   [Fail]"},
        {"/m/t\tab -------> /m/cr\r   [Fail]", "/m/t\\tab -------> /m/cr\\r   [Fail]"},
        {"/m/\x7f\x01\x1b[31m", "/m/\\x7f\\x01\\x1b[31m"},
        {"/m/caf\xc3\xa9 \\n", "/m/caf\xc3\xa9 \\n"}, // UTF-8 and a real backslash stay
    };
    std::vector<std::string> lines;
    std::string expected;
    for (const auto& c : cases) {
        lines.push_back(c.line);
        expected += c.written + "\r\n";
    }
    ASSERT_EQ(WriteRunLog(RunLogPath(), lines), 0);
    EXPECT_EQ(Content(RunLogPath()), expected);
}

// A link, a pipe or another user's file planted where the program keeps
// "Log.txt" or "Options.ini": nothing is read through it or written to it.
TEST_F(RunLogTest, PlantedFilesAreNeitherFollowedNorUsed) {
    const std::string secret = dir.Write("private/secret", "[Main]\r\nkey=private\r\n");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    const std::string absent = dir.Path() + "private/made-through-a-link";
    enum Plant { LinkToPrivate, DanglingLink, Pipe, OtherOwner };
    const struct {
        const char* label;
        Plant plant;
    } cases[] = {
        {"link to a private file", LinkToPrivate},
        {"link to no file", DanglingLink},
        {"pipe", Pipe},
        {"another user's file", OtherOwner},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.plant == OtherOwner && ::geteuid() != 0)
            continue; // only root can give a file away
        const TempDir beside;
        for (const char* name : {"Log.txt", "Options.ini"}) {
            const std::string path = beside.Path() + name;
            if (c.plant == LinkToPrivate || c.plant == DanglingLink) {
                const std::string& target = c.plant == LinkToPrivate ? secret : absent;
                ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
            }
            if (c.plant == Pipe) {
                ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            }
            if (c.plant == OtherOwner) {
                beside.Write(name, "[Main]\r\nkey=theirs\r\n");
                ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
            }
        }
        EXPECT_NE(WriteRunLog(beside.Path() + "Log.txt", {"/m/a -------> /m/b   [Fail]"}), 0);
        IniFile options(beside.Path() + "Options.ini");
        EXPECT_FALSE(options.Load());
        EXPECT_EQ(options.ReadString("Main", "key", "none"), "none");
        options.WriteString("Main", "key", "ours");
        EXPECT_FALSE(options.Save());
        EXPECT_EQ(Content(secret), "[Main]\r\nkey=private\r\n");
        EXPECT_FALSE(std::filesystem::exists(absent));
        if (c.plant == OtherOwner) {
            EXPECT_EQ(Content(beside.Path() + "Log.txt"), "[Main]\r\nkey=theirs\r\n");
            EXPECT_EQ(Content(beside.Path() + "Options.ini"), "[Main]\r\nkey=theirs\r\n");
        }
        EXPECT_EQ(test::Listing(beside.Path()),
                  (std::vector<std::string>{"Log.txt", "Options.ini"}));
    }
}

// The log names private files: 0600 whatever the umask, also when an older
// copy left it readable. A new settings file takes the mode the umask gives.
TEST_F(RunLogTest, TheLogIsPrivateAndNewSettingsFollowTheUmask) {
    const std::string log = dir.Write("Log.txt", "old\r\n");
    ASSERT_EQ(::chmod(log.c_str(), 0644), 0);
    const mode_t previous = ::umask(027);
    const int written = WriteRunLog(log, {"line"});
    IniFile options(dir.Path() + "Options.ini");
    options.WriteInteger("Main", "Left", 1);
    const bool saved = options.Save();
    ::umask(previous);
    ASSERT_EQ(written, 0);
    ASSERT_TRUE(saved);
    struct stat info {};
    ASSERT_EQ(::stat(log.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat(options.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
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
