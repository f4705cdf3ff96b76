#include "platform/Paths.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvane {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(PathsTest, ExistenceChecksTellFilesFromFolders) {
    const TempDir dir;
    const std::string file = dir.Write("f", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path() + "missing"));
    EXPECT_FALSE(DirectoryExists(dir.Path() + "missing"));
}

TEST(PathsTest, ExecutableFolderHoldsThisProgram) {
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(FileExists(folder + "test_platform"));
    // The test binary's folder is writable, so it is the program folder too.
    EXPECT_EQ(ProgramFolder(), folder);
}

TEST(PathsTest, UnwritableExecutableFolderFallsBackToTheUserConfiguration) {
    const TempDir dir;
    const std::string installed = dir.MakeDir("usr/bin");
    ASSERT_TRUE(test::LockFolder(installed));
    {
        const ScopedEnv home("HOME", (dir.Path() + "home").c_str());
        const ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(ProgramFolderFor(installed), dir.Path() + "home/.config/Quorvane/");
        EXPECT_TRUE(DirectoryExists(dir.Path() + "home/.config/Quorvane/"));
    }
    {
        const ScopedEnv xdg("XDG_CONFIG_HOME", (dir.Path() + "xdg").c_str());
        EXPECT_EQ(ProgramFolderFor(installed), dir.Path() + "xdg/Quorvane/");
    }
    {
        // Without any usable home the executable folder is all there is.
        const ScopedEnv home("HOME", nullptr);
        const ScopedEnv xdg("XDG_CONFIG_HOME", "relative");
        EXPECT_EQ(ProgramFolderFor(installed), installed);
    }
    test::UnlockFolder(installed);
    EXPECT_EQ(ProgramFolderFor(installed), installed);
}

TEST(PathsTest, AnInstalledCopyKeepsItsSettingsInTheUserFolderEvenWhereItCouldWrite) {
    const TempDir dir;
    const std::string portable = dir.MakeDir("stick/quorvane");
    const std::string installed = dir.MakeDir("prefix/bin");
    dir.Write("prefix/share/applications/org.example.quorvane.desktop", "[Desktop Entry]\n");
    const ScopedEnv xdg("XDG_CONFIG_HOME", (dir.Path() + "xdg").c_str());
    EXPECT_FALSE(IsInstalledCopy(portable));
    EXPECT_TRUE(IsInstalledCopy(installed));
    EXPECT_EQ(ProgramFolderFor(portable, IsInstalledCopy(portable)), portable);
    EXPECT_EQ(ProgramFolderFor(installed, IsInstalledCopy(installed)),
              dir.Path() + "xdg/Quorvane/");
}

TEST(PathsTest, TheManualIsLookedForInstalledAndInTheSourceTreeOfTheBuild) {
    const ManualPlaces places{"../share/doc/quorvane/manual/", "/src/q/build/",
                              "/src/q/data/manual/"};
    const std::string installed = "share/doc/quorvane/manual/index.html";
    const std::string source = "/src/q/data/manual/index.html";
    struct Case {
        std::string executableFolder;
        std::vector<std::string> candidates;
    } cases[] = {
        {"/usr/bin/", {"/usr/" + installed}},
        {"/opt/quorvane/bin/", {"/opt/quorvane/" + installed}},
        {"/src/q/build/", {"/src/q/" + installed, source}},
        {"/src/q/build/tests/", {"/src/q/build/" + installed, source}},
        // A neighbour whose name merely begins like the build folder is not it.
        {"/src/q/build2/", {"/src/q/" + installed}},
        {"/src/q/", {"/src/" + installed}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserManualCandidates(c.executableFolder, places), c.candidates)
            << c.executableFolder;
}

TEST(PathsTest, TestsRunFromTheBuildFolderFindTheManualOfTheSourceTree) {
    const std::string manual = UserManualPath();
    ASSERT_FALSE(manual.empty());
    EXPECT_TRUE(FileExists(manual));
    EXPECT_EQ(manual, BuiltInManualPlaces().sourceManual + "index.html");
}

} // namespace
} // namespace quorvane
