#include "platform/DirectorySearch.h"

#include "support/TempDir.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace quorvane {
namespace {

using test::TempDir;

TEST(WildcardTest, Table) {
    const struct {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"song.mp3", "*.MP3", true},
        {"SONG.MP3", "*.mp3", true},
        {"song.mp3", "*.mp", false},
        {"song.mp3.txt", "*.mp3", false},
        {"README", "*.*", true},
        {"a.b.c", "*.*", true},
        {".hidden", "*.*", true},
        {"README", "*", true},
        {"README", "README.*", true},
        {"README.md", "README.*", true},
        {"READMEX", "README.*", false},
        {"a.txt", "?.txt", true},
        {"ab.txt", "?.txt", false},
        {".txt", "?.txt", false},
        {"\xC3\xA9.txt", "?.txt", true}, // one character of two bytes
        {"file12.log", "file??.log", true},
        {"file1.log", "file??.log", false},
        {"abcabd", "*abd", true},
        {"abcab", "a*b*b", true},
        {"abc", "a*c*", true},
        {"abc", "", false},
        {"", "", false},
        {"\xC3\xA9", "\xC3\x89", false}, // only A-Z ignore case
        {"photo[1].jpg", "photo[1].jpg", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
        EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches);
    }
}

std::vector<std::string> List(const std::string& folder, const std::string& filter,
                              SearchMode mode) {
    std::vector<std::string> names;
    DirectorySearch search(folder, filter, mode);
    DirEntry entry;
    while (search.Next(entry))
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

using Names = std::vector<std::string>;

TEST(DirectorySearchTest, FilesModeListsEveryKindOfFileButNoFolders) {
    const TempDir dir;
    dir.Write("song.mp3", "12345");
    dir.Write("README");
    dir.Write(".hidden.mp3");
    const std::string readOnly = dir.Write("locked.txt");
    ::chmod(readOnly.c_str(), 0444);
    dir.MakeDir("folder.mp3");
    ASSERT_EQ(::symlink("song.mp3", (dir.Path() + "link.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("gone", (dir.Path() + "dangling.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("folder.mp3", (dir.Path() + "dirlink.mp3").c_str()), 0);

    EXPECT_EQ(List(dir.Path(), "*.*", SearchMode::Files),
              (Names{".hidden.mp3", "README", "link.mp3", "locked.txt", "song.mp3"}));
    EXPECT_EQ(List(dir.Path(), "*.MP3", SearchMode::Files),
              (Names{".hidden.mp3", "link.mp3", "song.mp3"}));
    EXPECT_EQ(List(dir.Path(), "", SearchMode::Files), Names{});
    // The folder may be given without its final "/".
    std::string noSlash = dir.Path();
    noSlash.pop_back();
    EXPECT_EQ(List(noSlash, "s*", SearchMode::Files), Names{"song.mp3"});
}

TEST(DirectorySearchTest, EntriesCarryAttributesSizeAndTime) {
    const TempDir dir;
    const std::string song = dir.Write("song.mp3", "12345");
    const std::string hidden = dir.Write(".conf", "");
    ::chmod(hidden.c_str(), 0444);
    const struct timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, song.c_str(), times, 0), 0);
    ASSERT_EQ(::symlink("song.mp3", (dir.Path() + "link").c_str()), 0);

    DirectorySearch search(dir.Path(), "*.*", SearchMode::Files);
    DirEntry entry;
    int seen = 0;
    while (search.Next(entry)) {
        ++seen;
        SCOPED_TRACE(entry.name);
        if (entry.name == ".conf") {
            EXPECT_EQ(entry.attributes, kAttrHidden | kAttrReadOnly);
            EXPECT_EQ(entry.size, 0u);
        } else { // the file, or the link that lists as its target
            EXPECT_EQ(entry.attributes, 0u);
            EXPECT_EQ(entry.size, 5u);
            EXPECT_EQ(entry.modifiedUtc, 1700000000);
        }
    }
    EXPECT_EQ(seen, 3);
}

TEST(DirectorySearchTest, StoredBitsAreListed) {
    const TempDir dir;
    const std::string file = dir.Write("archived.txt");
    const char value[] = "0x24";
    if (::setxattr(file.c_str(), "user.DOSATTRIB", value, 4, 0) != 0)
        GTEST_SKIP() << "no user extended attributes here";
    DirectorySearch search(dir.Path(), "*.*", SearchMode::Files);
    DirEntry entry;
    ASSERT_TRUE(search.Next(entry));
    EXPECT_EQ(entry.attributes, kAttrSystem | kAttrArchive);

    DirectorySearch quick(dir.Path(), "*.*", SearchMode::Files);
    quick.SetReadStoredAttributes(false);
    ASSERT_TRUE(quick.Next(entry));
    EXPECT_EQ(entry.attributes, 0u);
}

TEST(DirectorySearchTest, FoldersModeSkipsHiddenSystemAndLinkedFolders) {
    const TempDir dir;
    dir.MakeDir("Music");
    dir.MakeDir("photos.2024");
    dir.MakeDir(".git");
    const std::string system = dir.MakeDir("System Volume");
    const std::string stored = dir.MakeDir("stored hidden");
    dir.Write("file.txt");
    ASSERT_EQ(::symlink(".", (dir.Path() + "loop").c_str()), 0);
    const bool xattrs = ::setxattr(system.c_str(), "user.DOSATTRIB", "0x14", 4, 0) == 0 &&
                        ::setxattr(stored.c_str(), "user.DOSATTRIB", "0x12", 4, 0) == 0;
    Names expected{"Music", "photos.2024"};
    if (!xattrs)
        expected = {"Music", "System Volume", "photos.2024", "stored hidden"};
    EXPECT_EQ(List(dir.Path(), "*.*", SearchMode::Folders), expected);

    DirectorySearch search(dir.Path(), "M*", SearchMode::Folders);
    DirEntry entry;
    ASSERT_TRUE(search.Next(entry));
    EXPECT_EQ(entry.attributes, kAttrDirectory);
}

// Every raw entry of a folder, with the kind ExamineEntry gives it once with
// the entry's type and once as if the file system gave none.
TEST(DirectorySearchTest, ExamineEntryTellsFilesFromFoldersWithOrWithoutEntryTypes) {
    const TempDir dir;
    const std::string file = dir.Write("file.txt", "12345");
    dir.Write("other.dat");
    dir.MakeDir("sub");
    dir.MakeDir(".hidden");
    ASSERT_EQ(::symlink("file.txt", (dir.Path() + "link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("gone", (dir.Path() + "dangling.txt").c_str()), 0);
    ASSERT_EQ(::symlink("sub", (dir.Path() + "folder-link.txt").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir.Path() + "pipe.txt").c_str(), 0644), 0);
    struct stat fileInfo {};
    ASSERT_EQ(::stat(file.c_str(), &fileInfo), 0);

    const struct {
        const char* name;
        EntryKind withSubfolders;
        EntryKind withoutSubfolders;
    } cases[] = {
        {"file.txt", EntryKind::File, EntryKind::File},
        {"other.dat", EntryKind::Other, EntryKind::Other}, // the filter is "*.txt"
        {"sub", EntryKind::Subfolder, EntryKind::Other},
        {".hidden", EntryKind::Other, EntryKind::Other},
        {"link.txt", EntryKind::File, EntryKind::File},
        {"dangling.txt", EntryKind::Other, EntryKind::Other},
        {"folder-link.txt", EntryKind::Other, EntryKind::Other},
        {"pipe.txt", EntryKind::Other, EntryKind::Other},
        {".", EntryKind::Other, EntryKind::Other},
        {"..", EntryKind::Other, EntryKind::Other},
    };
    FolderListing listing(dir.Path(), FolderListing::Links::Follow);
    ASSERT_TRUE(listing.IsOpen());
    std::vector<std::string> names; // the chunk is reused, so names are kept
    std::vector<unsigned char> types;
    alignas(8) char chunk[4096];
    for (std::size_t bytes; (bytes = listing.ReadChunk(chunk, sizeof chunk)) > 0;)
        ForEachEntry(chunk, bytes, [&](const RawEntry& raw) {
            names.emplace_back(raw.name);
            types.push_back(raw.type);
        });
    ASSERT_EQ(names.size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto at = std::find(names.begin(), names.end(), c.name);
        ASSERT_NE(at, names.end());
        const unsigned char realType = types[static_cast<std::size_t>(at - names.begin())];
        for (const unsigned char type : {realType, static_cast<unsigned char>(DT_UNKNOWN)}) {
            for (const bool subfolders : {true, false}) {
                DirEntry found;
                EXPECT_EQ(
                    ExamineEntry(listing.Descriptor(), {*at, type}, "*.txt", subfolders, found),
                    subfolders ? c.withSubfolders : c.withoutSubfolders)
                    << "type " << int(type) << (subfolders ? ", subfolders" : "");
                if (c.withSubfolders == EntryKind::File) { // a link gives what it points to
                    EXPECT_EQ(found.name, c.name);
                    EXPECT_EQ(found.size, 5u);
                    EXPECT_EQ(found.inode, fileInfo.st_ino);
                    EXPECT_EQ(static_cast<dev_t>(found.device), fileInfo.st_dev);
                }
            }
        }
    }
}

TEST(DirectorySearchTest, UnreadableFolderYieldsNothing) {
    const TempDir dir;
    EXPECT_EQ(List(dir.Path() + "missing/", "*.*", SearchMode::Files), Names{});
    const std::string file = dir.Write("plain.txt");
    EXPECT_EQ(List(file + "/", "*.*", SearchMode::Folders), Names{});
}

} // namespace
} // namespace quorvane
