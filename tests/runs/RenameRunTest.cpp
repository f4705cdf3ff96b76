// The rename run and its undo on real temporary folders.
#include "runs/RenameRun.h"
#include "platform/Rename.h"
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
        {"byte 1", "x\x01y.txt", false},
        {"tab", "x\ty.txt", false},
        {"line break", "x\ny.txt", false},
        {"byte 31", "x\x1fy.txt", false},
        {"delete byte", "x\x7fy.txt", false},
        {"space and UTF-8", "caf\xc3\xa9 \xe2\x80\x94 x.txt", true},
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
    // The bar follows the moves of the plan and ends full.
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), (std::pair<std::size_t, std::size_t>{3, 3}));
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

TEST_F(RenameRunTest, ANameWithAControlByteCanBeRenamedAwayAndRestored) {
    Files({"a\tb.txt"});
    FileRows rows{Row(folder, "a\tb.txt", "ab.txt")};
    ASSERT_TRUE(RenameFiles(rows, fs).AllWell());
    ASSERT_EQ(Listing(dir.Path()), (std::vector<std::string>{"ab.txt"}));

    EXPECT_TRUE(UndoRenames(rows, fs).AllWell());
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"a\tb.txt"}));
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

struct PlannedCase {
    const char* label;
    std::vector<std::pair<const char*, const char*>> moves; // list order
    std::vector<std::string> marks;                         // "New Name" after the run
    std::size_t failed;
};

// Each file holds its first name, so the contents show where every file went.
TEST_F(RenameRunTest, SwapsChainsAndCyclesEndUnderTheirNewNames) {
    const std::vector<PlannedCase> cases = {
        {"swap", {{"b", "a"}, {"a", "b"}}, {"<ok>b", "<ok>a"}, 0},
        {"cycle of three", {{"a", "b"}, {"b", "c"}, {"c", "a"}}, {"<ok>a", "<ok>b", "<ok>c"}, 0},
        {"chain listed front first", {{"a", "b"}, {"b", "c"}}, {"<ok>a", "<ok>b"}, 0},
        {"same target", {{"a", "t"}, {"b", "t"}}, {"<ok>a", "<err>b"}, 1},
        {"target kept by a refused row", {{"a", "b"}, {"b", "x/y"}}, {"<err>a", "<err>b"}, 2},
    };
    for (const PlannedCase& c : cases) {
        TempDir caseDir;
        auto caseFolder = std::make_shared<const std::string>(caseDir.Path());
        FileRows rows;
        for (const auto& [from, to] : c.moves) {
            caseDir.Write(from, from);
            rows.push_back(Row(caseFolder, from, to));
        }
        const RunResult result = RenameFiles(rows, fs);
        EXPECT_EQ(result.failedFiles, c.failed) << c.label;
        EXPECT_EQ(result.log.size(), c.failed) << c.label;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].newName, c.marks[i]) << c.label << " row " << i;
            const std::string from = c.moves[i].first;
            const std::string onDisk = c.marks[i][1] == 'o' ? c.moves[i].second : from;
            EXPECT_EQ(Content(caseDir.Path() + onDisk), from) << c.label << " row " << i;
        }
        // No temporary name is left behind.
        EXPECT_EQ(Listing(caseDir.Path()).size(), rows.size()) << c.label;
    }
}

// Fails the move out of a temporary name once, or reports a source lost.
class FailingSecondStep final : public RunFileSystem {
public:
    PlatformFileSystem real;
    bool loseSource = false;
    int Rename(const std::string& folder, const std::string& from, const std::string& to) override {
        if (loseSource)
            return kErrorSourceLost;
        if (from.rfind(".qv-swap-", 0) == 0 && !failed) {
            failed = true;
            return EIO;
        }
        return real.Rename(folder, from, to);
    }
    std::optional<std::uint32_t> ReadAttributes(const std::string&) override { return 0u; }
    int WriteAttributes(const std::string&, std::uint32_t) override { return 0; }
    int SetTimeStamp(const std::string&, std::uint32_t) override { return 0; }
    bool failed = false;
};

TEST_F(RenameRunTest, ACycleThatFailsHalfwayPutsTheFileBackAndALossIsReported) {
    Files({"a", "b"});
    FailingSecondStep failing;
    FileRows rows{Row(folder, "a", "b"), Row(folder, "b", "a")};
    const RunResult result = RenameFiles(rows, failing);
    // Both files are back under their old names and both rows failed.
    EXPECT_EQ(result.failedFiles, 2u);
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Content(dir.Path() + "a") + Content(dir.Path() + "b"), "ab");

    failing.loseSource = true;
    FileRows lost{Row(folder, "a", "c")};
    const RunResult lostResult = RenameFiles(lost, failing);
    EXPECT_EQ(lostResult.lostFiles, 1u);
    ASSERT_EQ(lostResult.log.size(), 2u);
    EXPECT_NE(lostResult.log[1].find("[Lost"), std::string::npos);
    EXPECT_NE(RunSummaryText(RunKind::Rename, lostResult).find("Files lost by the file system : 1"),
              std::string::npos);
}

} // namespace
} // namespace quorvane
