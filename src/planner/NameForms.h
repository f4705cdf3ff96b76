#pragma once
// The forms under which two names count as one: Unicode NFC, and NFC with
// case folding for folders that ignore letter case.

#include <string>
#include <string_view>

namespace quorvane {

bool IsAscii(std::string_view name);
// The name in NFC; a name that is not valid UTF-8 is kept as it is.
std::string NfcForm(std::string_view name);
// NFC with Unicode case folding; ASCII names are only lowered.
std::string FoldedForm(std::string_view name);

} // namespace quorvane
