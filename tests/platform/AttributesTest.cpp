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

TEST(AttributesTest, ReadOnlyFollowsTheWriteBits) {
    const TempDir dir;
    const std::string file = dir.Write("f.txt", "x");
    ::chmod(file.c_str(), 0664);
    ASSERT_EQ(WriteAttributes(file, kAttrReadOnly), 0);
    struct stat info {};
    ::stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_EQ(ReadAttributes(file), kAttrReadOnly);
    ASSERT_EQ(WriteAttributes(file, 0), 0);
    ::stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(ReadAttributes(file), 0u);
    // Nothing needed storing, so nothing was stored.
    EXPECT_EQ(StoredBlob(file), "");
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
    // Written back as read, a dot name needs nothing stored: it is its own hidden bit.
    EXPECT_EQ(WriteAttributes(hiddenFile, kAttrHidden | kAttrReadOnly), 0);
    EXPECT_EQ(StoredBlob(hiddenFile), "");
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
    // 0x27 holds read-only, but read-only is read from the write bits.
    EXPECT_EQ(ReadAttributes(file), kAttrHidden | kAttrSystem | kAttrArchive);
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
