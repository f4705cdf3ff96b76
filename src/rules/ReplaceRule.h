#pragma once
// Page 3 "Replace": replaces or removes a search text, once or everywhere, in
// the whole name or in the base name only. Matching is exact, byte for byte
// and case-sensitive; an empty search text never matches.

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The radio pair rdbReplace / rdbRemove. None: neither checked, names stay.
enum class ReplaceMode { None, Replace, Remove };

struct ReplaceSettings {
    std::string search;      // edsource, as typed (not trimmed)
    std::string replacement; // edTarget, as typed
    ReplaceMode mode = ReplaceMode::Replace;
    bool allOccurrences = false; // chkAllSub
    bool entireName = true;      // chkEntireName: clear = base name only, extension kept
};

// The first occurrence replaced.
std::string ReplaceFirst(std::string_view text, std::string_view search,
                         std::string_view replacement);
// Every occurrence replaced, left to right without overlap; the inserted
// replacement is never searched again.
std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement);
// The first occurrence deleted.
std::string RemoveFirst(std::string_view text, std::string_view search);
// Occurrences deleted until none is left, pieces that come together included:
// RemoveAll("aabb", "ab") is "".
std::string RemoveAll(std::string_view text, std::string_view search);

// Rewrites every entry of the working list in place. The page has no box
// to refill.
void PreviewReplace(std::vector<std::string>& names, const ReplaceSettings& settings);

} // namespace quorvane
