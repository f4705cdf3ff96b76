#pragma once
// Letter case of the 26 basic Latin letters only, whatever the locale: the
// rules change no other byte (digits, signs, the bytes of accented letters),
// and names are compared this way wherever the program ignores case
// (wildcards, settings keys, case-only renames).

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

constexpr bool IsAsciiLower(char c) {
    return c >= 'a' && c <= 'z';
}

constexpr bool IsAsciiUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

constexpr char ToAsciiLower(char c) {
    return IsAsciiUpper(c) ? static_cast<char>(c | 0x20) : c;
}

constexpr char ToAsciiUpper(char c) {
    return IsAsciiLower(c) ? static_cast<char>(c & ~0x20) : c;
}

// In place over a part of a text, so a rule can change the base name and the
// extension without splitting the name.
inline void LowerAsciiLetters(char* first, char* last) {
    for (; first != last; ++first)
        *first = ToAsciiLower(*first);
}

inline void UpperAsciiLetters(char* first, char* last) {
    for (; first != last; ++first)
        *first = ToAsciiUpper(*first);
}

inline void LowerAsciiLetters(std::string& text) {
    LowerAsciiLetters(text.data(), text.data() + text.size());
}

inline void UpperAsciiLetters(std::string& text) {
    UpperAsciiLetters(text.data(), text.data() + text.size());
}

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ToAsciiLower(a[i]) != ToAsciiLower(b[i]))
            return false;
    return true;
}

} // namespace quorvane
