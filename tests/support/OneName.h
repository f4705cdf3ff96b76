#pragma once
// One name through a rule page's preview, for the table tests of the pages.

#include <string>
#include <type_traits>
#include <vector>

namespace quorvane::test {

// A table row: the name, the page's settings, the name the page makes of it.
template <typename Settings> struct NameCase {
    const char* name;
    Settings settings;
    const char* expected;
};

// The new name that a page's preview (PreviewInsert, PreviewDelete, ...) gives
// a name alone.
template <typename Preview, typename Settings>
std::string PreviewOne(Preview preview, const std::string& name, const Settings& settings) {
    std::vector<std::string> names{name};
    if constexpr (std::is_invocable_v<Preview, std::vector<std::string>&, const Settings&>)
        preview(names, settings);
    else
        preview(names, settings, std::vector<bool>{}); // a file's name, not a folder's
    return names.front();
}

} // namespace quorvane::test
