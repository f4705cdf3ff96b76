#pragma once
// Page 0 "Case/Extension": letter case of the base name, and the letter case
// of the extension or a new extension.

#include <string>
#include <vector>

namespace quorvane {

// Base name case, the radio group MFRB1..MFRB4. None: no button checked.
enum class NameCase { None, KeepAsIs, Lower, Upper, CapitalizeWords };

// Extension, the radio group RB1..RB4. None: no button checked, which drops
// the extension of every name.
enum class ExtensionCase { None, KeepAsIs, Lower, Upper, NewExtension };

struct CaseSettings {
    NameCase nameCase = NameCase::KeepAsIs;                // MFRB1..MFRB4
    ExtensionCase extensionCase = ExtensionCase::KeepAsIs; // RB1..RB4
    std::string newExtension; // text of cbCaseEXT, without its dot, used as typed
};

// Only the 26 basic Latin letters change case (text/AsciiCase.h).
// Lower-cases the text, then upper-cases a letter that starts the text or
// directly follows a space: "o'neil mc-donald" -> "O'neil Mc-donald".
std::string CapitalizeWords(const std::string& text);
void CapitalizeWordsInPlace(std::string& text);

// Rewrites every entry of the working list in place.
// `folders` marks the entries that name folders, which have no extension.
void PreviewCaseAndExtension(std::vector<std::string>& names, const CaseSettings& settings,
                             const std::vector<bool>& folders = {});

} // namespace quorvane
