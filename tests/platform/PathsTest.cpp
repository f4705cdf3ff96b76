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
    ::chmod(portable.c_str(), 0755); // whatever the umask: a folder only its owner writes
    const std::string installed = dir.MakeDir("prefix/bin");
    dir.Write("prefix/share/applications/org.example.quorvane.desktop", "[Desktop Entry]\n");
    const ScopedEnv xdg("XDG_CONFIG_HOME", (dir.Path() + "xdg").c_str());
    EXPECT_FALSE(IsInstalledCopy(portable));
    EXPECT_TRUE(IsInstalledCopy(installed));
    EXPECT_EQ(ProgramFolderFor(portable, IsInstalledCopy(portable)), portable);
    EXPECT_EQ(ProgramFolderFor(installed, IsInstalledCopy(installed)),
              dir.Path() + "xdg/Quorvane/");
}

struct BesideCase {
    const char* label;
    mode_t folderMode;
    std::vector<std::string> plant; // "Options.ini", or "@Log.txt" for a link
    bool otherOwner;                // the folder belongs to another user (root only)
    bool beside;                    // the executable's folder is chosen
    std::string note;               // "" when nothing is passed over
};

// What lies beside a portable copy, and what the copy makes of it.
TEST(PathsTest, FilesBesideTheProgramAreUsedOnlyInTheUsersOwnFolder) {
    const TempDir dir;
    const ScopedEnv xdg("XDG_CONFIG_HOME", (dir.Path() + "xdg").c_str());
    const std::string config = dir.Path() + "xdg/Quorvane/";
    const std::string secret = dir.Write("secret", "private");
    const bool root = ::geteuid() == 0;
    const std::string keptIn = "The program keeps its files in " + config + ".";
    const BesideCase cases[] = {
        {"private, empty", 0700, {}, false, true, ""},
        {"private, own files", 0755, {"Options.ini", "Log.txt"}, false, true, ""},
        {"private, a log that is a link",
         0755,
         {"Options.ini", "@Log.txt"},
         false,
         false,
         "\"Log.txt\" beside the program is not used: it is a link.\r" + keptIn},
        {"group may write",
         0775,
         {"Options.ini"},
         false,
         false,
         "\"Options.ini\" beside the program is not used: other users may write the "
         "program's folder.\r" +
             keptIn},
        {"anyone may write, nothing there", 01777, {}, false, false, ""},
        {"another user's folder",
         0777,
         {"History.sqlite"},
         true,
         false,
         "\"History.sqlite\" beside the program is not used: the program's folder belongs to "
         "another user.\r" +
             keptIn},
    };
    int n = 0;
    for (const BesideCase& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.otherOwner && !root)
            continue; // only root can give a folder away; the other rows still run
        const std::string folder = dir.MakeDir("copy" + std::to_string(n++));
        for (const std::string& name : c.plant) {
            if (name[0] == '@') {
                ASSERT_EQ(::symlink(secret.c_str(), (folder + name.substr(1)).c_str()), 0);
            } else {
                dir.Write(folder.substr(dir.Path().size()) + name, "[Main]\n");
            }
        }
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        if (c.otherOwner) {
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        }
        const ProgramFolderChoice choice = ChooseProgramFolder(folder);
        EXPECT_EQ(choice.folder, c.beside ? folder : config);
        EXPECT_EQ(choice.setAsideNote, c.note);
    }
    EXPECT_EQ(test::ReadFile(secret), "private");
    struct stat info {};
    ASSERT_EQ(::stat(config.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
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
