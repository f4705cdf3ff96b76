#pragma once
// Letter case of the 26 basic Latin letters only, as names are compared
// wherever the program ignores case (wildcards, settings keys, case-only renames).

#include <cstddef>
#include <string_view>

namespace quorvane {

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

} // namespace quorvane
