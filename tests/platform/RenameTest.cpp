#include "platform/Rename.h"
#include "platform/RenameSteps.h"

#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace quorvane {
namespace {

using test::TempDir;

std::string Content(const std::string& path) {
    return test::ReadFile(path);
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

TEST(RenameTest, InvalidNamesAreRefused) {
    const TempDir dir;
    dir.Write("a.txt", "A");
    dir.MakeDir("sub");
    const std::string nul("x\0y", 3);
    for (const std::string& bad : {std::string{}, std::string("."), std::string(".."),
                                   std::string("sub/a.txt"), std::string("../a.txt"), nul}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(RenameNoReplace(dir.Path(), "a.txt", bad), EINVAL);
        EXPECT_EQ(Content(dir.Path() + "a.txt"), "A");
    }
    EXPECT_FALSE(Exists(dir.Path() + "sub/a.txt"));
    EXPECT_EQ(RenameNoReplace(dir.Path(), "", "b.txt"), EINVAL);
}

TEST(RenameTest, IdenticalNameSucceedsWithoutTouchingTheDisk) {
    const TempDir dir;
    // Even a name that is gone succeeds: nothing is asked of the file system.
    EXPECT_EQ(RenameNoReplace(dir.Path(), "missing.txt", "missing.txt"), 0);
    dir.Write("a.txt", "A");
    EXPECT_EQ(RenameNoReplace(dir.Path(), "a.txt", "a.txt"), 0);
    EXPECT_EQ(Content(dir.Path() + "a.txt"), "A");
}

TEST(RenameTest, RenamesAndChangesCase) {
    const TempDir dir;
    dir.Write("song.mp3", "S");
    EXPECT_EQ(RenameNoReplace(dir.Path(), "song.mp3", "Song.MP3"), 0);
    EXPECT_EQ(Content(dir.Path() + "Song.MP3"), "S");
    EXPECT_FALSE(Exists(dir.Path() + "song.mp3"));
    EXPECT_EQ(RenameNoReplace(dir.Path(), "Song.MP3", "other.mp3"), 0);
    EXPECT_EQ(Content(dir.Path() + "other.mp3"), "S");
}

TEST(RenameTest, MissingSourceReportsNoEntry) {
    const TempDir dir;
    EXPECT_EQ(RenameNoReplace(dir.Path(), "gone", "new"), ENOENT);
}

// Every path that moves a file must refuse an existing target and leave both files whole.
TEST(RenameTest, ExistingTargetIsNeverReplaced) {
    using Move = int (*)(const std::string&, const std::string&);
    const struct {
        const char* name;
        Move move;
    } paths[] = {
        {"renameat2", &detail::MoveNoReplace},
        {"link+unlink", &detail::RenameByLink},
        {"placeholder+rename", &detail::RenameOverPlaceholder},
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.name);
        const TempDir dir;
        dir.Write("a", "old");
        dir.Write("b", "target");
        EXPECT_EQ(path.move(dir.Path() + "a", dir.Path() + "b"), EEXIST);
        EXPECT_EQ(Content(dir.Path() + "a"), "old");
        EXPECT_EQ(Content(dir.Path() + "b"), "target");
        EXPECT_EQ(path.move(dir.Path() + "a", dir.Path() + "c"), 0);
        EXPECT_FALSE(Exists(dir.Path() + "a"));
        EXPECT_EQ(Content(dir.Path() + "c"), "old");
    }
    const TempDir dir;
    dir.Write("a", "old");
    dir.Write("b", "target");
    EXPECT_EQ(RenameNoReplace(dir.Path(), "a", "b"), EEXIST);
    EXPECT_EQ(Content(dir.Path() + "b"), "target");
}

using Files = std::map<std::string, std::string>; // name -> content
using RenameInFolder = int (*)(const std::string& folder, const std::string& oldName,
                               const std::string& newName);

// Every name in a folder with its file's content.
Files FolderContents(const std::string& folder) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = Content(entry.path().string());
    return files;
}

// A change of letter case alone, which some file systems take for no change:
// every file must come out whole, under one name each unless it had two.
struct CaseChangeCase {
    const char* what;
    Files before;
    const char* hardLinkOfA; // a second name for "a", or none
    RenameInFolder rename;
    const char* from;
    const char* to;
    int result;
    Files after;
};

const CaseChangeCase kCaseChangeCases[] = {
    // On a file system that tells the spellings apart, "A" is a different file.
    {"onto another file",
     {{"a", "lower"}, {"A", "upper"}},
     nullptr,
     RenameNoReplace,
     "a",
     "A",
     EEXIST,
     {{"a", "lower"}, {"A", "upper"}}},
    {"onto a hard link of itself",
     {{"a", "same"}},
     "A",
     RenameNoReplace,
     "a",
     "A",
     EEXIST,
     {{"a", "same"}, {"A", "same"}}},
    {"through a temporary name",
     {{"track.mp3", "T"}},
     nullptr,
     detail::RenameThroughTemporary,
     "track.mp3",
     "TRACK.mp3",
     0,
     {{"TRACK.mp3", "T"}}},
    {"through a temporary name, the target taken",
     {{"x", "mine"}, {"X", "theirs"}},
     nullptr,
     detail::RenameThroughTemporary,
     "x",
     "X",
     EEXIST,
     {{"x", "mine"}, {"X", "theirs"}}},
};

TEST(RenameTest, CaseChangesKeepEveryFileWhole) {
    for (const CaseChangeCase& c : kCaseChangeCases) {
        SCOPED_TRACE(c.what);
        const TempDir dir;
        for (const auto& [name, content] : c.before)
            dir.Write(name, content);
        if (c.hardLinkOfA) {
            ASSERT_EQ(::link((dir.Path() + "a").c_str(), (dir.Path() + c.hardLinkOfA).c_str()), 0);
        }
        EXPECT_EQ(c.rename(dir.Path(), c.from, c.to), c.result);
        EXPECT_EQ(FolderContents(dir.Path()), c.after);
    }
}

// The last resort where a volume refuses both RENAME_NOREPLACE and hard
// links: the target is claimed with O_EXCL first, so a refusal of any kind
// leaves the source whole and no placeholder behind.
struct PlaceholderCase {
    const char* what;
    Files before;
    const char* folder; // a folder made before the move, or none
    std::string from;
    std::string to;
    int result;
    Files after;
};

const PlaceholderCase kPlaceholderCases[] = {
    {"moved", {{"a", "old"}}, nullptr, "a", "c", 0, {{"c", "old"}}},
    {"target taken",
     {{"a", "old"}, {"b", "t"}},
     nullptr,
     "a",
     "b",
     EEXIST,
     {{"a", "old"}, {"b", "t"}}},
    {"a name the volume cannot hold",
     {{"a", "old"}},
     nullptr,
     "a",
     std::string(300, 'e'),
     ENAMETOOLONG,
     {{"a", "old"}}},
    {"no source", {{"b", "t"}}, nullptr, "gone", "c", ENOENT, {{"b", "t"}}},
    // The placeholder is made, then the rename refused: it goes again.
    {"rename refused after the placeholder", {}, "d", "d", "d/inner", EINVAL, {{"d", ""}}},
};

TEST(RenameTest, PlaceholderFallbackNeverLosesTheSource) {
    for (const PlaceholderCase& c : kPlaceholderCases) {
        SCOPED_TRACE(c.what);
        const TempDir dir;
        for (const auto& [name, content] : c.before)
            dir.Write(name, content);
        if (c.folder)
            dir.MakeDir(c.folder);
        EXPECT_EQ(detail::RenameOverPlaceholder(dir.Path() + c.from, dir.Path() + c.to), c.result);
        EXPECT_EQ(FolderContents(dir.Path()), c.after);
        if (c.folder) {
            EXPECT_TRUE(std::filesystem::is_empty(dir.Path() + c.folder));
        }
        // A fresh listing, not a lookup, tells whether the source is still there.
        EXPECT_EQ(detail::IsListed(AT_FDCWD, dir.Path() + c.from),
                  c.result != 0 && c.result != ENOENT);
    }
}

TEST(RenameTest, ImmutableFolderFailsAndKeepsTheFile) {
    const TempDir dir;
    dir.Write("a", "A");
    ASSERT_TRUE(test::LockFolder(dir.Path()));
    EXPECT_NE(RenameNoReplace(dir.Path(), "a", "b"), 0);
    EXPECT_NE(detail::RenameByLink(dir.Path() + "a", dir.Path() + "b"), 0);
    EXPECT_NE(detail::RenameThroughTemporary(dir.Path(), "a", "A"), 0);
    test::UnlockFolder(dir.Path());
    EXPECT_EQ(Content(dir.Path() + "a"), "A");
    EXPECT_FALSE(Exists(dir.Path() + "b"));
}

} // namespace
} // namespace quorvane
