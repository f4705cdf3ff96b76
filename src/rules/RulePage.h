#pragma once
// The pages of the file renaming panel, in the order their tabs stand. The
// active page picks the rule Preview runs; the attributes page has no rule,
// Apply does its work.

namespace quorvane {

// The values count from 0 in tab order.
enum class RulePage : int { Case, Insert, Delete, Replace, Attributes, Enumeration, DateTime };

inline constexpr int kRulePageCount = 7;

// The tab index of a page in the page control.
constexpr int TabIndexOf(RulePage page) {
    return static_cast<int>(page);
}

// The page at a tab index; an index outside the tabs (no tab chosen) is the
// first page, the one the panel opens on.
constexpr RulePage RulePageAt(int tabIndex) {
    return tabIndex >= 0 && tabIndex < kRulePageCount ? static_cast<RulePage>(tabIndex)
                                                      : RulePage::Case;
}

} // namespace quorvane
