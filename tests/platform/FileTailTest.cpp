#include "platform/FileTail.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quorvane {
namespace {

using test::TempDir;

TEST(FileTailTest, ReadsTheLastBytesOrRefusesShortFiles) {
    const TempDir dir;
    const struct {
        std::size_t size;
        bool expected;
    } cases[] = {{0, false}, {127, false}, {128, true}, {129, true}, {5000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::string content;
        for (std::size_t i = 0; i < c.size; ++i)
            content += static_cast<char>('a' + i % 26);
        const std::string path = dir.Write("f" + std::to_string(c.size), content);
        std::string tail = "unchanged";
        EXPECT_EQ(ReadFileTail(path, 128, tail), c.expected);
        if (c.expected) {
            EXPECT_EQ(tail, content.substr(c.size - 128));
        }
    }
}

TEST(FileTailTest, MissingFileAndFolderFail) {
    const TempDir dir;
    std::string tail;
    EXPECT_FALSE(ReadFileTail(dir.Path() + "missing", 1, tail));
    EXPECT_FALSE(ReadFileTail(dir.Path(), 0, tail));
    EXPECT_FALSE(ReadFileTail(dir.Path(), 128, tail));
    EXPECT_FALSE(ReadFileTail("/dev/zero", 128, tail));
    // A pipe under a file's name is refused at once instead of waiting for a writer.
    const std::string pipe = dir.Path() + "song.mp3";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_FALSE(ReadFileTail(pipe, 128, tail));
}

TEST(FileTailTest, FilesOfAHeldFolderAreReadByName) {
    const TempDir dir;
    dir.Write("a/one.mp3", std::string(200, '1'));
    dir.Write("b/two.mp3", std::string(300, '2'));
    HeldFolder folder;
    const struct {
        std::string folder;
        const char* name;
        bool opens;
        bool reads;
        char content;
    } cases[] = {
        {dir.Path() + "a/", "one.mp3", true, true, '1'},
        {dir.Path() + "b/", "two.mp3", true, true, '2'},
        {dir.Path() + "b/", "one.mp3", true, false, 0}, // not in that folder
        {dir.Path() + "a/", "one.mp3", true, true, '1'},
        {dir.Path() + "gone/", "one.mp3", false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + c.name);
        const int held = folder.Descriptor(c.folder);
        ASSERT_EQ(held >= 0, c.opens);
        EXPECT_EQ(folder.Descriptor(c.folder), held) << "the same folder stays held";
        std::string tail;
        if (c.opens) {
            EXPECT_EQ(ReadFileTailIn(held, c.name, 128, tail), c.reads);
        }
        if (c.reads) {
            EXPECT_EQ(tail, std::string(128, c.content));
        }
    }
}

} // namespace
} // namespace quorvane
