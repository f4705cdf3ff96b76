#include "mp3/TagText.h"

#include "text/Utf8.h"

#include <cstdint>

namespace quorvane {

std::string TagTextToUtf8(std::string_view raw) {
    if (IsValidUtf8(raw))
        return std::string(raw);
    // ISO-8859-1 maps each byte to the code point of the same value.
    std::string out;
    out.reserve(raw.size() * 2);
    for (const char c : raw) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0u | (byte >> 6));
            out += static_cast<char>(0x80u | (byte & 0x3Fu));
        }
    }
    return out;
}

} // namespace quorvane
