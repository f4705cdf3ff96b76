#pragma once
// Character positions inside a name. A name that is valid UTF-8 counts one
// character per code point, so a rule never cuts a character in two; any other
// name counts one character per byte.

#include "rules/FileRow.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class CharacterPositions {
public:
    explicit CharacterPositions(std::string_view text);

    bool IsUtf8() const { return m_utf8; }
    std::size_t Count() const { return m_count; }
    // Byte offset of the character with 0-based index `index`; Count() gives
    // the end of the text.
    std::size_t ByteOffset(std::size_t index) const;

private:
    std::string_view m_text;
    std::size_t m_count;
    bool m_utf8;
};

// Calls `edit(name, base)` for every name of the working list, where `base`
// holds the character positions of the name without its extension (see
// ExtensionOffset for `folders`). The rules that count characters work on the
// base name only.
template <typename Edit>
void EditBaseNames(std::vector<std::string>& names, const std::vector<bool>& folders, Edit edit) {
    for (std::size_t entry = 0; entry < names.size(); ++entry) {
        std::string& name = names[entry];
        const CharacterPositions base(
            std::string_view(name).substr(0, ExtensionOffset(name, folders, entry)));
        edit(name, base);
    }
}

} // namespace quorvane
