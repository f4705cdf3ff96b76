#pragma once
// The Replace rule with a regular expression (PCRE2) as its search text. A name
// that is valid UTF-8 is matched in UTF-8 mode, where "." is one character and
// \w knows letters beyond A-Z; any other name is matched byte by byte.
//
// The replacement may name what the match caught: $0 to $9 (one digit: "$10"
// is group 1 followed by "0"), ${12} and ${name}; "$$" is one "$", and a "$"
// followed by anything else stays as it is. A group that took no part in the
// match gives nothing.

#include "rules/ReplaceRule.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// What rewriting one text came to.
enum class PatternRewrite {
    NoMatch,   // nothing matched: the text stays as it is
    Rewritten, // the text was rewritten
    GaveUp,    // a match ran out of its budget: there is no answer for this text
};

// One compiled pattern and replacement, used for every name of a preview.
// Every match gets a fixed budget of backtracking steps, so no name can hold
// a preview for long whatever the pattern.
class PatternReplacer {
public:
    // `replacement` is ignored when `remove` is set.
    PatternReplacer(std::string_view pattern, std::string_view replacement, bool remove);
    ~PatternReplacer();
    PatternReplacer(const PatternReplacer&) = delete;
    PatternReplacer& operator=(const PatternReplacer&) = delete;

    // Set when the pattern does not compile or the replacement names a group
    // the pattern does not have; Rewrite then changes nothing.
    const std::optional<ReplacePatternError>& Error() const;

    // Rewrites `text` into `out`: the first match, or every match left to
    // right (an empty match next to the previous one included, as sed and Perl
    // do). Remove takes only matches that are not empty, and removing every
    // match repeats until none is left, as the plain rule does. `out` holds
    // the new text only when the result is Rewritten.
    PatternRewrite Rewrite(std::string_view text, bool everyOccurrence, std::string& out);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// PreviewReplace with "Regular expression" ticked: compiles once, then
// rewrites every entry. A faulty pattern or replacement empties every entry
// and is reported in the outcome; so is every entry the pattern gave up on.
ReplaceOutcome PreviewPatternReplace(std::vector<std::string>& names,
                                     const ReplaceSettings& settings,
                                     const std::vector<bool>& folders = {});

} // namespace quorvane
