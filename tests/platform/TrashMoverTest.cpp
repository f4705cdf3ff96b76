// The trash mover against real files, with HOME and XDG_DATA_HOME pointed at
// fresh temporary folders so the user's own trash is never touched.
#include "platform/TrashMover.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScopedEnv;
using test::Shell;
using test::TempDir;

// What a reader of the trash does with Path=: every %XX back to its byte.
std::string PercentDecode(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

struct TrashInfo {
    std::string header;
    std::string path; // decoded
    std::string rawPath;
    std::string deletionDate;
};

TrashInfo ReadTrashInfo(const std::string& infoPath) {
    TrashInfo info;
    std::string text = ReadFile(infoPath);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        if (info.header.empty())
            info.header = line;
        if (line.rfind("Path=", 0) == 0)
            info.rawPath = line.substr(5);
        if (line.rfind("DeletionDate=", 0) == 0)
            info.deletionDate = line.substr(13);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    info.path = PercentDecode(info.rawPath);
    return info;
}

std::optional<std::time_t> ParseLocalDate(const std::string& text) {
    std::tm fields{};
    const char* end = ::strptime(text.c_str(), "%Y-%m-%dT%H:%M:%S", &fields);
    if (!end || *end != '\0' || text.size() != 19)
        return std::nullopt;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

bool HaveTrashCli() {
    return Shell("command -v trash-restore >/dev/null 2>&1") == 0;
}

class TrashMoverTest : public ::testing::Test {
protected:
    TempDir m_files;
    TempDir m_home;
    std::string m_dataHome = m_home.Path() + "data/share"; // not there yet
    ScopedEnv m_homeVariable{"HOME", m_home.Path()};
    ScopedEnv m_dataVariable{"XDG_DATA_HOME", m_dataHome};
    std::string m_trash = m_dataHome + "/Trash";
};

TEST(TrashPathEncoding, EveryByteOutsideTheUnreservedSetIsEncoded) {
    const struct {
        std::string path;
        std::string encoded;
    } cases[] = {
        {"/home/u/a%20b #1.txt", "/home/u/a%2520b%20%231.txt"},
        {"/home/u/\xC3\xA9t\xC3\xA9 x.txt", "/home/u/%C3%A9t%C3%A9%20x.txt"},
        {"/m/bad\xFF\xFE.bin", "/m/bad%FF%FE.bin"},
        {"/Az09-._~/x", "/Az09-._~/x"},
        {"rel/[a]?&=+;,'!$()*:@", "rel/%5Ba%5D%3F%26%3D%2B%3B%2C%27%21%24%28%29%2A%3A%40"},
        {std::string("/nl\n\t\x7F", 6), "/nl%0A%09%7F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeTrashPath(c.path), c.encoded) << c.path;
        EXPECT_EQ(PercentDecode(c.encoded), c.path);
    }
}

TEST(TrashDeletionDate, IsLocalTime) {
    const std::time_t moment = test::LocalToUtc(2024, 5, 17, 9, 3, 7);
    EXPECT_EQ(TrashDeletionDate(moment), "2024-05-17T09:03:07");
}

TEST_F(TrashMoverTest, EntriesRecordTheExactOldPath) {
    const std::vector<std::string> names = {"a%20b #1.txt", "\xC3\xA9t\xC3\xA9 x.txt",
                                            "not utf-8 \xFF\xFE.txt"};
    const std::time_t before = std::time(nullptr);
    std::vector<TrashOutcome> outcomes;
    for (const std::string& name : names) {
        const std::string path = m_files.Write(name, "bytes of " + name);
        outcomes.push_back(TrashFile(path));
    }
    const std::time_t after = std::time(nullptr);

    // Made on demand, for the owner alone.
    EXPECT_EQ(ModeOf(m_trash), 0700u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const TrashOutcome& outcome = outcomes[i];
        ASSERT_EQ(outcome.error, 0);
        const std::string old = m_files.Path() + names[i];
        EXPECT_FALSE(fs::exists(old));
        EXPECT_EQ(outcome.trashedPath, m_trash + "/files/" + names[i]);
        EXPECT_EQ(ReadFile(outcome.trashedPath), "bytes of " + names[i]);

        const TrashInfo info = ReadTrashInfo(outcome.infoPath);
        EXPECT_EQ(outcome.infoPath, m_trash + "/info/" + names[i] + ".trashinfo");
        EXPECT_EQ(info.header, "[Trash Info]");
        EXPECT_EQ(info.path, old);
        EXPECT_EQ(info.rawPath.find_first_of(" #\xFF"), std::string::npos) << info.rawPath;
        const std::optional<std::time_t> when = ParseLocalDate(info.deletionDate);
        ASSERT_TRUE(when.has_value()) << info.deletionDate;
        EXPECT_GE(*when, before - 1);
        EXPECT_LE(*when, after + 1);
    }

    if (!HaveTrashCli())
        GTEST_SKIP() << "trash-cli is not installed: restoring through it was not checked";
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string old = m_files.Path() + name;
        // trash-cli 0.17 reads Path= back as UTF-8 text (Python's unquote),
        // so it cannot restore a name that is not UTF-8; our entry for it was
        // checked byte for byte above.
        if (name.find('\xFF') != std::string::npos)
            continue;
        ASSERT_EQ(Shell("cd / && echo 0 | trash-restore '" + old + "' >/dev/null"), 0);
        EXPECT_EQ(ReadFile(old), "bytes of " + name);
        EXPECT_FALSE(fs::exists(m_trash + "/info/" + name + ".trashinfo"));
    }
}

TEST_F(TrashMoverTest, TakenNamesInTheTrashAreNeverReplaced) {
    // A file left in files/ without its entry, and an entry whose file is gone.
    fs::create_directories(m_trash + "/files");
    fs::create_directories(m_trash + "/info");
    const std::string orphan = m_trash + "/files/report.txt";
    const std::string staleEntry = m_trash + "/info/report.2.txt.trashinfo";
    Shell("printf orphan > '" + orphan + "'; printf stale > '" + staleEntry + "'");

    const std::string file = m_files.Write("report.txt", "new");
    const TrashOutcome outcome = TrashFile(file);

    ASSERT_EQ(outcome.error, 0);
    EXPECT_EQ(outcome.trashedPath, m_trash + "/files/report.3.txt");
    EXPECT_EQ(ReadFile(outcome.trashedPath), "new");
    EXPECT_EQ(ReadFile(orphan), "orphan");
    EXPECT_EQ(ReadFile(staleEntry), "stale");
    EXPECT_EQ(ReadTrashInfo(outcome.infoPath).path, file);
    // No entry left behind by the tries that found the name taken.
    EXPECT_EQ(test::Listing(m_trash + "/info"),
              (std::vector<std::string>{"report.2.txt.trashinfo", "report.3.txt.trashinfo"}));
}

TEST_F(TrashMoverTest, AFileThatCannotMoveStaysAndLeavesNoEntry) {
    const std::string folder = m_files.MakeDir("locked");
    const std::string file = m_files.Write("locked/keep.txt", "keep");
    // Root passes permission checks; an immutable folder stops it instead.
    const bool immutable = Shell("chattr +i '" + folder + "' 2>/dev/null") == 0;
    if (!immutable)
        ::chmod(folder.c_str(), 0555);
    if (!immutable && ::geteuid() == 0)
        GTEST_SKIP() << "chattr +i is refused here and root ignores permissions";

    EXPECT_NE(TrashFile(file).error, 0);
    EXPECT_NE(TrashFile(m_files.Path() + "missing").error, 0);
    EXPECT_NE(TrashFile("").error, 0);
    EXPECT_NE(TrashFile("/").error, 0);
    Shell("chattr -i '" + folder + "' 2>/dev/null");
    ::chmod(folder.c_str(), 0755);

    EXPECT_EQ(ReadFile(file), "keep");
    EXPECT_TRUE(fs::is_empty(m_trash + "/info"));
    EXPECT_TRUE(fs::is_empty(m_trash + "/files"));
}

// A file on another device than the home trash goes to the trash of its file
// system's top directory. The second device is a stand-in: everything under
// "volume/" answers with device 1, everything else with device 2.
TEST_F(TrashMoverTest, OtherDevicesUseTheirTopDirectorysTrash) {
    const std::string uid = std::to_string(::getuid());
    const struct Case {
        const char* what;
        const char* sharedSetup; // shell commands run in the volume first
        std::string trash;       // expected, relative to the volume
    } cases[] = {
        {"no shared trash", "", ".Trash-" + uid},
        {"shared trash set up", "mkdir .Trash && chmod 1777 .Trash", ".Trash/" + uid},
        {"shared trash not sticky", "mkdir .Trash && chmod 0777 .Trash", ".Trash-" + uid},
        {"shared trash is a link", "mkdir real && chmod 1777 real && ln -s real .Trash",
         ".Trash-" + uid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir root;
        const std::string volume = root.MakeDir("volume");
        const ScopedEnv home("HOME", root.MakeDir("home"));
        const ScopedEnv dataHome("XDG_DATA_HOME", root.Path() + "home/.local/share");
        ASSERT_EQ(Shell(std::string("cd '") + volume + "' && true " +
                        (*c.sharedSetup ? "&& " : "") + c.sharedSetup),
                  0);
        const std::string name = "a%20b #1.txt";
        const std::string file = root.Write("volume/sub/" + name, "on the volume");
        const std::string volumeRoot = volume.substr(0, volume.size() - 1);
        const DeviceLookup devices = [volumeRoot](const std::string& path) -> std::optional<dev_t> {
            const bool onVolume = path == volumeRoot || path.rfind(volumeRoot + "/", 0) == 0;
            return onVolume ? 1 : 2;
        };

        const TrashOutcome outcome = TrashFile(file, devices);

        ASSERT_EQ(outcome.error, 0);
        EXPECT_EQ(outcome.trashFolder, volume + c.trash);
        EXPECT_EQ(ReadFile(outcome.trashedPath), "on the volume");
        EXPECT_EQ(outcome.trashedPath, volume + c.trash + "/files/" + name);
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(ModeOf(volume + c.trash), 0700u);
        // Relative to the top directory, so the volume restores wherever it is mounted.
        EXPECT_EQ(ReadTrashInfo(outcome.infoPath).path, "sub/" + name);
        EXPECT_EQ(ReadTrashInfo(outcome.infoPath).rawPath, "sub/a%2520b%20%231.txt");
        // The home trash was made all the same, and holds nothing.
        EXPECT_TRUE(fs::is_empty(root.Path() + "home/.local/share/Trash/files"));
        if (std::string(c.what) == "shared trash not sticky") {
            EXPECT_TRUE(fs::is_empty(volume + ".Trash")) << "no folder made in a bad shared trash";
        }
    }
}

TEST_F(TrashMoverTest, RelativeDataHomeIsIgnored) {
    const ScopedEnv dataHome("XDG_DATA_HOME", "relative/share");
    const std::string file = m_files.Write("x.txt", "x");
    const TrashOutcome outcome = TrashFile(file);
    ASSERT_EQ(outcome.error, 0);
    EXPECT_EQ(outcome.trashFolder, m_home.Path() + ".local/share/Trash");
}

} // namespace
} // namespace quorvane
