#include "rules/CaseRule.h"

#include "rules/FileRow.h"
#include "text/AsciiCase.h"

namespace quorvane {

namespace {

// In place over a part of a name, like the letter case functions.
void CapitalizeWordsIn(char* first, char* last) {
    bool atWordStart = true;
    for (; first != last; ++first) {
        *first = atWordStart ? ToAsciiUpper(*first) : ToAsciiLower(*first);
        atWordStart = *first == ' ';
    }
}

void ChangeBaseNameCase(char* first, char* last, NameCase nameCase) {
    switch (nameCase) {
    case NameCase::Lower:
        LowerAsciiLetters(first, last);
        break;
    case NameCase::Upper:
        UpperAsciiLetters(first, last);
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

void CapitalizeWordsInPlace(std::string& text) {
    CapitalizeWordsIn(text.data(), text.data() + text.size());
}

std::string CapitalizeWords(const std::string& text) {
    std::string result = text;
    CapitalizeWordsInPlace(result);
    return result;
}

void PreviewCaseAndExtension(std::vector<std::string>& names, const CaseSettings& settings,
                             const std::vector<bool>& folders) {
    for (std::size_t entry = 0; entry < names.size(); ++entry) {
        std::string& name = names[entry];
        const std::size_t extensionStart = ExtensionOffset(name, folders, entry);
        char* const base = name.data();
        char* const extension = base + extensionStart;
        ChangeBaseNameCase(base, extension, settings.nameCase);
        switch (settings.extensionCase) {
        case ExtensionCase::KeepAsIs:
            break;
        case ExtensionCase::Lower:
            LowerAsciiLetters(extension, base + name.size());
            break;
        case ExtensionCase::Upper:
            UpperAsciiLetters(extension, base + name.size());
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
