#pragma once
// Which of the window's commands may run, decided from where the renaming
// cycle stands. One function holds every rule, so the window only copies its
// answers onto its actions and the rules can be checked without a window.

#include "rules/RulePage.h"

#include <cstddef>

namespace quorvane {

// What the availability of the commands depends on.
struct CycleFacts {
    bool previewed = false;         // a preview wrote new names since the last scan
    bool applied = false;           // a run was applied since the last scan
    RulePage page = RulePage::Case; // the file renaming panel's active page
    bool mp3PanelShown = false;     // Preview and Apply then work by the MP3 panel
    std::size_t rows = 0;
    std::size_t selectedRows = 0;
    bool scanning = false;
};

struct CommandAvailability {
    bool preview = false;
    bool apply = false;
    bool undo = false;
    bool refresh = false;
    bool select = false; // Select All, Select None and Invert Select alike
    bool deleteFiles = false;

    bool operator==(const CommandAvailability&) const = default;
};

CommandAvailability AvailableCommands(const CycleFacts& facts);

} // namespace quorvane
