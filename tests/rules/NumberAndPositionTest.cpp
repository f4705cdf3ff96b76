#include "rules/CharacterPositions.h"
#include "rules/WholeNumber.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(WholeNumber, ReadsDecimalWholeNumbersInThe32BitRange) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"007", 7},
        {"  3", 3},
        {"+5", 5},
        {"-12", -12},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", {}},
        {"99999999999999999999", {}},
        {"", {}},
        {"-", {}},
        {"1.5", {}},
        {"12a", {}},
        {"3 ", {}},
        {"0x10", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseWholeNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(CharacterPositions, CountsCodePointsOfValidUtf8AndBytesOtherwise) {
    struct Case {
        const char* text;
        bool utf8;
        std::size_t count;
    };
    const Case cases[] = {
        {"", true, 0},
        {"abc", true, 3},
        {"aéb", true, 3},
        {"日本", true, 2},
        {"\xf0\x9f\x8e\xb5x", true, 2}, // a four-byte character
        {"a\xe9z", false, 3},           // ISO-8859-1 é
        {"\xc0\xaf", false, 2},         // overlong "/"
        {"\xed\xa0\x80", false, 3},     // a surrogate
        {"\xe6\x97", false, 2},         // cut short
        {"\xf4\x90\x80\x80", false, 4}, // above U+10FFFF
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CharacterPositions(c.text).IsUtf8(), c.utf8) << c.text;
        EXPECT_EQ(CharacterPositions(c.text).Count(), c.count) << c.text;
    }
    const CharacterPositions positions("aéb");
    EXPECT_EQ(positions.ByteOffset(0), 0u);
    EXPECT_EQ(positions.ByteOffset(1), 1u);
    EXPECT_EQ(positions.ByteOffset(2), 3u);
    EXPECT_EQ(positions.ByteOffset(3), 4u);
    EXPECT_EQ(positions.ByteOffset(9), 4u);
}

} // namespace
} // namespace quorvane
