#include "rules/Preview.h"

#include "rules/RuleRows.h"

#include <array>
#include <string>
#include <utility>

namespace quorvane {

namespace {

// One entry per page, in tab order: how each page's rule takes part in a
// preview. A new rule is one entry here.
struct RuleEntry {
    // How many bytes the rule is likely to add to a name. Each entry is
    // gathered with that room, so the rule can grow it in place and the entry
    // is the new name itself, with one allocation per row.
    std::size_t (*growth)(const PreviewSettings&);
    // The text every working name starts from; null: the row's own name.
    const std::string* (*source)(const PreviewSettings&);
    // Runs the rule; null for a page without one (the names stay as gathered).
    void (*run)(RuleRows&, const PreviewSettings&, RuleOutcome&);
};

std::size_t NoGrowth(const PreviewSettings&) {
    return 0;
}

constexpr std::array<RuleEntry, kRulePageCount> kRules{{
    // Case
    {[](const PreviewSettings& s) -> std::size_t {
         return s.caseAndExtension.extensionCase == ExtensionCase::NewExtension
                    ? s.caseAndExtension.newExtension.size() + 1
                    : 0;
     },
     nullptr,
     [](RuleRows& rows, const PreviewSettings& s, RuleOutcome&) {
         PreviewCaseAndExtension(rows.Names(), s.caseAndExtension, rows.Folders());
     }},
    // Insert
    {[](const PreviewSettings& s) { return s.insert.text.size(); }, nullptr,
     [](RuleRows& rows, const PreviewSettings& s, RuleOutcome& outcome) {
         outcome.insert = PreviewInsert(rows.Names(), s.insert, rows.Folders());
     }},
    // Delete
    {NoGrowth, nullptr,
     [](RuleRows& rows, const PreviewSettings& s, RuleOutcome& outcome) {
         outcome.deletion = PreviewDelete(rows.Names(), s.deletion, rows.Folders());
     }},
    // Replace
    {NoGrowth, nullptr,
     [](RuleRows& rows, const PreviewSettings& s, RuleOutcome& outcome) {
         outcome.replace = PreviewReplace(rows.Names(), s.replace, rows.Folders());
     }},
    // Attributes: Apply does its work.
    {NoGrowth, nullptr, nullptr},
    // Enumeration
    {[](const PreviewSettings& s) {
         const EnumerationSettings& enumeration = s.enumeration;
         return enumeration.startFrom.size() + 2 + enumeration.suffix.size() + 1 +
                enumeration.fixedPart.size();
     },
     [](const PreviewSettings& s) { return &s.enumeration.prefix; },
     [](RuleRows& rows, const PreviewSettings& s, RuleOutcome& outcome) {
         outcome.enumeration = PreviewEnumeration(rows.Names(), s.enumeration);
     }},
    // Date/Time
    {[](const PreviewSettings& s) {
         return s.dateTime.format.size() + 8 + s.dateTime.separator.size();
     },
     nullptr,
     [](RuleRows& rows, const PreviewSettings& s, RuleOutcome&) {
         PreviewDateTime(rows, s.dateTime);
     }},
}};

const RuleEntry& EntryOf(RulePage page) {
    const int index = TabIndexOf(page);
    return kRules[index >= 0 && index < kRulePageCount ? index : 0];
}

// Each name starts in the room of the row's last new name: while the user
// types with Live Preview on, a hundred thousand names are made again and
// again, and none of them needs the allocator.
std::vector<std::string> GatherNames(FileRows& rows, const RuleEntry& rule,
                                     const PreviewSettings& settings) {
    const std::string* fixed = rule.source ? rule.source(settings) : nullptr;
    const std::size_t growth = rule.growth(settings);
    std::vector<std::string> names;
    names.reserve(rows.size());
    for (FileRow& row : rows) {
        if (!row.selected)
            continue;
        const std::string& source = fixed ? *fixed : row.originalName;
        std::string& name = names.emplace_back(std::move(row.newName));
        name.reserve(source.size() + growth);
        name = source;
    }
    return names;
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

    const RuleEntry& rule = EntryOf(settings.activePage);
    std::vector<std::string> names = GatherNames(rows, rule, settings);
    RuleRows ruleRows(rows, names);
    if (rule.run)
        rule.run(ruleRows, settings, result.outcome);

    std::size_t next = 0;
    std::size_t selected = 0;
    for (FileRow& row : rows) {
        if (!row.selected || next >= names.size())
            continue;
        if (ruleRows.Dropped(next)) {
            row.selected = false;
        } else {
            row.newName = std::move(names[next]);
            ++selected;
        }
        ++next;
    }
    result.selectedCount = selected;
    return result;
}

} // namespace quorvane
