#include "platform/Attributes.h"
#include "platform/DirectorySearch.h"
#include "platform/DosAttribBlob.h"

#include "support/TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace quorvane {
namespace {

using test::TempDir;

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

// Values as Samba's own NDR code packs them (valid_flags 0x11, a create time).
const char* const kVersion3Of27 = "3078323700000300030000001100000027000000000000000000000000000000"
                                  "000000000000000008070605040302010000000000000000";
const char* const kVersion3Of7 = "3078370003000300110000000700000000000000000000000000000000000000"
                                 "0000000008070605040302010000000000000000";
const char* const kVersion3Of1234 =
    "3078313233340000030003001100000034120000000000000000000000000000"
    "000000000000000008070605040302010000000000000000";
const char* const kVersion4Of27 =
    "0000040004000000110000002700000000000000000000000807060504030201";
const char* const kVersion5Of27 = "000005000500000011000000270000000807060504030201";
const char* const kVersion5Of7 = "000005000500000011000000070000000807060504030201";
const char* const kVersion1Of7 = "3078370001000100070000000000000000000000000000000000000000000000"
                                 "08070605040302010000000000000000";
const char* const kVersion1Of1234 =
    "3078313233340000010001003412000000000000000000000000000000000000"
    "0000000008070605040302010000000000000000";

TEST(DosAttribBlobTest, ReadsEveryKnownForm) {
    const struct {
        std::string blob;
        std::optional<std::uint32_t> word;
    } cases[] = {
        {FromHex(kVersion3Of27), 0x27},
        {FromHex(kVersion3Of1234), 0x1234},
        {FromHex(kVersion4Of27), 0x27},
        {FromHex(kVersion5Of27), 0x27},
        {FromHex(kVersion1Of7), 0x7},
        {FromHex(kVersion1Of1234), 0x1234},
        {std::string("0x20"), 0x20},
        {std::string("0x20\0", 5), 0x20},
        {std::string("0X2f"), 0x2F},
        // Not a value we know: no bits rather than a guess.
        {std::string(), std::nullopt},
        {std::string("0x"), std::nullopt},
        {std::string("20"), std::nullopt},
        {std::string("0x2g"), std::nullopt},
        {std::string("0x123456789"), std::nullopt},
        {std::string("0x20\0\0", 6), std::nullopt},
        {FromHex("000006000600000011000000270000000807060504030201"), std::nullopt},
        {FromHex("000005000400000011000000270000000807060504030201"), std::nullopt},
        {FromHex("0000050005000000110000002700"), std::nullopt}, // cut short
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.blob));
        EXPECT_EQ(ParseDosAttribBlob(c.blob), c.word);
    }
}

TEST(DosAttribBlobTest, EditingChangesOnlyTheWord) {
    const struct {
        std::string blob;
        std::uint32_t word;
        std::string expected;
    } cases[] = {
        // The text in front of a version 3 value follows the word, moving the rest.
        {FromHex(kVersion3Of27), 0x7, FromHex(kVersion3Of7)},
        {FromHex(kVersion3Of27), 0x1234, FromHex(kVersion3Of1234)},
        {FromHex(kVersion3Of1234), 0x27, FromHex(kVersion3Of27)},
        {FromHex(kVersion5Of27), 0x7, FromHex(kVersion5Of7)},
        {FromHex(kVersion1Of7), 0x1234, FromHex(kVersion1Of1234)},
        {FromHex(kVersion4Of27), 0x27, FromHex(kVersion4Of27)},
        // valid_flags gain "attrib is valid".
        {FromHex("000005000500000010000000000000000807060504030201"), 0x20,
         FromHex("000005000500000011000000200000000807060504030201")},
        // Anything else becomes the legacy text.
        {std::string(), 0x22, std::string("0x22\0", 5)},
        {std::string("0x20"), 0x0, std::string("0x0\0", 4)},
        {std::string("junk"), 0x24, std::string("0x24\0", 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.blob));
        const std::string edited = EditDosAttribBlob(c.blob, c.word);
        EXPECT_EQ(edited, c.expected);
        EXPECT_EQ(ParseDosAttribBlob(edited), c.word);
    }
}

bool UserXattrsWork(const std::string& path) {
    if (::setxattr(path.c_str(), "user.quorvane-probe", "1", 1, 0) != 0)
        return false;
    ::removexattr(path.c_str(), "user.quorvane-probe");
    return true;
}

std::string StoredBlob(const std::string& path) {
    char buffer[256];
    const ssize_t size = ::getxattr(path.c_str(), kDosAttribName, buffer, sizeof buffer);
    return size < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(size));
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// A Samba client's view and ours agree: read-only is a clear owner write bit
// or the stored bit, and setting or clearing it changes both.
TEST(AttributesTest, ReadOnlyIsOneStateOfModeAndStoredWord) {
    const std::string text1("0x1\0", 4);
    const std::string text0("0x0\0", 4);
    const std::string samba21 = FromHex("000005000500000011000000210000000807060504030201");
    const std::string samba20 = FromHex("000005000500000011000000200000000807060504030201");
    const struct Case {
        const char* what;
        mode_t mode;
        std::string blob;                   // stored before, empty for none
        std::optional<std::uint32_t> write; // nothing: only read
        mode_t modeAfter;
        std::string blobAfter;
        std::uint32_t read;
    } cases[] = {
        {"read-only alone stores the bit", 0664, "", kAttrReadOnly, 0444, text1, kAttrReadOnly},
        {"set through Samba: bit, mode writable", 0644, text1, {}, 0644, text1, kAttrReadOnly},
        {"Samba's own value with the bit",
         0644,
         samba21,
         {},
         0644,
         samba21,
         kAttrReadOnly | kAttrArchive},
        {"cleared through Samba after we set it", 0444, text0, {}, 0444, text0, kAttrReadOnly},
        {"clearing clears mode and bit", 0444, text1, 0u, 0644, text0, 0},
        {"clearing edits Samba's value in place", 0644, samba21, kAttrArchive, 0644, samba20,
         kAttrArchive},
        {"set on a file already without write bits", 0444, "", kAttrReadOnly, 0444, text1,
         kAttrReadOnly},
        {"clearing where nothing is stored stores nothing", 0664, "", 0u, 0664, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir dir;
        const std::string file = dir.Write("f.txt", "x");
        if (!UserXattrsWork(file))
            GTEST_SKIP() << "no user extended attributes here";
        if (!c.blob.empty()) {
            ASSERT_EQ(::setxattr(file.c_str(), kDosAttribName, c.blob.data(), c.blob.size(), 0), 0);
        }
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        if (c.write) {
            ASSERT_EQ(WriteAttributes(file, *c.write), 0);
        }
        EXPECT_EQ(ModeOf(file), c.modeAfter);
        EXPECT_EQ(StoredBlob(file), c.blobAfter);
        EXPECT_EQ(ReadAttributes(file), c.read);
        EXPECT_EQ(ReadStoredAttributes(file) | ((c.modeAfter & S_IWUSR) ? 0u : kAttrReadOnly),
                  c.read)
            << "what the list shows";
    }
}

// File systems that keep no extended attributes: one says so when read, one
// only when a value is written.
TEST(AttributesTest, WithoutExtendedAttributesTheModeCarriesReadOnly) {
    ExtendedAttributeCalls none;
    none.get = [](const char*, const char*, void*, std::size_t) -> ssize_t {
        errno = ENOTSUP;
        return -1;
    };
    none.set = [](const char*, const char*, const void*, std::size_t, int) {
        errno = ENOTSUP;
        return -1;
    };
    none.remove = [](const char*, const char*) {
        errno = ENOTSUP;
        return -1;
    };
    ExtendedAttributeCalls noneOnWrite = none;
    noneOnWrite.get = [](const char*, const char*, void*, std::size_t) -> ssize_t {
        errno = ENODATA;
        return -1;
    };
    for (const ExtendedAttributeCalls* calls : {&none, &noneOnWrite}) {
        SCOPED_TRACE(calls == &none ? "refused on read" : "refused on write");
        const TempDir dir;
        const std::string file = dir.Write("f.txt", "x");
        ::chmod(file.c_str(), 0664);
        EXPECT_EQ(WriteAttributes(file, kAttrReadOnly, *calls), 0);
        EXPECT_EQ(ModeOf(file), 0444u);
        EXPECT_EQ(ReadAttributes(file, *calls), kAttrReadOnly);
        EXPECT_EQ(WriteAttributes(file, 0, *calls), 0);
        EXPECT_EQ(ModeOf(file), 0644u);
        EXPECT_EQ(ReadAttributes(file, *calls), 0u);
        // Archive has nowhere to go: a failure, and the file is left as it was.
        EXPECT_EQ(WriteAttributes(file, kAttrReadOnly | kAttrArchive, *calls), ENOTSUP);
        EXPECT_EQ(ModeOf(file), 0644u);
        EXPECT_EQ(StoredBlob(file), "");
    }
}

TEST(AttributesTest, MissingFileHasNoAttributes) {
    const TempDir dir;
    EXPECT_EQ(ReadAttributes(dir.Path() + "missing"), std::nullopt);
    EXPECT_EQ(WriteAttributes(dir.Path() + "missing", kAttrArchive), ENOENT);
}

TEST(AttributesTest, FoldersAndDotNames) {
    const TempDir dir;
    const std::string hiddenFile = dir.Write(".profile", "x");
    EXPECT_EQ(ReadAttributes(dir.Path()), kAttrDirectory);
    EXPECT_EQ(ReadAttributes(hiddenFile), kAttrHidden);
    // A dot name is its own hidden bit; read-only still goes into the stored
    // word, which then holds the whole word.
    EXPECT_EQ(WriteAttributes(hiddenFile, kAttrHidden | kAttrReadOnly), 0);
    if (UserXattrsWork(dir.Path())) {
        EXPECT_EQ(StoredBlob(hiddenFile), std::string("0x3\0", 4));
    }
    EXPECT_EQ(ReadAttributes(hiddenFile), kAttrHidden | kAttrReadOnly);
    // Clearing hidden never renames: the dot keeps the file hidden.
    EXPECT_EQ(WriteAttributes(hiddenFile, 0), 0);
    EXPECT_EQ(ReadAttributes(hiddenFile), kAttrHidden);
}

TEST(AttributesTest, RoundTripThroughTheStoredValue) {
    const TempDir dir;
    const std::string file = dir.Write("song.mp3", "x");
    if (!UserXattrsWork(file))
        GTEST_SKIP() << "no user extended attributes here";
    const std::uint32_t words[] = {
        kAttrArchive,
        kAttrHidden | kAttrSystem,
        kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive,
        kAttrSystem | kAttrReadOnly,
        0,
    };
    for (const std::uint32_t word : words) {
        SCOPED_TRACE(word);
        ASSERT_EQ(WriteAttributes(file, word), 0);
        EXPECT_EQ(ReadAttributes(file), word);
        // The stored word mirrors read-only too, as Samba keeps it.
        EXPECT_EQ(ParseDosAttribBlob(StoredBlob(file)), word);
    }
    // Bits outside the four are dropped: the word replaces everything.
    ASSERT_EQ(WriteAttributes(file, 0x80 | kAttrArchive), 0);
    EXPECT_EQ(ReadAttributes(file), kAttrArchive);
}

TEST(AttributesTest, ExistingBinaryValueKeepsItsOtherFields) {
    const TempDir dir;
    const std::string file = dir.Write("doc.txt", "x");
    if (!UserXattrsWork(file))
        GTEST_SKIP() << "no user extended attributes here";
    const std::string samba = FromHex(kVersion5Of27);
    ASSERT_EQ(::setxattr(file.c_str(), kDosAttribName, samba.data(), samba.size(), 0), 0);
    // 0x27 holds read-only too: the file is read-only though its mode is not.
    EXPECT_EQ(ReadAttributes(file), kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    ASSERT_EQ(WriteAttributes(file, kAttrSystem), 0);
    EXPECT_EQ(StoredBlob(file), FromHex(kVersion5Of7).replace(12, 1, "\x04"));
    EXPECT_EQ(ReadAttributes(file), kAttrSystem);
}

TEST(AttributesTest, ImmutableFileFailsAndIsLeftAlone) {
    const TempDir dir;
    const std::string file = dir.Write("locked", "x");
    ::chmod(file.c_str(), 0644);
    if (!test::MakeImmutable(file))
        GTEST_SKIP() << "chattr +i refused: needs root and a file system with the flag";
    EXPECT_NE(WriteAttributes(file, kAttrReadOnly | kAttrArchive), 0);
    test::Shell("chattr -i '" + file + "'");
    EXPECT_EQ(ReadAttributes(file), 0u);
    struct stat info {};
    ::stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

} // namespace
} // namespace quorvane
