#include "platform/Rename.h"
#include "platform/RenameSteps.h"

#include "support/TempDir.h"

#include <cerrno>
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
        {"check+rename", &detail::RenameAfterCheck},
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

TEST(RenameTest, CaseChangeOntoAnotherFileIsRefused) {
    // On a file system that tells the spellings apart, "A" is a different file.
    const TempDir dir;
    dir.Write("a", "lower");
    dir.Write("A", "upper");
    EXPECT_EQ(RenameNoReplace(dir.Path(), "a", "A"), EEXIST);
    EXPECT_EQ(Content(dir.Path() + "a"), "lower");
    EXPECT_EQ(Content(dir.Path() + "A"), "upper");
}

TEST(RenameTest, CaseChangeOntoAHardLinkOfItselfKeepsBothNames) {
    const TempDir dir;
    dir.Write("a", "same");
    ASSERT_EQ(::link((dir.Path() + "a").c_str(), (dir.Path() + "A").c_str()), 0);
    EXPECT_EQ(RenameNoReplace(dir.Path(), "a", "A"), EEXIST);
    EXPECT_EQ(Content(dir.Path() + "a"), "same");
    EXPECT_EQ(Content(dir.Path() + "A"), "same");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(RenameTest, ThroughTemporaryLeavesOnlyTheNewName) {
    const TempDir dir;
    dir.Write("track.mp3", "T");
    EXPECT_EQ(detail::RenameThroughTemporary(dir.Path(), "track.mp3", "TRACK.mp3"), 0);
    EXPECT_EQ(Content(dir.Path() + "TRACK.mp3"), "T");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(RenameTest, ThroughTemporaryRollsBackWhenTheTargetIsTaken) {
    const TempDir dir;
    dir.Write("x", "mine");
    dir.Write("X", "theirs");
    EXPECT_EQ(detail::RenameThroughTemporary(dir.Path(), "x", "X"), EEXIST);
    EXPECT_EQ(Content(dir.Path() + "x"), "mine");
    EXPECT_EQ(Content(dir.Path() + "X"), "theirs");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);
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
