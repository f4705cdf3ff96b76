#pragma once
// Preview: the proposed new names of the selected rows, computed by the rule of
// the active page. Nothing on disk changes. Every preview starts again from the
// rows' current names, so rules are never chained.

#include "rules/CaseRule.h"
#include "rules/DateTimeRule.h"
#include "rules/DeleteRule.h"
#include "rules/EnumerationRule.h"
#include "rules/FileRow.h"
#include "rules/InsertRule.h"
#include "rules/ReplaceRule.h"
#include "rules/RulePage.h"

#include <cstddef>
#include <vector>

namespace quorvane {

// The controls of every page as they stand when Preview runs.
struct PreviewSettings {
    RulePage activePage = RulePage::Case;
    CaseSettings caseAndExtension;
    InsertSettings insert;
    DeleteSettings deletion;
    ReplaceSettings replace;
    EnumerationSettings enumeration;
    DateTimeSettings dateTime;
};

// What a preview changed on the pages, one part per page whose rule can.
struct RuleOutcome {
    InsertOutcome insert;
    DeleteOutcome deletion;
    ReplaceOutcome replace;
    EnumerationOutcome enumeration;
};

struct PreviewResult {
    // The list had no rows: the window warns "There is no files in File list!"
    // and leaves the status bar alone.
    bool listEmpty = false;
    // What the active page's rule changed on its page besides the names (the
    // other pages' parts stay empty); the window writes it back to the controls.
    RuleOutcome outcome;
    std::size_t selectedCount = 0; // for "Selectd files : ", after the rule's drops
};

// Clears every row's newName; with no row selected selects them all; runs the
// active page's rule over the selected rows, each with its working name (the
// prefix on the enumeration page), and writes the names back to the selected
// rows in list order. An empty result leaves that row's newName empty, so
// Apply skips it; a row the rule dropped is deselected and gets no name.
PreviewResult PreviewFileRows(FileRows& rows, const PreviewSettings& settings);

} // namespace quorvane
