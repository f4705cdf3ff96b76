#include "text/AsciiCase.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(AsciiCase, OnlyTheBasicLatinLettersChange) {
    struct Case {
        const char* text;
        const char* lower;
        const char* upper;
    };
    const Case cases[] = {
        {"", "", ""},
        {"Az09", "az09", "AZ09"},
        {"@[`{", "@[`{", "@[`{"}, // the neighbours of the letters
        {"\xC3\x89t\xC3\xA9", "\xC3\x89t\xC3\xA9", "\xC3\x89T\xC3\xA9"}, // É and é stay
        {"\xE9", "\xE9", "\xE9"},                                        // ISO-8859-1 é stays
    };
    for (const Case& c : cases) {
        std::string lower = c.text;
        std::string upper = c.text;
        LowerAsciiLetters(lower);
        UpperAsciiLetters(upper);
        EXPECT_EQ(lower, c.lower) << c.text;
        EXPECT_EQ(upper, c.upper) << c.text;
    }
}

TEST(AsciiCase, EqualIgnoringCase) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"", "", true},    {"Photo.JPG", "photo.jpg", true}, {"photo", "photos", false},
        {"@", "`", false},                                  // one bit apart, but no letters
        {"[", "{", false}, {"\xC3\x89", "\xC3\xA9", false}, // É and é are not basic Latin
    };
    for (const Case& c : cases)
        EXPECT_EQ(EqualIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

} // namespace
} // namespace quorvane
