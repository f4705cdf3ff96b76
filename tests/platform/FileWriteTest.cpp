#include "platform/FileWrite.h"

#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(FileWrite, RewriteReportsEveryFailedStep) {
    test::TempDir dir;
    dir.Write("old.txt", "a longer old text");
    struct Case {
        std::string path;
        int error;
        bool written; // the file holds the text afterwards
    };
    const Case cases[] = {
        {dir.Path() + "new.txt", 0, true},
        {dir.Path() + "old.txt", 0, true}, // emptied first, nothing of it is left
        {dir.Path() + "missing/new.txt", ENOENT, false},
        {dir.Path(), EISDIR, false},
        {"/dev/full", ENOSPC, false}, // the write itself fails
    };
    for (const Case& c : cases) {
        if (c.path == "/dev/full" && !std::filesystem::exists(c.path))
            continue;
        EXPECT_EQ(RewriteFile(c.path, "text\r\n"), c.error) << c.path;
        if (c.written) {
            EXPECT_EQ(test::ReadFile(c.path), "text\r\n") << c.path;
        }
    }
}

} // namespace
} // namespace quorvane
