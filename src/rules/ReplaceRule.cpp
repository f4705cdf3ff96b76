#include "rules/ReplaceRule.h"

#include "rules/FileRow.h"
#include "rules/PatternReplace.h"

namespace quorvane {

namespace {

// The rewriting functions append their result to `out`, so that the rule can
// reuse one buffer for every name.

void AppendReplaced(std::string& out, std::string_view text, std::string_view search,
                    std::string_view replacement, bool everyOccurrence) {
    std::size_t from = 0;
    if (!search.empty()) {
        for (std::size_t at = text.find(search); at != std::string_view::npos;
             at = text.find(search, from)) {
            out.append(text.substr(from, at - from)).append(replacement);
            from = at + search.size();
            if (!everyOccurrence)
                break;
        }
    }
    out.append(text.substr(from));
}

void AppendRemovedAll(std::string& out, std::string_view text, std::string_view search) {
    const std::size_t start = out.size();
    out.append(text);
    if (search.empty())
        return;
    // The text before the occurrence just removed held no occurrence, so a new
    // one can only start where it reaches across the join.
    std::size_t from = start;
    for (std::size_t at = out.find(search, from); at != std::string::npos;
         at = out.find(search, from)) {
        out.erase(at, search.size());
        from = at >= start + search.size() - 1 ? at - (search.size() - 1) : start;
    }
}

void AppendRewritten(std::string& out, std::string_view part, const ReplaceSettings& settings) {
    if (settings.mode == ReplaceMode::Remove && settings.allOccurrences)
        AppendRemovedAll(out, part, settings.search);
    else if (settings.mode == ReplaceMode::Remove)
        AppendReplaced(out, part, settings.search, {}, false);
    else
        AppendReplaced(out, part, settings.search, settings.replacement, settings.allOccurrences);
}

} // namespace

std::string ReplaceFirst(std::string_view text, std::string_view search,
                         std::string_view replacement) {
    std::string result;
    AppendReplaced(result, text, search, replacement, false);
    return result;
}

std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement) {
    std::string result;
    AppendReplaced(result, text, search, replacement, true);
    return result;
}

std::string RemoveFirst(std::string_view text, std::string_view search) {
    return ReplaceFirst(text, search, {});
}

std::string RemoveAll(std::string_view text, std::string_view search) {
    std::string result;
    AppendRemovedAll(result, text, search);
    return result;
}

ReplaceOutcome PreviewReplace(std::vector<std::string>& names, const ReplaceSettings& settings,
                              const std::vector<bool>& folders) {
    if (settings.mode == ReplaceMode::None || settings.search.empty())
        return {};
    if (settings.regularExpression)
        return PreviewPatternReplace(names, settings, folders);
    std::string rewritten;
    for (std::size_t entry = 0; entry < names.size(); ++entry) {
        std::string& name = names[entry];
        const std::size_t end =
            settings.entireName ? name.size() : ExtensionOffset(name, folders, entry);
        const std::string_view part = std::string_view(name).substr(0, end);
        if (part.find(settings.search) == std::string_view::npos)
            continue;
        rewritten.clear();
        AppendRewritten(rewritten, part, settings);
        rewritten.append(name, end);
        name.assign(rewritten); // reuses the name's own buffer when it is large enough
    }
    return {};
}

} // namespace quorvane
