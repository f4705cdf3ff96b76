#pragma once
// UTF-8 as names and tag texts on this platform hold it: well-formed means no
// overlong forms, no surrogates and nothing above U+10FFFF.

#include <cstddef>
#include <optional>
#include <string_view>

namespace quorvane {

// A byte that continues a character rather than starting one.
constexpr bool IsUtf8ContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The number of code points of well-formed UTF-8; nothing for any other text.
std::optional<std::size_t> Utf8CodePointCount(std::string_view text);

bool IsValidUtf8(std::string_view text);

} // namespace quorvane
