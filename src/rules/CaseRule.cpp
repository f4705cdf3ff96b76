#include "rules/CaseRule.h"

#include "rules/FileRow.h"

namespace quorvane {

bool IsLowerLetter(char c) {
    return c >= 'a' && c <= 'z';
}

bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

char ToUpperLetter(char c) {
    return IsLowerLetter(c) ? static_cast<char>(c & ~0x20) : c;
}

char ToLowerLetter(char c) {
    return IsUpperLetter(c) ? static_cast<char>(c | 0x20) : c;
}

void UpperCaseLetters(std::string& text) {
    for (char& c : text)
        c = ToUpperLetter(c);
}

void LowerCaseLetters(std::string& text) {
    for (char& c : text)
        c = ToLowerLetter(c);
}

void CapitalizeWordsInPlace(std::string& text) {
    bool atWordStart = true;
    for (char& c : text) {
        c = atWordStart ? ToUpperLetter(c) : ToLowerLetter(c);
        atWordStart = c == ' ';
    }
}

std::string CapitalizeWords(const std::string& text) {
    std::string result = text;
    CapitalizeWordsInPlace(result);
    return result;
}

namespace {

void ChangeCase(std::string& text, std::size_t begin, std::size_t end, NameCase nameCase) {
    std::string::iterator first = text.begin() + static_cast<std::ptrdiff_t>(begin);
    std::string::iterator last = text.begin() + static_cast<std::ptrdiff_t>(end);
    switch (nameCase) {
    case NameCase::Lower:
        for (; first != last; ++first)
            *first = ToLowerLetter(*first);
        break;
    case NameCase::Upper:
        for (; first != last; ++first)
            *first = ToUpperLetter(*first);
        break;
    case NameCase::CapitalizeWords: {
        bool atWordStart = true;
        for (; first != last; ++first) {
            *first = atWordStart ? ToUpperLetter(*first) : ToLowerLetter(*first);
            atWordStart = *first == ' ';
        }
        break;
    }
    case NameCase::None:
    case NameCase::KeepAsIs:
        break;
    }
}

} // namespace

void PreviewCaseAndExtension(std::vector<std::string>& names, const CaseSettings& settings) {
    for (std::string& name : names) {
        const std::size_t extensionStart = ExtensionOffset(name);
        // The name is changed in place: base name first, then the extension.
        ChangeCase(name, 0, extensionStart, settings.nameCase);
        switch (settings.extensionCase) {
        case ExtensionCase::KeepAsIs:
            break;
        case ExtensionCase::Lower:
            ChangeCase(name, extensionStart, name.size(), NameCase::Lower);
            break;
        case ExtensionCase::Upper:
            ChangeCase(name, extensionStart, name.size(), NameCase::Upper);
            break;
        case ExtensionCase::NewExtension:
            name.resize(extensionStart);
            name += '.';
            name += settings.newExtension;
            break;
        case ExtensionCase::None:
            name.resize(extensionStart);
            break;
        }
    }
}

} // namespace quorvane
