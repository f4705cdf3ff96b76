#include "text/AsciiCase.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace quorvane {
namespace {

TEST(AsciiCase, OnlyTheBasicLatinLettersChange) {
    // A text, its lower case, its upper case.
    const std::array<const char*, 3> cases[] = {
        {"", "", ""},
        {"Az09", "az09", "AZ09"},
        {"@[`{", "@[`{", "@[`{"}, // the neighbours of the letters
        {"\xC3\x89t\xC3\xA9", "\xC3\x89t\xC3\xA9", "\xC3\x89T\xC3\xA9"}, // É and é stay
        {"\xE9", "\xE9", "\xE9"},                                        // ISO-8859-1 é stays
    };
    for (const auto& [text, lower, upper] : cases) {
        std::string lowered = text;
        std::string uppered = text;
        LowerAsciiLetters(lowered);
        UpperAsciiLetters(uppered);
        EXPECT_EQ(lowered, lower) << text;
        EXPECT_EQ(uppered, upper) << text;
        EXPECT_TRUE(EqualIgnoringAsciiCase(lower, upper)) << text;
    }
}

TEST(AsciiCase, TextsThatDifferInMoreThanLetterCaseAreNotEqual) {
    const std::array<const char*, 2> pairs[] = {
        {"photo", "photos"},
        {"@", "`"}, // one bit apart, but no letters
        {"[", "{"},
        {"\xC3\x89", "\xC3\xA9"}, // É and é are not basic Latin
    };
    for (const auto& [a, b] : pairs)
        EXPECT_FALSE(EqualIgnoringAsciiCase(a, b)) << a << " / " << b;
    EXPECT_TRUE(EqualIgnoringAsciiCase("Photo.JPG", "photo.jpg"));
}

} // namespace
} // namespace quorvane
