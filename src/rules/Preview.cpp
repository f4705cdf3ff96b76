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
    case kCasePage:
        return settings.caseAndExtension.extensionCase == ExtensionCase::NewExtension
                   ? settings.caseAndExtension.newExtension.size() + 1
                   : 0;
    case kInsertPage:
        return settings.insert.text.size();
    case kEnumerationPage: {
        const EnumerationSettings& enumeration = settings.enumeration;
        return enumeration.startFrom.size() + 2 + enumeration.suffix.size() + 1 +
               enumeration.fixedPart.size();
    }
    default:
        return 0;
    }
}

std::vector<std::string> GatherNames(const FileRows& rows, const PreviewSettings& settings) {
    const bool enumeration = settings.activePage == kEnumerationPage;
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

// Runs the rule of the active page; the attributes page and unknown pages
// leave the names as gathered.
void RunRule(std::vector<std::string>& names, const PreviewSettings& settings,
             PreviewResult& result) {
    RuleOutcome outcome;
    switch (settings.activePage) {
    case kCasePage:
        PreviewCaseAndExtension(names, settings.caseAndExtension);
        break;
    case kInsertPage:
        outcome = PreviewInsert(names, settings.insert);
        break;
    case kDeletePage:
        outcome = PreviewDelete(names, settings.deletion);
        break;
    case kReplacePage:
        outcome = PreviewReplace(names, settings.replace);
        break;
    case kEnumerationPage:
        switch (settings.enumeration.serialKind) {
        case kNumericSerial:
            outcome = PreviewNumberSerial(names, settings.enumeration);
            break;
        case kLowerLetterSerial:
        case kUpperLetterSerial:
            outcome = PreviewLetterSerial(names, settings.enumeration);
            break;
        default:
            result.serialKindSetToNumeric = true;
            break;
        }
        break;
    default:
        break;
    }
    result.refills = std::move(outcome.refills);
    result.applyToSetToFileName = outcome.applyToSetToFileName;
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
    bool anySelected = false;
    for (const FileRow& row : rows)
        anySelected = anySelected || row.selected;
    if (!anySelected)
        for (FileRow& row : rows)
            row.selected = true;

    std::vector<std::string> names = GatherNames(rows, settings);
    RunRule(names, settings, result);

    std::size_t next = 0;
    for (FileRow& row : rows)
        if (row.selected && next < names.size())
            row.newName = std::move(names[next++]);
    result.selectedCount = next;
    return result;
}

} // namespace quorvane
