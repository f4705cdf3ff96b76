// Fuzz target: a regular-expression Replace over one name. The input is a
// flag byte, then pattern, replacement and name separated by NUL bytes. Any
// pattern must compile or report an error, and every rewrite must end.

#include "rules/PatternReplace.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string_view parts[3];
    for (std::string_view& part : parts) {
        const std::size_t end = rest.find('\0');
        part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    ReplaceSettings settings;
    settings.search = parts[0];
    settings.replacement = parts[1];
    settings.mode = flags & 1 ? ReplaceMode::Remove : ReplaceMode::Replace;
    settings.allOccurrences = (flags & 2) != 0;
    settings.entireName = (flags & 4) != 0;
    settings.regularExpression = true;
    std::vector<std::string> names{std::string(parts[2]), std::string(parts[2]) + ".txt"};
    const ReplaceOutcome outcome = PreviewReplace(names, settings);
    if (outcome.patternError && (!names[0].empty() || !names[1].empty()))
        std::abort();
    return 0;
}
