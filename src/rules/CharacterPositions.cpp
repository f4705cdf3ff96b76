#include "rules/CharacterPositions.h"

namespace quorvane {

namespace {

bool IsContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

constexpr std::size_t kNotUtf8 = static_cast<std::size_t>(-1);

// The number of code points of well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF), or kNotUtf8.
std::size_t CodePointCount(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    std::size_t count = 0;
    for (; p < end; ++count) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80; // allowed range of the second byte
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
            return kNotUtf8;
        }
        if (static_cast<std::size_t>(end - p) < length || p[1] < low || p[1] > high)
            return kNotUtf8;
        for (std::size_t k = 2; k < length; ++k)
            if (!IsContinuationByte(p[k]))
                return kNotUtf8;
        p += length;
    }
    return count;
}

} // namespace

CharacterPositions::CharacterPositions(std::string_view text)
    : m_text(text), m_count(CodePointCount(text)) {
    m_utf8 = m_count != kNotUtf8;
    if (!m_utf8)
        m_count = text.size();
}

std::size_t CharacterPositions::ByteOffset(std::size_t index) const {
    if (index >= m_count)
        return m_text.size();
    if (m_count == m_text.size()) // one byte per character
        return index;
    std::size_t seen = 0;
    for (std::size_t offset = 0; offset < m_text.size(); ++offset) {
        if (IsContinuationByte(static_cast<unsigned char>(m_text[offset])))
            continue;
        if (seen == index)
            return offset;
        ++seen;
    }
    return m_text.size();
}

} // namespace quorvane
