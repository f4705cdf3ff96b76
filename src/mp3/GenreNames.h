#pragma once
// The genre names of the ID3v1 genre byte: 0-79 from the format itself, 80-147
// the common extension. A byte of 148 or more has no name.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorvane {

inline constexpr std::size_t kGenreCount = 148;

extern const std::array<std::string_view, kGenreCount> GenreNames;

// The name of a genre byte; empty when the byte has none.
std::string_view GenreNameOf(std::uint8_t genre);

} // namespace quorvane
