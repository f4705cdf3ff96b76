// The rename run and its undo on real temporary folders.
#include "runs/RenameRun.h"
#include "runs/RunLog.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace quorvane {
namespace {

using test::TempDir;

std::string Content(const std::string& path) {
    return test::ReadFile(path);
}

using test::Listing;

FileRow Row(const std::shared_ptr<const std::string>& folder, std::string name, std::string newName,
            bool selected = true) {
    FileRow row;
    row.folder = folder;
    row.originalName = std::move(name);
    row.newName = std::move(newName);
    row.selected = selected;
    return row;
}

class RenameRunTest : public ::testing::Test {
protected:
    TempDir dir;
    std::shared_ptr<const std::string> folder = std::make_shared<const std::string>(dir.Path());
    PlatformFileSystem fs;

    // Every file holds its own first name, so a swap or a loss shows.
    void Files(std::initializer_list<const char*> names) {
        for (const char* name : names)
            dir.Write(name, name);
    }
};

struct RenameCase {
    const char* label;
    std::string newName;
    bool succeeds;
};

TEST_F(RenameRunTest, EachRowIsMarkedByItsOutcome) {
    const std::vector<RenameCase> cases = {
        {"plain", "renamed.txt", true},
        {"same name", "a.txt", true},
        {"case only", "A.TXT", true},
        {"existing target", "taken.txt", false},
        {"slash", "sub/x.txt", false},
        {"parent", "../escaped.txt", false},
        {"dot", ".", false},
        {"dot dot", "..", false},
        {"nul byte", std::string("x\0y", 3), false},
    };
    for (const RenameCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir local;
        auto localFolder = std::make_shared<const std::string>(local.Path());
        local.MakeDir("sub");
        local.Write("a.txt", "mine");
        local.Write("taken.txt", "theirs");
        FileRows rows{Row(localFolder, "a.txt", c.newName)};

        const RunResult result = RenameFiles(rows, fs);

        EXPECT_EQ(rows[0].originalName, c.newName);
        EXPECT_EQ(rows[0].newName, std::string(c.succeeds ? "<ok>" : "<err>") + "a.txt");
        EXPECT_EQ(result.failedFiles, c.succeeds ? 0u : 1u);
        if (c.succeeds) {
            EXPECT_TRUE(result.log.empty());
            EXPECT_EQ(Content(local.Path() + c.newName), "mine");
        } else {
            ASSERT_EQ(result.log.size(), 1u);
            EXPECT_EQ(result.log[0],
                      local.Path() + "a.txt -------> " + local.Path() + c.newName + "   [Fail]");
            // Nothing left the folder and nothing was replaced.
            EXPECT_EQ(Listing(local.Path()),
                      (std::vector<std::string>{"a.txt", "sub", "taken.txt"}));
            EXPECT_EQ(Content(local.Path() + "a.txt"), "mine");
            EXPECT_EQ(Content(local.Path() + "taken.txt"), "theirs");
            EXPECT_TRUE(std::filesystem::is_empty(local.Path() + "sub"));
            EXPECT_FALSE(std::filesystem::exists(local.Path() + "../escaped.txt"));
        }
    }
}

TEST_F(RenameRunTest, RowsWithoutNewNameAreLeftAsTheyAre) {
    Files({"a.txt", "b.txt", "c.txt"});
    FileRows rows{Row(folder, "a.txt", "x.txt"), Row(folder, "b.txt", ""),
                  Row(folder, "c.txt", "z.txt", false)};
    std::vector<std::pair<std::size_t, std::size_t>> progress;

    const RunResult result = RenameFiles(
        rows, fs, [&](std::size_t done, std::size_t total) { progress.emplace_back(done, total); });

    EXPECT_TRUE(result.AllWell());
    EXPECT_EQ(result.selectedAtStart, 2u);
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"b.txt", "x.txt", "z.txt"}));
    EXPECT_EQ(rows[1].originalName, "b.txt");
    EXPECT_EQ(rows[1].newName, "");
    EXPECT_EQ(rows[2].newName, "<ok>c.txt");
    // Progress counts the planned steps: one per row with a new name.
    EXPECT_EQ(progress, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}, {2, 2}}));
}

TEST_F(RenameRunTest, TwoRowsWithTheSameNewNameKeepBothFiles) {
    Files({"a.txt", "b.txt"});
    FileRows rows{Row(folder, "a.txt", "same.txt"), Row(folder, "b.txt", "same.txt")};

    const RunResult result = RenameFiles(rows, fs);

    EXPECT_EQ(result.failedFiles, 1u);
    EXPECT_EQ(result.log.size(), 1u);
    EXPECT_EQ(rows[1].originalName, "same.txt");
    EXPECT_EQ(rows[1].newName, "<err>b.txt");
    EXPECT_EQ(Content(dir.Path() + "same.txt"), "a.txt");
    EXPECT_EQ(Content(dir.Path() + "b.txt"), "b.txt");
}

TEST_F(RenameRunTest, UndoRestoresAChainCompletely) {
    Files({"a.txt", "b.txt"});
    FileRows rows{Row(folder, "b.txt", "c.txt"), Row(folder, "a.txt", "b.txt")};
    ASSERT_TRUE(RenameFiles(rows, fs).AllWell());
    ASSERT_EQ(Content(dir.Path() + "c.txt"), "b.txt");
    ASSERT_EQ(Content(dir.Path() + "b.txt"), "a.txt");

    const RunResult result = UndoRenames(rows, fs);

    EXPECT_TRUE(result.AllWell());
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(Content(dir.Path() + "a.txt"), "a.txt");
    EXPECT_EQ(Content(dir.Path() + "b.txt"), "b.txt");
}

TEST_F(RenameRunTest, UndoSkipsRefusedRowsAndReportsNameTakenMeanwhile) {
    Files({"a.txt", "b.txt", "c.txt", "taken.txt"});
    FileRows rows{Row(folder, "a.txt", "x.txt", false), Row(folder, "b.txt", "taken.txt", false),
                  Row(folder, "c.txt", "y.txt", false)};
    ASSERT_EQ(RenameFiles(rows, fs).failedFiles, 1u);
    dir.Write("c.txt", "newcomer");

    const RunResult result = UndoRenames(rows, fs);

    // Row 0 comes back, the "<err>" row is skipped silently, row 2 cannot get
    // its name back because another file took it.
    EXPECT_EQ(result.failedFiles, 1u);
    ASSERT_EQ(result.log.size(), 1u);
    EXPECT_EQ(result.log[0], dir.Path() + "y.txt -------> " + dir.Path() + "c.txt   [Fail]");
    EXPECT_EQ(Listing(dir.Path()),
              (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "taken.txt", "y.txt"}));
    EXPECT_EQ(Content(dir.Path() + "c.txt"), "newcomer");
    EXPECT_EQ(Content(dir.Path() + "y.txt"), "c.txt");
    EXPECT_EQ(RunSummaryText(RunKind::Undo, result),
              "Total files : 0\rFiles can not be renamed : 1\r"
              "Please click the  [OK]  button to view the log.");
}

TEST_F(RenameRunTest, ASecondUndoTouchesNothing) {
    Files({"a.txt"});
    FileRows rows{Row(folder, "a.txt", "b.txt")};
    ASSERT_TRUE(RenameFiles(rows, fs).AllWell());
    ASSERT_TRUE(UndoRenames(rows, fs).AllWell());
    dir.Write("b.txt", "newcomer");

    EXPECT_TRUE(UndoRenames(rows, fs).AllWell());
    EXPECT_EQ(Content(dir.Path() + "a.txt"), "a.txt");
    EXPECT_EQ(Content(dir.Path() + "b.txt"), "newcomer");
}

TEST_F(RenameRunTest, ARowWithoutFolderEndsTheRun) {
    Files({"a.txt", "c.txt"});
    FileRows rows{Row(folder, "a.txt", "x.txt"), Row(nullptr, "b.txt", "y.txt"),
                  Row(folder, "c.txt", "z.txt")};

    const RunResult result = RenameFiles(rows, fs);

    EXPECT_TRUE(result.endedEarly);
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"c.txt", "x.txt"}));
    EXPECT_EQ(rows[1].newName, "y.txt");
}

} // namespace
} // namespace quorvane
