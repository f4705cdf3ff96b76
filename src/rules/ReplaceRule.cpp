#include "rules/ReplaceRule.h"

#include "rules/FileRow.h"

#include <utility>

namespace quorvane {

std::string ReplaceFirst(std::string_view text, std::string_view search,
                         std::string_view replacement) {
    const std::size_t at = search.empty() ? std::string_view::npos : text.find(search);
    if (at == std::string_view::npos)
        return std::string(text);
    std::string result;
    result.reserve(text.size() - search.size() + replacement.size());
    result.append(text.substr(0, at)).append(replacement).append(text.substr(at + search.size()));
    return result;
}

std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement) {
    if (search.empty())
        return std::string(text);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = text.find(search); at != std::string_view::npos;
         at = text.find(search, from)) {
        result.append(text.substr(from, at - from)).append(replacement);
        from = at + search.size();
    }
    result.append(text.substr(from));
    return result;
}

std::string RemoveFirst(std::string_view text, std::string_view search) {
    return ReplaceFirst(text, search, {});
}

std::string RemoveAll(std::string_view text, std::string_view search) {
    std::string result(text);
    if (search.empty())
        return result;
    // The text before the occurrence just removed held no occurrence, so a new
    // one can only start where it reaches across the join.
    std::size_t from = 0;
    for (std::size_t at = result.find(search); at != std::string::npos;
         at = result.find(search, from)) {
        result.erase(at, search.size());
        from = at >= search.size() - 1 ? at - (search.size() - 1) : 0;
    }
    return result;
}

namespace {

std::string Rewrite(std::string_view part, const ReplaceSettings& settings) {
    if (settings.mode == ReplaceMode::Replace)
        return settings.allOccurrences ? ReplaceAll(part, settings.search, settings.replacement)
                                       : ReplaceFirst(part, settings.search, settings.replacement);
    return settings.allOccurrences ? RemoveAll(part, settings.search)
                                   : RemoveFirst(part, settings.search);
}

} // namespace

RuleOutcome PreviewReplace(std::vector<std::string>& names, const ReplaceSettings& settings) {
    if (settings.mode == ReplaceMode::None || settings.search.empty())
        return {};
    for (std::string& name : names) {
        const std::size_t end = settings.entireName ? name.size() : ExtensionOffset(name);
        const std::string_view part = std::string_view(name).substr(0, end);
        if (part.find(settings.search) == std::string_view::npos)
            continue; // nothing to change, and nothing to allocate
        std::string rewritten = Rewrite(part, settings);
        rewritten.append(name, end);
        name = std::move(rewritten);
    }
    return {};
}

} // namespace quorvane
