#pragma once
// The value of the extended attribute "user.DOSATTRIB", in the forms Samba
// reads and writes, so that a Samba share shows the same attribute bits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

inline constexpr const char* kDosAttribName = "user.DOSATTRIB";

// The attribute word held by the value, or nothing when the value is in no
// form we know (then it is treated as holding no bits).
[[nodiscard]] std::optional<std::uint32_t> ParseDosAttribBlob(std::string_view blob);

// The value to store for `word`: an understood binary value with only its
// attribute word changed (everything else kept), otherwise the legacy text form.
std::string EditDosAttribBlob(std::string_view blob, std::uint32_t word);

// The legacy text form: "0x", lower-case hex digits, a NUL.
std::string DosAttribText(std::uint32_t word);

} // namespace quorvane
