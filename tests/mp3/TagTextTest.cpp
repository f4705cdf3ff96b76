#include "mp3/TagText.h"

#include <gtest/gtest.h>
#include <utility>

namespace quorvane {
namespace {

TEST(TagText, Latin1IsConvertedAndUtf8IsKept) {
    // The bytes of a tag field and the UTF-8 text they are shown as.
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"Plain ASCII", "Plain ASCII"},
        {"Caf\xE9", "Caf\xC3\xA9"},                   // é in ISO-8859-1
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},               // already UTF-8
        {"\xFF\x80\xA0", "\xC3\xBF\xC2\x80\xC2\xA0"}, // edges of the upper half
        {"Motörhead \xE2\x82\xAC", "Motörhead \xE2\x82\xAC"},
        {"\xC3", "\xC3\x83"},     // a lone lead byte is Latin-1
        {"Pop/Funk", "Pop/Funk"}, // no character is dropped
    };
    for (const auto& [raw, utf8] : cases)
        EXPECT_EQ(TagTextToUtf8(raw), utf8) << raw;
}

} // namespace
} // namespace quorvane
