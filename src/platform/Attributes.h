#pragma once
// Reading and setting the four attribute bits (read-only, hidden, system, archive).

#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

// The attribute word of a file or folder (kAttr* bits of DirectorySearch.h),
// or nothing when the file cannot be read.
std::optional<std::uint32_t> ReadAttributes(const std::string& path);

// Replaces the whole attribute word. Returns 0 on success, else an errno value
// (EOPNOTSUPP where the file system keeps no extended attributes and the word
// needs them).
int WriteAttributes(const std::string& path, std::uint32_t attributes);

} // namespace quorvane
