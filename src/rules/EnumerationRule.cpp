#include "rules/EnumerationRule.h"

#include "rules/WholeNumber.h"

#include <algorithm>
#include <charconv>

namespace quorvane {

namespace {

constexpr int kMaximumPaddedWidth = 20;
constexpr std::int64_t kAlphabetSize = 26;

// Room for 20 padding zeros or the longest 64-bit number with its sign.
using NumberBuffer = char[kMaximumPaddedWidth + 1];

// Writes the padded number into `buffer` without touching the heap.
std::string_view FormatPadded(NumberBuffer& buffer, int width, std::int64_t number) {
    char digits[kMaximumPaddedWidth + 1];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
    const int length = static_cast<int>(end.ptr - digits);
    const int zeros = std::max(std::min(width, kMaximumPaddedWidth) - length, 0);
    std::fill_n(buffer, zeros, '0');
    std::copy(digits, end.ptr, buffer + zeros);
    return std::string_view(buffer, static_cast<std::size_t>(zeros + length));
}

// Puts the serial part and the fixed part around the entry, in place.
void Compose(std::string& entry, std::string_view serial, const EnumerationSettings& settings,
             bool fixedPartFirst) {
    const std::size_t total =
        entry.size() + serial.size() + settings.suffix.size() + 1 + settings.fixedPart.size();
    entry.reserve(total);
    entry.append(serial).append(settings.suffix);
    if (fixedPartFirst) {
        entry.insert(0, 1, '.');
        entry.insert(0, settings.fixedPart);
    } else {
        entry.append(1, '.').append(settings.fixedPart);
    }
}

std::int64_t RefilledStep(const EnumerationSettings& settings, EnumerationOutcome& outcome) {
    return BoxNumber(settings.step, 1, 1, outcome.refilledStep);
}

} // namespace

std::string PadNumber(int width, std::int64_t number) {
    NumberBuffer buffer;
    return std::string(FormatPadded(buffer, width, number));
}

EnumerationOutcome PreviewEnumeration(std::vector<std::string>& names,
                                      const EnumerationSettings& settings) {
    switch (settings.serialKind) {
    case kNumericSerial:
        return PreviewNumberSerial(names, settings);
    case kLowerLetterSerial:
    case kUpperLetterSerial:
        return PreviewLetterSerial(names, settings);
    default: {
        EnumerationOutcome outcome;
        outcome.serialKindResetToNumeric = true;
        return outcome;
    }
    }
}

EnumerationOutcome PreviewNumberSerial(std::vector<std::string>& names,
                                       const EnumerationSettings& settings) {
    EnumerationOutcome outcome;
    std::string_view start = settings.startFrom;
    if (start.empty()) {
        start = "1";
        outcome.refilledStart = std::string(start);
    }
    std::int64_t number = WholeNumberOr(start, 1);
    const std::int64_t step = RefilledStep(settings, outcome);
    const int width = static_cast<int>(std::min<std::size_t>(start.size(), kMaximumPaddedWidth));
    const bool fixedPartFirst = settings.applyTo == kApplyToExtension;
    if (settings.applyTo != kApplyToFileName && !fixedPartFirst)
        outcome.applyToResetToFileName = !names.empty();

    NumberBuffer buffer;
    for (std::string& entry : names) {
        Compose(entry, FormatPadded(buffer, width, number), settings, fixedPartFirst);
        // 64 bits: a 32-bit start plus rows times a 32-bit step cannot overflow.
        number += step;
    }
    return outcome;
}

void AdvanceLetterSerial(std::string& serial, std::int64_t step, char first) {
    if (serial.empty() || step <= 0)
        return;
    const std::int64_t firstCode = static_cast<unsigned char>(first);
    const std::int64_t lastCode = firstCode + kAlphabetSize - 1;
    auto code = [&serial](std::size_t i) {
        return static_cast<std::int64_t>(static_cast<unsigned char>(serial[i]));
    };
    // Digits are letters worth 1..26; a digit past the last letter keeps its
    // remainder and carries the quotient one place left.
    std::int64_t value = code(serial.size() - 1) + step;
    std::size_t i = serial.size() - 1;
    while (value > lastCode) {
        const std::int64_t offset = value - firstCode;
        serial[i] = static_cast<char>(firstCode + offset % kAlphabetSize);
        std::int64_t carry = offset / kAlphabetSize;
        if (i == 0) {
            // Past the first place: the carry becomes new leading letters.
            std::string lead;
            while (carry > 0) {
                lead.insert(lead.begin(),
                            static_cast<char>(firstCode + (carry - 1) % kAlphabetSize));
                carry = (carry - 1) / kAlphabetSize;
            }
            serial.insert(0, lead);
            return;
        }
        --i;
        value = code(i) + carry;
    }
    serial[i] = static_cast<char>(value);
}

EnumerationOutcome PreviewLetterSerial(std::vector<std::string>& names,
                                       const EnumerationSettings& settings) {
    EnumerationOutcome outcome;
    const char first = settings.serialKind == kUpperLetterSerial ? 'A' : 'a';
    std::string serial = settings.startFrom;
    if (serial.empty()) {
        serial.assign(1, first);
        outcome.refilledStart = serial;
    }
    const std::int64_t step = std::max<std::int64_t>(RefilledStep(settings, outcome), 1);
    const bool fixedPartFirst = settings.applyTo == kApplyToExtension;
    for (std::string& entry : names) {
        Compose(entry, serial, settings, fixedPartFirst);
        AdvanceLetterSerial(serial, step, first);
    }
    return outcome;
}

std::string UpdateSerialExample(const EnumerationSettings& settings) {
    std::string serialPart = settings.prefix + settings.startFrom + settings.suffix;
    if (settings.applyTo == kApplyToExtension)
        return settings.fixedPart + "." + serialPart;
    return serialPart + "." + settings.fixedPart;
}

SerialStartChoices StartChoicesForKind(int serialKind) {
    switch (serialKind) {
    case kNumericSerial:
        return {{"1", "01", "001", "0001", "00001"}, "001"};
    case kLowerLetterSerial:
        return {{"a", "aa", "aaa", "aaaa", "aaaaa"}, "a"};
    case kUpperLetterSerial:
        return {{"A", "AA", "AAA", "AAAA", "AAAAA"}, "A"};
    default:
        return {};
    }
}

std::string FixedPartCaption(int applyTo) {
    return applyTo == kApplyToExtension ? "FileName" : "Extension";
}

bool IsStartKeyAccepted(int serialKind, char32_t character) {
    if (character == 8)
        return true;
    switch (serialKind) {
    case kNumericSerial:
        return character >= U'0' && character <= U'9';
    case kLowerLetterSerial:
        return character >= U'a' && character <= U'z';
    case kUpperLetterSerial:
        return character >= U'A' && character <= U'Z';
    default:
        return true;
    }
}

} // namespace quorvane
