#include "text/Utf8.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(Utf8, WellFormedTextIsCountedInCodePoints) {
    struct Case {
        const char* text;
        std::optional<std::size_t> codePoints; // nothing: not well-formed
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xC3\xA9", 1},
        {"日本", 2},
        {"\xF0\x9F\x8E\xB5x", 2},           // U+1F3B5, four bytes
        {"\xEF\xBF\xBF", 1},                // U+FFFF, the last three-byte character
        {"\xF4\x8F\xBF\xBF", 1},            // U+10FFFF, the last one of all
        {"\xC0\xAF", std::nullopt},         // overlong "/"
        {"\xC1\xBF", std::nullopt},         // overlong lead
        {"\xE0\x80\xAF", std::nullopt},     // overlong "/"
        {"\xF0\x8F\xBF\xBF", std::nullopt}, // overlong U+FFFF
        {"\xED\xA0\x80", std::nullopt},     // surrogate
        {"\xF4\x90\x80\x80", std::nullopt}, // beyond U+10FFFF
        {"\xF5\x80\x80\x80", std::nullopt}, // lead beyond U+10FFFF
        {"\xE2\x82", std::nullopt},         // cut short
        {"\x80", std::nullopt},             // continuation without lead
        {"\xC3\x28", std::nullopt},         // lead without continuation
        {"\xE2\x82\x28", std::nullopt},     // third byte no continuation
        {"a\xE9z", std::nullopt},           // ISO-8859-1 é
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8CodePointCount(c.text), c.codePoints) << c.text;
        EXPECT_EQ(IsValidUtf8(c.text), c.codePoints.has_value()) << c.text;
    }
}

} // namespace
} // namespace quorvane
