#include "rules/CommandAvailability.h"

namespace quorvane {

CommandAvailability AvailableCommands(const CycleFacts& facts) {
    // The attributes page has no names to preview and nothing to give back:
    // its Apply changes attributes and rescans.
    const bool attributesPage = !facts.mp3PanelShown && facts.page == RulePage::Attributes;
    const bool hasRows = facts.rows > 0;
    CommandAvailability available;
    // A scan still adds rows, and a preview applied once stays applied until
    // the next scan.
    available.preview = hasRows && !facts.scanning && !facts.applied && !attributesPage;
    available.apply = (facts.previewed && !facts.applied) || (attributesPage && hasRows);
    available.undo = facts.applied && !attributesPage;
    // One scan at a time: a request made while one runs is ignored.
    available.refresh = !facts.scanning;
    available.select = hasRows;
    available.deleteFiles = hasRows && facts.selectedRows > 0;
    return available;
}

} // namespace quorvane
