#include "rules/DeleteRule.h"
#include "rules/InsertRule.h"
#include "support/OneName.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::NameCase;
using test::PreviewOne;

TEST(InsertRule, InsertsIntoTheBaseName) {
    const NameCase<InsertSettings> cases[] = {
        {"song.mp3", {"_v2", "1", false}, "_v2song.mp3"},
        {"song.mp3", {"_v2", "5", false}, "song_v2.mp3"},
        {"song.mp3", {"_v2", "50", false}, "song_v2.mp3"},
        {"song.mp3", {"_v2", "1", true}, "song_v2.mp3"},
        {"song.mp3", {"_v2", "2", true}, "son_v2g.mp3"},
        {"song.mp3", {"_v2", "9", true}, "_v2song.mp3"},
        {"archive.tar.gz", {"X", "1", true}, "archive.tarX.gz"},
        {"song.mp3", {"", "2", false}, "song.mp3"},
        {".profile", {"new", "3", false}, "new.profile"},
        {"song.mp3", {"X", "-4", false}, "Xsong.mp3"},  // below 1 counts as 1
        {"song.mp3", {"X", "-4", true}, "songX.mp3"},   // past the end appends
        {"song.mp3", {"X", "abc", false}, "Xsong.mp3"}, // not a number: 1
        {"song.mp3", {"X", "2147483647", true}, "Xsong.mp3"},
        {"über.txt", {"X", "2", false}, "üXber.txt"}, // one character per code point
        {"aé.txt", {"X", "1", true}, "aéX.txt"},
        {"a\xe9z.txt", {"X", "3", false}, "a\xe9Xz.txt"}, // not UTF-8: bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreviewOne(PreviewInsert, c.name, c.settings), c.expected)
            << c.name << " at " << c.settings.position << (c.settings.fromEnd ? " from end" : "");
}

TEST(InsertRule, RefillsAnEmptyPositionWithOne) {
    std::vector<std::string> names{"song.mp3"};
    const InsertOutcome outcome = PreviewInsert(names, {"X", "", false});
    EXPECT_EQ(names.front(), "Xsong.mp3");
    EXPECT_EQ(outcome.refilledPosition, 1);
    EXPECT_FALSE(PreviewInsert(names, {"X", "1", false}).refilledPosition);
}

TEST(DeleteRule, DeletesFromTheBaseName) {
    // The settings: position, count, from end.
    const NameCase<DeleteSettings> cases[] = {
        {"IMG_0001.jpg", {"1", "2", false}, "G_0001.jpg"},
        {"IMG_0001.jpg", {"4", "2", false}, "IMG001.jpg"},
        {"photo_old.jpg", {"1", "3", true}, "photo_.jpg"},
        {"photo_old.jpg", {"2", "3", true}, "photod.jpg"},
        {"abcdef.txt", {"3", "10", false}, "ab.txt"},
        {"abcdef.txt", {"1", "10", true}, "abcdef.txt"}, // would start before the name
        {"abcdef.txt", {"1", "0", false}, "abcdef.txt"},
        {"abcdef.txt", {"7", "1", false}, "abcdef.txt"}, // past the base name
        {"abcdef.txt", {"0", "2", false}, "abcdef.txt"},
        {"abcdef.txt", {"2", "-3", false}, "abcdef.txt"},
        {"abcdef.txt", {"2", "x", false}, "acdef.txt"},  // count not a number: 1
        {"abcdef.txt", {"x", "2", false}, "abcdef.txt"}, // position not a number: 0
        {"abcdef.txt", {"1", "2147483647", false}, ".txt"},
        {"abcdef.txt", {"-2147483648", "2147483647", true}, "abcdef.txt"},
        {"abc", {"1", "3", false}, ""},
        {".profile", {"1", "5", false}, ".profile"},
        {"aéb.txt", {"2", "1", false}, "ab.txt"},
        {"日本語.txt", {"1", "1", true}, "日本.txt"},
        {"a\xe9\xe9z.txt", {"2", "2", false}, "az.txt"}, // not UTF-8: bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreviewOne(PreviewDelete, c.name, c.settings), c.expected)
            << c.name << " " << c.settings.count << " at " << c.settings.position
            << (c.settings.fromEnd ? " from end" : "");
}

TEST(DeleteRule, RefillsEmptyBoxes) {
    std::vector<std::string> names{"abc.txt"};
    const DeleteOutcome outcome = PreviewDelete(names, {"", "", false});
    EXPECT_EQ(names.front(), "abc.txt"); // count 0 deletes nothing
    EXPECT_EQ(outcome.refilledPosition, 1);
    EXPECT_EQ(outcome.refilledCount, 0);
    const DeleteOutcome filled = PreviewDelete(names, {"2", "1", false});
    EXPECT_FALSE(filled.refilledPosition);
    EXPECT_FALSE(filled.refilledCount);
}

// Positions at and past the ends of a name without an extension.
TEST(TextPrimitives, BoundsAndCharacters) {
    EXPECT_EQ(PreviewOne(PreviewInsert, "abc", InsertSettings{"X", "0", false}), "Xabc");
    EXPECT_EQ(PreviewOne(PreviewInsert, "abc", InsertSettings{"X", "4", false}), "abcX");
    EXPECT_EQ(PreviewOne(PreviewInsert, "", InsertSettings{"X", "7", false}), "X");
    EXPECT_EQ(PreviewOne(PreviewDelete, "abc", DeleteSettings{"3", "5", false}), "ab");
    EXPECT_EQ(PreviewOne(PreviewDelete, "abc", DeleteSettings{"4", "1", false}), "abc");
    EXPECT_EQ(PreviewOne(PreviewDelete, "", DeleteSettings{"1", "1", false}), "");
    EXPECT_EQ(PreviewOne(PreviewDelete, "€uro", DeleteSettings{"1", "1", false}), "uro");
}

} // namespace
} // namespace quorvane
