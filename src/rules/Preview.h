#pragma once
// Preview: the proposed new names of the selected rows, computed by the rule of
// the active page. Nothing on disk changes. Every preview starts again from the
// rows' current names, so rules are never chained.

#include "rules/CaseRule.h"
#include "rules/DeleteRule.h"
#include "rules/EnumerationRule.h"
#include "rules/FileRow.h"
#include "rules/InsertRule.h"
#include "rules/ReplaceRule.h"
#include "rules/RuleOutcome.h"

#include <cstddef>
#include <vector>

namespace quorvane {

// Page indexes of pgcGeneral.
inline constexpr int kCasePage = 0;
inline constexpr int kInsertPage = 1;
inline constexpr int kDeletePage = 2;
inline constexpr int kReplacePage = 3;
inline constexpr int kAttributesPage = 4; // no rule: its work is done by Apply
inline constexpr int kEnumerationPage = 5;

// The controls of every page as they stand when Preview runs.
struct PreviewSettings {
    int activePage = kCasePage;
    CaseSettings caseAndExtension;
    InsertSettings insert;
    DeleteSettings deletion;
    ReplaceSettings replace;
    EnumerationSettings enumeration;
};

struct PreviewResult {
    // The list had no rows: the window warns "There is no files in File list!"
    // and leaves the status bar alone.
    bool listEmpty = false;
    // Boxes the rule refilled with their default text; the window writes them back.
    std::vector<ControlRefill> refills;
    bool applyToSetToFileName = false; // the window sets CBApplyTo to index 0
    // No serial kind was chosen on the enumeration page: the window sets CBAlpha
    // to index 0; every selected row got the bare prefix.
    bool serialKindSetToNumeric = false;
    std::size_t selectedCount = 0; // for "Selectd files : "
};

// Clears every row's newName; with no row selected selects them all; runs the
// active page's rule over the selected rows' names (the prefix on the
// enumeration page) and writes the results back to the selected rows in list
// order. An empty result leaves that row's newName empty, so Apply skips it.
PreviewResult PreviewFileRows(FileRows& rows, const PreviewSettings& settings);

} // namespace quorvane
