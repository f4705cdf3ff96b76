#include "rules/CaseRule.h"

#include "rules/FileRow.h"

namespace quorvane {

namespace {

// The letter case functions work on a part of a name in place, so that the
// rule changes the base name and the extension without splitting the name.
void LowerLettersIn(char* first, char* last) {
    for (; first != last; ++first)
        *first = ToLowerLetter(*first);
}

void UpperLettersIn(char* first, char* last) {
    for (; first != last; ++first)
        *first = ToUpperLetter(*first);
}

void CapitalizeWordsIn(char* first, char* last) {
    bool atWordStart = true;
    for (; first != last; ++first) {
        *first = atWordStart ? ToUpperLetter(*first) : ToLowerLetter(*first);
        atWordStart = *first == ' ';
    }
}

void ChangeBaseNameCase(char* first, char* last, NameCase nameCase) {
    switch (nameCase) {
    case NameCase::Lower:
        LowerLettersIn(first, last);
        break;
    case NameCase::Upper:
        UpperLettersIn(first, last);
        break;
    case NameCase::CapitalizeWords:
        CapitalizeWordsIn(first, last);
        break;
    case NameCase::None:
    case NameCase::KeepAsIs:
        break;
    }
}

} // namespace

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
    UpperLettersIn(text.data(), text.data() + text.size());
}

void LowerCaseLetters(std::string& text) {
    LowerLettersIn(text.data(), text.data() + text.size());
}

void CapitalizeWordsInPlace(std::string& text) {
    CapitalizeWordsIn(text.data(), text.data() + text.size());
}

std::string CapitalizeWords(const std::string& text) {
    std::string result = text;
    CapitalizeWordsInPlace(result);
    return result;
}

void PreviewCaseAndExtension(std::vector<std::string>& names, const CaseSettings& settings) {
    for (std::string& name : names) {
        const std::size_t extensionStart = ExtensionOffset(name);
        char* const base = name.data();
        char* const extension = base + extensionStart;
        ChangeBaseNameCase(base, extension, settings.nameCase);
        switch (settings.extensionCase) {
        case ExtensionCase::KeepAsIs:
            break;
        case ExtensionCase::Lower:
            LowerLettersIn(extension, base + name.size());
            break;
        case ExtensionCase::Upper:
            UpperLettersIn(extension, base + name.size());
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
