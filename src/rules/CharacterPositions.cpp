#include "rules/CharacterPositions.h"

#include "text/Utf8.h"

namespace quorvane {

CharacterPositions::CharacterPositions(std::string_view text) : m_text(text) {
    const std::optional<std::size_t> codePoints = Utf8CodePointCount(text);
    m_utf8 = codePoints.has_value();
    m_count = codePoints.value_or(text.size());
}

std::size_t CharacterPositions::ByteOffset(std::size_t index) const {
    if (index >= m_count)
        return m_text.size();
    if (m_count == m_text.size()) // one byte per character
        return index;
    std::size_t seen = 0;
    for (std::size_t offset = 0; offset < m_text.size(); ++offset) {
        if (IsUtf8ContinuationByte(static_cast<unsigned char>(m_text[offset])))
            continue;
        if (seen == index)
            return offset;
        ++seen;
    }
    return m_text.size();
}

} // namespace quorvane
