#include "rules/ReplaceRule.h"
#include "support/OneName.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(ReplaceRule, ReplacesAndRemoves) {
    // The settings: search, replacement, mode, all, entire name.
    const auto Replace = ReplaceMode::Replace;
    const auto Remove = ReplaceMode::Remove;
    const test::NameCase<ReplaceSettings> cases[] = {
        {"a.b.txt", {".", "_", Replace, true, true}, "a_b_txt"},
        {"a.b.txt", {".", "_", Replace, true, false}, "a_b.txt"},
        {"a-b-c.txt", {"-", " ", Replace, false, true}, "a b-c.txt"},
        {"aaaa.txt", {"aa", "b", Replace, true, false}, "bb.txt"},
        {"aaa.txt", {"aa", "b", Replace, true, false}, "ba.txt"},
        {"banana.txt", {"a", "aa", Replace, true, false}, "baanaanaa.txt"},
        {"aabb.txt", {"ab", "", Remove, true, false}, ".txt"},
        {"aabb.txt", {"ab", "", Replace, true, false}, "ab.txt"},
        {"aaabbb.txt", {"ab", "", Remove, true, false}, ".txt"},
        {"My Song.mp3", {"song", "x", Replace, true, true}, "My Song.mp3"},
        {"track.mp3", {".mp3", "", Remove, false, true}, "track"},
        {"track.mp3", {".mp3", "", Remove, false, false}, "track.mp3"},
        {"track.mp3", {"", "x", Replace, true, true}, "track.mp3"}, // empty search
        {"track.mp3", {"t", "x", ReplaceMode::None, true, true}, "track.mp3"},
        {"abab.txt", {"ab", "", Remove, false, true}, "ab.txt"},
        {"x.txt", {"x.txt", "", Remove, false, true}, ""},
        {"a b .txt", {" ", "", Replace, true, false}, "ab.txt"},
        {"téte.txt", {"é", "e", Replace, true, false}, "tete.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(test::PreviewOne(PreviewReplace, c.name, c.settings), c.expected)
            << c.name << " search " << c.settings.search;
}

TEST(ReplaceRule, TextFunctions) {
    EXPECT_EQ(ReplaceFirst("abcabc", "bc", "X"), "aXabc");
    EXPECT_EQ(ReplaceAll("abcabc", "bc", "X"), "aXaX");
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(RemoveFirst("abcabc", "bc"), "aabc");
    EXPECT_EQ(RemoveAll("abcabc", "bc"), "aa");
    EXPECT_EQ(RemoveAll("aababbb", "ab"), "b");
    EXPECT_EQ(RemoveAll("xxaabbyy", "ab"), "xxyy");
    EXPECT_EQ(RemoveAll("abc", ""), "abc");
    EXPECT_EQ(ReplaceFirst("abc", "", "X"), "abc");
}

} // namespace
} // namespace quorvane
