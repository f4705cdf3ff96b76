#include "mp3/TagText.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(TagText, Latin1IsConvertedAndUtf8IsKept) {
    struct Case {
        const char* raw;
        const char* utf8;
    };
    const Case cases[] = {
        {"", ""},
        {"Plain ASCII", "Plain ASCII"},
        {"Caf\xE9", "Caf\xC3\xA9"},                   // é in ISO-8859-1
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},               // already UTF-8
        {"\xFF\x80\xA0", "\xC3\xBF\xC2\x80\xC2\xA0"}, // edges of the upper half
        {"Motörhead \xE2\x82\xAC", "Motörhead \xE2\x82\xAC"},
        {"\xC3", "\xC3\x83"},     // a lone lead byte is Latin-1
        {"Pop/Funk", "Pop/Funk"}, // no character is dropped
    };
    for (const Case& c : cases)
        EXPECT_EQ(TagTextToUtf8(c.raw), c.utf8) << c.raw;
}

TEST(TagText, Utf8Validity) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"abc", true},
        {"\xC3\xA9", true},
        {"\xF0\x9F\x8E\xB5", true},  // U+1F3B5
        {"\xC0\xAF", false},         // overlong "/"
        {"\xE0\x80\xAF", false},     // overlong "/"
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // beyond U+10FFFF
        {"\xE2\x82", false},         // cut short
        {"\x80", false},             // continuation without lead
        {"\xC3\x28", false},         // lead without continuation
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
}

} // namespace
} // namespace quorvane
