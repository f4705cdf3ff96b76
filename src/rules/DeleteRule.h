#pragma once
// Page 2 "Delete": removes a run of characters from the base name, counted
// from the start or from the end; the extension stays as it is.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct DeleteSettings {
    std::string position = "1"; // edtIndex text; empty is refilled with "1"
    std::string count = "0";    // edtCount text; empty is refilled with "0"
    bool fromEnd = false;       // cbEnd
};

// What the rule changed on its page besides the names: the boxes it found
// empty now show these numbers.
struct DeleteOutcome {
    std::optional<std::int32_t> refilledPosition;
    std::optional<std::int32_t> refilledCount;
};

// Rewrites every entry of the working list in place. Nothing happens to a
// name when the position lies outside its base name or the count is not
// positive; a run past the end is cut there. Characters are UTF-8 code points
// when the base name is valid UTF-8, bytes otherwise.
// `folders` marks the entries that name folders, which have no extension.
DeleteOutcome PreviewDelete(std::vector<std::string>& names, const DeleteSettings& settings,
                            const std::vector<bool>& folders = {});

} // namespace quorvane
