#pragma once
// Reading the text of a number box the way every rule does.

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvane {

// A decimal whole number within the 32-bit signed range: optional leading
// blanks, an optional sign, then digits and nothing else. Anything else (empty,
// "12a", "1.5", out of range) gives no value; the caller applies its default.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

inline std::int32_t WholeNumberOr(std::string_view text, std::int32_t fallback) {
    return ParseWholeNumber(text).value_or(fallback);
}

// A number box of a rule page: an empty box is refilled with `refill` (noted
// in `refilled`, so the page shows it) and counts as that; any other text
// counts as its whole number, or as `fallback` when it is none.
inline std::int32_t BoxNumber(std::string_view text, std::int32_t refill, std::int32_t fallback,
                              std::optional<std::int32_t>& refilled) {
    if (text.empty()) {
        refilled = refill;
        return refill;
    }
    return WholeNumberOr(text, fallback);
}

} // namespace quorvane
