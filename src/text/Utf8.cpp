#include "text/Utf8.h"

namespace quorvane {

std::optional<std::size_t> Utf8CodePointCount(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    std::size_t count = 0;
    for (; p < end; ++count) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        // The second byte's range rules out what the lead alone cannot.
        std::size_t length;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // overlong
            if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90; // overlong
            if (lead == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return std::nullopt; // a continuation byte, an overlong lead or beyond U+10FFFF
        }
        if (static_cast<std::size_t>(end - p) < length || p[1] < low || p[1] > high)
            return std::nullopt;
        for (std::size_t k = 2; k < length; ++k)
            if (!IsUtf8ContinuationByte(p[k]))
                return std::nullopt;
        p += length;
    }
    return count;
}

bool IsValidUtf8(std::string_view text) {
    return Utf8CodePointCount(text).has_value();
}

} // namespace quorvane
