#pragma once
// Page 5 "Enumeration": names made of prefix + serial + suffix and a fixed
// part, "P S X.F" (apply to "FileName") or "F.P S X" (apply to "Extension").
// The serial is a zero-padded number or a run of letters; it starts again at
// the start text on every preview and advances row by row in list order.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// Item indexes of CBApplyTo and CBAlpha; -1 means no item chosen.
inline constexpr int kApplyToFileName = 0;
inline constexpr int kApplyToExtension = 1;
inline constexpr int kNumericSerial = 0;     // "Numerical(001)"
inline constexpr int kLowerLetterSerial = 1; // "Alphabetical(aa)"
inline constexpr int kUpperLetterSerial = 2; // "Alphabetical(AA)"

struct EnumerationSettings {
    int applyTo = kApplyToFileName;  // CBApplyTo index
    int serialKind = kNumericSerial; // CBAlpha index
    std::string step = "1";          // mestep text; empty is refilled with "1"
    std::string prefix;              // edtTemplate
    std::string suffix;              // edtLast
    std::string startFrom = "001";   // meStartFrom text; also the width of numbers
    std::string fixedPart;           // cbExt, without dot
};

// What the rule changed on its page besides the names.
struct EnumerationOutcome {
    // The start box was empty: it now shows this text ("1", "a" or "A").
    std::optional<std::string> refilledStart;
    // The step box was empty: it now shows this number.
    std::optional<std::int32_t> refilledStep;
    // The numeric serial found no "Apply to" item chosen and used "FileName":
    // CBApplyTo goes back to that item.
    bool applyToResetToFileName = false;
    // No serial kind was chosen: every row got the bare prefix, and CBAlpha
    // goes back to "Numerical(001)".
    bool serialKindResetToNumeric = false;
};

// The serial of the chosen kind; with no kind chosen the entries stay the
// bare prefix.
EnumerationOutcome PreviewEnumeration(std::vector<std::string>& names,
                                      const EnumerationSettings& settings);

// The entries of `names` are the prefix, one per row. Number serials start at
// the start text read as a number (1 when it is not one) and are padded to the
// start text's length, at most 20 characters, never cut. The counter runs in
// 64 bits, so it goes on past 2147483647 instead of wrapping to negative.
// A missing "Apply to" choice is taken as "FileName".
EnumerationOutcome PreviewNumberSerial(std::vector<std::string>& names,
                                       const EnumerationSettings& settings);

// Letter serials count in bijective base 26 over "a".."z" (or "A".."Z" for
// kUpperLetterSerial): a, b, ..., z, aa, ab, ... The first row gets the start
// text itself. Any step carries correctly and stays in the kind's alphabet;
// a step below 1 counts as 1, the lowest value of the step box. An empty
// start box is refilled with the first letter.
EnumerationOutcome PreviewLetterSerial(std::vector<std::string>& names,
                                       const EnumerationSettings& settings);

// The decimal text of `number`, left-padded with "0" to `width` characters, but
// to no more than 20; a longer number is never cut.
std::string PadNumber(int width, std::int64_t number);

// `serial` advanced by `step` in bijective base 26 over first..first+25.
// A step below 1 leaves the serial as it is. Characters outside the alphabet
// stay as they are unless an advance takes them past the alphabet's last
// letter, which brings them back into it.
void AdvanceLetterSerial(std::string& serial, std::int64_t step, char first);

// The text of EdtExample: the start text shown as typed, unpadded.
std::string UpdateSerialExample(const EnumerationSettings& settings);

// What the start box offers for a serial kind (CBAlphaChange): its drop-down
// items, and the text to set (none for an unknown kind: the text stays).
struct SerialStartChoices {
    std::vector<std::string> items;
    std::optional<std::string> text;
};
SerialStartChoices StartChoicesForKind(int serialKind);

// The caption of lblFileName for a CBApplyTo index (CBApplyToChange).
std::string FixedPartCaption(int applyTo);

// The key filter of the start box (meStartFromKeyPress): for a typed
// character, whether the box takes it. Backspace (8) always passes.
bool IsStartKeyAccepted(int serialKind, char32_t character);

} // namespace quorvane
