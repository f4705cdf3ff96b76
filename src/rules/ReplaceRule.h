#pragma once
// Page 3 "Replace": replaces or removes a search text, once or everywhere, in
// the whole name or in the base name only. Matching is exact, byte for byte
// and case-sensitive; an empty search text never matches. With "Regular
// expression" ticked the search text is a PCRE2 pattern instead.

#include <cstddef>
#include <optional>
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
    // "Regular expression" ticked: the search text is a pattern and the
    // replacement may name what it caught ($0-$9, ${name}, $$ for "$").
    bool regularExpression = false;
};

// Why a pattern or its replacement cannot be used.
struct ReplacePatternError {
    std::string message;        // PCRE2's own text, or what is wrong with the replacement
    std::size_t offset = 0;     // characters before the fault, from the start of the text
    bool inReplacement = false; // the replacement text is at fault, not the search pattern
};

// The text the window shows in its hint panel for the error.
std::string ReplacePatternHint(const ReplacePatternError& error);

// The text of the hint panel when the pattern ran out of its budget on
// `names` names.
std::string PatternGaveUpHint(std::size_t names);

// What the rule changed on its page besides the names.
struct ReplaceOutcome {
    // Set when the pattern or its replacement is faulty; every entry is then
    // empty, so Apply passes the rows by.
    std::optional<ReplacePatternError> patternError;
    // Names the pattern gave up on (it backtracked past its budget): their
    // entries are empty, so Apply passes those rows by too.
    std::size_t gaveUp = 0;
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

// Rewrites every entry of the working list in place.
// `folders` marks the entries that name folders, which have no extension.
ReplaceOutcome PreviewReplace(std::vector<std::string>& names, const ReplaceSettings& settings,
                              const std::vector<bool>& folders = {});

} // namespace quorvane
