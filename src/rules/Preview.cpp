#include "rules/Preview.h"

#include <string>
#include <utility>

namespace quorvane {

namespace {

// How many bytes the active rule is likely to add to a name. Each entry is
// gathered with that room, so the rule can grow it in place and the entry is
// the new name itself, with one allocation per row.
std::size_t ExpectedGrowth(const PreviewSettings& settings) {
    switch (settings.activePage) {
    case RulePage::Case:
        return settings.caseAndExtension.extensionCase == ExtensionCase::NewExtension
                   ? settings.caseAndExtension.newExtension.size() + 1
                   : 0;
    case RulePage::Insert:
        return settings.insert.text.size();
    case RulePage::Enumeration: {
        const EnumerationSettings& enumeration = settings.enumeration;
        return enumeration.startFrom.size() + 2 + enumeration.suffix.size() + 1 +
               enumeration.fixedPart.size();
    }
    default:
        return 0;
    }
}

std::vector<std::string> GatherNames(const FileRows& rows, const PreviewSettings& settings) {
    const bool enumeration = settings.activePage == RulePage::Enumeration;
    const std::size_t growth = ExpectedGrowth(settings);
    std::vector<std::string> names;
    names.reserve(rows.size());
    for (const FileRow& row : rows) {
        if (!row.selected)
            continue;
        const std::string& source = enumeration ? settings.enumeration.prefix : row.originalName;
        std::string& name = names.emplace_back();
        name.reserve(source.size() + growth);
        name = source;
    }
    return names;
}

// Runs the rule of the active page; the attributes page leaves the names as
// gathered.
RuleOutcome RunRule(std::vector<std::string>& names, const PreviewSettings& settings) {
    RuleOutcome outcome;
    switch (settings.activePage) {
    case RulePage::Case:
        PreviewCaseAndExtension(names, settings.caseAndExtension);
        break;
    case RulePage::Insert:
        outcome.insert = PreviewInsert(names, settings.insert);
        break;
    case RulePage::Delete:
        outcome.deletion = PreviewDelete(names, settings.deletion);
        break;
    case RulePage::Replace:
        outcome.replace = PreviewReplace(names, settings.replace);
        break;
    case RulePage::Enumeration:
        outcome.enumeration = PreviewEnumeration(names, settings.enumeration);
        break;
    case RulePage::Attributes:
        break;
    }
    return outcome;
}

} // namespace

PreviewResult PreviewFileRows(FileRows& rows, const PreviewSettings& settings) {
    PreviewResult result;
    for (FileRow& row : rows)
        row.newName.clear();
    if (rows.empty()) {
        result.listEmpty = true;
        return result;
    }
    SelectAllWhenNoneSelected(rows);

    std::vector<std::string> names = GatherNames(rows, settings);
    result.outcome = RunRule(names, settings);

    std::size_t next = 0;
    for (FileRow& row : rows)
        if (row.selected && next < names.size())
            row.newName = std::move(names[next++]);
    result.selectedCount = next;
    return result;
}

} // namespace quorvane
