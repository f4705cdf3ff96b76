#include "filelist/GivenFiles.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::TempDir;

std::vector<std::string> PathsOf(const FileRows& rows) {
    std::vector<std::string> paths;
    for (const FileRow& row : rows)
        paths.push_back(row.FullPath());
    return paths;
}

TEST(GivenFiles, ListExactlyTheGivenFilesAndFoldersAndFindThemAgain) {
    const TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.log", ".hidden", "sub/d.txt", "sub/e.log"})
        dir.Write(name);
    const std::string p = dir.Path();
    const ScanRequest txtOnly{{}, "*.txt", false};
    struct Case {
        const char* what;
        std::vector<std::string> paths;
        std::vector<std::string> listed;   // before the paths are given
        std::vector<std::string> expected; // the rows added
    };
    const Case cases[] = {
        {"two files", {p + "a.txt", p + "c.log"}, {}, {p + "a.txt", p + "c.log"}},
        {"a hidden file given by name", {p + ".hidden"}, {}, {p + ".hidden"}},
        {"a folder, as a scan lists it", {p + "sub"}, {}, {p + "sub/d.txt"}},
        {"a file and its folder, once", {p + "sub/d.txt", p + "sub/"}, {}, {p + "sub/d.txt"}},
        {"the same file twice", {p + "a.txt", p + "a.txt"}, {}, {p + "a.txt"}},
        {"a file listed already", {p + "a.txt", p + "b.txt"}, {p + "a.txt"}, {p + "b.txt"}},
        {"missing and odd paths", {p + "missing.txt", "", "/dev/null"}, {}, {}},
    };
    for (const Case& c : cases) {
        GivenFiles listedBefore;
        const FileRows listed = listedBefore.Add(c.listed, txtOnly, {});
        GivenFiles given;
        const FileRows added = given.Add(c.paths, txtOnly, listed);
        EXPECT_EQ(PathsOf(added), c.expected) << c.what;
        EXPECT_TRUE(given.Active()) << c.what;
        // The rows of one folder share one FolderPath, as a plan expects.
        for (const FileRow& row : added) {
            for (const FileRow& other : listed) {
                if (*row.folder == *other.folder) {
                    EXPECT_TRUE(row.folder == other.folder) << c.what;
                }
            }
        }
    }

    // Refresh finds the given files under the names they have now.
    GivenFiles given;
    given.Add({p + "a.txt", p + "sub/"}, txtOnly, {});
    ASSERT_EQ(std::rename((p + "a.txt").c_str(), (p + "renamed.log").c_str()), 0);
    dir.Write("sub/new.txt");
    EXPECT_EQ(PathsOf(given.Reread(txtOnly)),
              (std::vector<std::string>{p + "renamed.log", p + "sub/d.txt", p + "sub/new.txt"}));
    EXPECT_EQ(SharedFolder(given.Add({p + "b.txt"}, txtOnly, {})), p);
    given.Clear();
    EXPECT_FALSE(given.Active());
}

} // namespace
} // namespace quorvane
