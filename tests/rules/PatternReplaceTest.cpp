#include "rules/PatternReplace.h"
#include "rules/Preview.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

const auto Replace = ReplaceMode::Replace;
const auto Remove = ReplaceMode::Remove;

ReplaceSettings Pattern(const char* search, const char* replacement, ReplaceMode mode, bool all,
                        bool entireName) {
    return {search, replacement, mode, all, entireName, true};
}

TEST(PatternReplace, RewritesNames) {
    struct Case {
        const char* name;
        ReplaceSettings settings; // pattern, replacement, mode, all, entire name
        const char* expected;
    };
    const Case cases[] = {
        // Groups, by number and by name; "$10" is group 1 and a "0".
        {"12-abc.txt", Pattern("(\\d+)-(\\w+)", "$2_$1", Replace, false, false), "abc_12.txt"},
        {"track7.mp3", Pattern("(?<num>\\d+)", "#${num}", Replace, false, false), "track#7.mp3"},
        {"a.txt", Pattern("(a)", "$10${1}", Replace, false, false), "a0a.txt"},
        {"a1b22.txt", Pattern("\\d+", "<$0>", Replace, true, true), "a<1>b<22>.txt"},
        {"ab.txt", Pattern("(a)|(b)", "[$1$2]", Replace, true, false), "[a][b].txt"},
        // "$$" is one "$"; a "$" before anything else stays.
        {"x.txt", Pattern("x", "$$", Replace, false, false), "$.txt"},
        {"x.txt", Pattern("x", "a$", Replace, false, false), "a$.txt"},
        {"x.txt", Pattern("x", "$y", Replace, false, false), "$y.txt"},
        // Anchors see the base name alone unless the whole name is searched.
        {"name.txt", Pattern("^", "x_", Replace, true, false), "x_name.txt"},
        {"name.txt", Pattern("$", "_end", Replace, true, false), "name_end.txt"},
        {"notes.txt", Pattern("\\.txt$", "", Replace, false, true), "notes"},
        {"notes.txt", Pattern("\\.txt$", "", Replace, false, false), "notes.txt"},
        {"aab.txt", Pattern("^a", "", Replace, true, false), "ab.txt"},
        // Matching is case-sensitive, as without a pattern.
        {"My Song.mp3", Pattern("song", "x", Replace, true, true), "My Song.mp3"},
        {"a.b.txt", Pattern(".", "_", Replace, true, true), "_______"},
        // Remove: the first match, or matches until none is left.
        {"a1b2.txt", Pattern("\\d", "ignored", Remove, false, false), "ab2.txt"},
        {"aabb.txt", Pattern("ab", "", Remove, true, false), ".txt"},
        {"aaab.txt", Pattern("^a", "", Remove, true, false), "b.txt"},
        // UTF-8 names: one character per code point, \w knows letters.
        {"\xC3\x84\xC3\x96.txt", Pattern(".", "_", Replace, true, false), "__.txt"},
        {"\xC3\x9C"
         "berlingen.txt",
         Pattern("^\\w+", "W", Replace, false, false), "W.txt"},
        {"b\xC3\xA4r.txt", Pattern("[\xC3\xA4]", "a", Replace, false, false), "bar.txt"},
        // A name that is not UTF-8 is matched byte by byte.
        {"caf\xE9.txt", Pattern("\xE9", "e", Replace, false, false), "cafe.txt"},
        {"a\xE9.txt", Pattern(".", "_", Replace, true, false), "__.txt"},
        {"caf\xE9.txt", Pattern("\xC3\xA9", "e", Replace, false, false), "caf\xE9.txt"},
        {"caf\xE9.txt", Pattern("\\x{263A}", "e", Replace, false, false), "caf\xE9.txt"},
        // Empty matches end, and match between characters as sed's do.
        {"abc.txt", Pattern("x*", "-", Replace, true, false), "-a-b-c-.txt"},
        {"xxa.txt", Pattern("x*", "-", Replace, true, false), "--a-.txt"},
        {"abc.txt", Pattern("x*", "-", Replace, false, false), "-abc.txt"},
        {"\xC3\xA4\xC3\xB6.txt", Pattern("x*", "-", Replace, true, false),
         "-\xC3\xA4-\xC3\xB6-.txt"},
        {"axbxx.txt", Pattern("x*", "", Remove, true, false), "ab.txt"},
        {"abxx.txt", Pattern("x*", "", Remove, false, false), "ab.txt"},
        {"abc.txt", Pattern("(?=b)", "|", Replace, true, false), "a|bc.txt"},
        // An empty pattern never matches, as an empty search text.
        {"abc.txt", Pattern("", "x", Replace, true, true), "abc.txt"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names{c.name};
        const ReplaceOutcome outcome = PreviewReplace(names, c.settings);
        EXPECT_FALSE(outcome.patternError)
            << c.settings.search << ": " << outcome.patternError->message;
        EXPECT_EQ(names.front(), c.expected) << c.name << " pattern " << c.settings.search;
    }
}

TEST(PatternReplace, FaultsEmptyEveryNameAndSayWhere) {
    struct Case {
        const char* pattern;
        const char* replacement;
        bool inReplacement;
        std::size_t offset;
        const char* message;
    };
    const Case cases[] = {
        {"(", "", false, 1, "missing closing parenthesis"},
        {"[a", "", false, 2, "missing terminating ] for character class"},
        {"a{2,1}", "", false, 5, "numbers out of order in {} quantifier"},
        {"\xC3\xA4(", "", false, 2, "missing closing parenthesis"}, // characters, not bytes
        {"\\C", "", false, 2, "using \\C is disabled by the application"},
        {"(a)", "x$2", true, 1, "there is no group 2"},
        {"(a)", "${nope}", true, 0, "no group is named \"nope\""},
        {"(a)", "\xC3\xA4${1", true, 1, "\"${\" without a closing \"}\""},
        {"(a)", "${}", true, 0, "\"${}\" names no group"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names{"a.txt", "b.txt"};
        const ReplaceOutcome outcome =
            PreviewReplace(names, Pattern(c.pattern, c.replacement, Replace, true, true));
        ASSERT_TRUE(outcome.patternError) << c.pattern;
        EXPECT_EQ(outcome.patternError->inReplacement, c.inReplacement) << c.pattern;
        EXPECT_EQ(outcome.patternError->offset, c.offset) << c.pattern;
        EXPECT_EQ(outcome.patternError->message, c.message) << c.pattern;
        EXPECT_EQ(names, (std::vector<std::string>{"", ""})) << c.pattern;
    }
    // Remove has no replacement to be wrong.
    std::vector<std::string> names{"a1.txt"};
    EXPECT_FALSE(PreviewReplace(names, Pattern("\\d", "${nope}", Remove, true, true)).patternError);
    EXPECT_EQ(names.front(), "a.txt");
    EXPECT_EQ(ReplacePatternHint({"missing closing parenthesis", 1, false}),
              "Regular expression error at offset 1: missing closing parenthesis");
    EXPECT_EQ(ReplacePatternHint({"there is no group 2", 0, true}),
              "Replacement error at offset 0: there is no group 2");
}

TEST(PatternReplace, AFaultyPatternLeavesTheSelectedRowsWithoutANewName) {
    FileRows rows(3);
    rows[0].originalName = "one.txt";
    rows[1].originalName = "two.txt";
    rows[2].originalName = "three.txt";
    rows[0].selected = rows[2].selected = true;
    PreviewSettings settings;
    settings.activePage = RulePage::Replace;
    settings.replace = Pattern("(t", "x", Replace, true, true);
    PreviewFileRows(rows, settings);
    for (const FileRow& row : rows)
        EXPECT_EQ(row.newName, "") << row.originalName;
    settings.replace.search = "(t)";
    PreviewFileRows(rows, settings);
    EXPECT_EQ(rows[0].newName, "one.xxx");
    EXPECT_EQ(rows[1].newName, "");
    EXPECT_EQ(rows[2].newName, "xhree.xxx");
}

TEST(PatternReplace, ARunawayPatternGivesUpOnTheNameAndSaysSo) {
    // Without a budget each of these takes about 2^40 steps.
    const std::string runaway = std::string(40, 'a') + "b";
    const std::string dashes =
        std::string(80, 'w') + " - " + std::string(80, 'x') + " - 12 - " + std::string(80, 'y');
    struct Case {
        const char* what;
        std::vector<std::string> names;
        ReplaceSettings settings; // pattern, replacement, mode, all, entire name
        std::vector<std::string> expected;
        std::size_t gaveUp;
    };
    const Case cases[] = {
        {"nested repeats",
         {runaway, "aa", "xyz"},
         Pattern("(a+)+$", "X", Replace, true, true),
         {"", "X", "xyz"},
         1},
        {"anchored",
         {std::string(40, 'a')},
         Pattern("^(a+)+[^a]", "x", Replace, true, true),
         {""},
         1},
        // A name that was half rewritten when the budget ran out gets no name.
        {"after a match", {"x" + runaway}, Pattern("x|(a+)+$", "y", Replace, true, true), {""}, 1},
        {"remove",
         {runaway + ".txt", runaway + ".txt"},
         Pattern("(a+)+$", "", Remove, true, false),
         {"", ""},
         2},
        {"not UTF-8", {"\xE9" + runaway}, Pattern("(a+)+$", "X", Replace, false, true), {""}, 1},
        // Backtracking within the budget still answers on a long name.
        {"long name",
         {dashes},
         Pattern("^(.*?)\\s*-\\s*(.*?)\\s*-\\s*(\\d+)\\s*-\\s*(.*)$", "$3", Replace, false, true),
         {"12"},
         0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names = c.names;
        const ReplaceOutcome outcome = PreviewReplace(names, c.settings);
        EXPECT_FALSE(outcome.patternError) << c.what;
        EXPECT_EQ(names, c.expected) << c.what;
        EXPECT_EQ(outcome.gaveUp, c.gaveUp) << c.what;
    }
    EXPECT_EQ(PatternGaveUpHint(3), "The pattern gave up on 3 names.");
}

} // namespace
} // namespace quorvane
