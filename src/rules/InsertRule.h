#pragma once
// Page 1 "Insert": puts a text into the base name at a character position,
// counted from the start or from the end; the extension stays as it is.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct InsertSettings {
    std::string text;           // meSource, used as typed
    std::string position = "1"; // meindex text; empty is refilled with "1"
    bool fromEnd = false;       // cbFromEnd
};

// What the rule changed on its page besides the names.
struct InsertOutcome {
    // The position box was empty: it now shows this number.
    std::optional<std::int32_t> refilledPosition;
};

// Rewrites every entry of the working list in place. The position counts
// characters of the base name from 1: below 1 counts as 1, past the end
// appends to it. Characters are UTF-8 code points when the base name is valid
// UTF-8, bytes otherwise.
// `folders` marks the entries that name folders, which have no extension.
InsertOutcome PreviewInsert(std::vector<std::string>& names, const InsertSettings& settings,
                            const std::vector<bool>& folders = {});

} // namespace quorvane
