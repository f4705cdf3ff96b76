// The attribute and time-stamp run against a file system that fails on purpose.
#include "runs/AttributeRun.h"
#include "runs/FakeFileSystem.h"
#include "runs/RunLog.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::FakeFileSystem;

constexpr std::uint32_t kStamp = 0x58B153D6; // 2024-05-17 10:30:44 local

class AttributeRunTest : public ::testing::Test {
protected:
    FakeFileSystem fs;
    std::shared_ptr<const std::string> folder = std::make_shared<const std::string>("/d/");
    FileRows rows;

    void AddFile(const std::string& name, std::uint32_t attributes, bool selected = true) {
        fs.files["/d/" + name] = {attributes, 0};
        FileRow row;
        row.folder = folder;
        row.originalName = name;
        row.selected = selected;
        rows.push_back(row);
    }
};

struct StampCase {
    const char* label;
    std::uint32_t attributesBefore;
    void (*breakIt)(FakeFileSystem&);
    std::vector<std::string> calls;
    bool stamped;
    std::uint32_t attributesAfter;
    std::vector<std::string> log;
};

TEST_F(AttributeRunTest, TimeStampOnly) {
    const std::string lineStamp = "Error occurs when setting the time stamp of /d/f";
    const std::string lineAttr = "/d/fError occurs when setting the  attributes of files";
    const std::vector<StampCase> cases = {
        {"writable file", 0x20, nullptr, {"read /d/f", "stamp /d/f"}, true, 0x20, {}},
        {"read-only file: bit lifted only for the moment",
         0x21,
         nullptr,
         {"read /d/f", "write /d/f 0x20", "stamp /d/f", "write /d/f 0x21"},
         true,
         0x21,
         {}},
        {"stamp refused",
         0x00,
         [](FakeFileSystem& f) { f.failStamp.insert("/d/f"); },
         {"read /d/f", "stamp /d/f"},
         false,
         0x00,
         {lineStamp}},
        {"unreadable attributes: file left alone",
         0x01,
         [](FakeFileSystem& f) { f.failRead.insert("/d/f"); },
         {"read /d/f"},
         false,
         0x01,
         {lineStamp}},
        {"read-only bit cannot be lifted",
         0x01,
         [](FakeFileSystem& f) { f.failWrite.insert("/d/f"); },
         {"read /d/f", "write /d/f 0x00"},
         false,
         0x01,
         {lineStamp}},
        {"read-only bit cannot be put back",
         0x01,
         [](FakeFileSystem& f) { f.failWriteNumber = 2; },
         {"read /d/f", "write /d/f 0x00", "stamp /d/f", "write /d/f 0x01"},
         true,
         0x00,
         {lineAttr}},
    };
    for (const StampCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeFileSystem local;
        local.files["/d/f"] = {c.attributesBefore, 0};
        if (c.breakIt)
            c.breakIt(local);
        FileRow row;
        row.folder = folder;
        row.originalName = "f";
        FileRows one{row};

        const RunResult result = ChangeAttributes(one, {false, 0, true, kStamp}, local);

        EXPECT_EQ(local.calls, c.calls);
        EXPECT_EQ(local.files["/d/f"].stamp, c.stamped ? kStamp : 0u);
        EXPECT_EQ(local.files["/d/f"].attributes, c.attributesAfter);
        EXPECT_EQ(result.log, c.log);
        EXPECT_EQ(result.failedFiles, c.log.empty() ? 0u : 1u);
    }
}

TEST_F(AttributeRunTest, StampComesBeforeTheNewAttributes) {
    AddFile("f", 0x00);
    const RunResult result = ChangeAttributes(rows, {true, 0x01, true, kStamp}, fs);

    EXPECT_TRUE(result.AllWell());
    EXPECT_EQ(fs.calls, (std::vector<std::string>{"read /d/f", "stamp /d/f", "write /d/f 0x01"}));
    EXPECT_EQ(fs.files["/d/f"].stamp, kStamp);
    EXPECT_EQ(RunSummaryText(RunKind::Attributes, result),
              "All the attributes of selected files have been processed successfully!");
}

TEST_F(AttributeRunTest, FailuresCountFilesAndLogEveryFailure) {
    AddFile("a", 0x00);
    AddFile("b", 0x00);
    AddFile("c", 0x00, false);
    fs.failStamp.insert("/d/b");
    fs.failWrite.insert("/d/b");

    const RunResult result = ChangeAttributes(rows, {true, 0x02, true, kStamp}, fs);

    EXPECT_EQ(result.selectedAtStart, 2u);
    EXPECT_EQ(result.failedFiles, 1u);
    EXPECT_EQ(result.log,
              (std::vector<std::string>{"Error occurs when setting the time stamp of /d/b",
                                        "/d/bError occurs when setting the  attributes of files"}));
    EXPECT_EQ(fs.files["/d/a"].attributes, 0x02u);
    EXPECT_EQ(fs.files["/d/c"].attributes, 0x00u) << "unselected row untouched";
    EXPECT_EQ(RunSummaryText(RunKind::Attributes, result),
              "Total files : 2\rFiles can not be renamed : 1\r"
              "Please click the  [OK]  button to view the log.");
}

TEST_F(AttributeRunTest, NoSelectionProcessesAndSelectsEveryRow) {
    AddFile("a", 0x27, false);
    AddFile("b", 0x01, false);
    std::size_t lastDone = 0;

    const RunResult result = ChangeAttributes(
        rows, {true, 0x00, false, 0}, fs,
        [&](std::size_t done, std::size_t total) { lastDone = done == total ? done : 0; });

    EXPECT_TRUE(result.AllWell());
    EXPECT_EQ(result.selectedAtStart, 0u);
    EXPECT_EQ(fs.files["/d/a"].attributes, 0u);
    EXPECT_EQ(fs.files["/d/b"].attributes, 0u);
    EXPECT_TRUE(rows[0].selected && rows[1].selected);
    EXPECT_EQ(lastDone, 2u);
}

TEST_F(AttributeRunTest, ADateOutsideThePackedRangeIsReported) {
    AddFile("a", 0x00);
    const RunResult result = ChangeAttributes(rows, {false, 0, true, 0}, fs);
    EXPECT_EQ(result.failedFiles, 1u);
    EXPECT_EQ(fs.files["/d/a"].stamp, 0u);
}

} // namespace
} // namespace quorvane
