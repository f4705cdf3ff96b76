#pragma once

#include <cstddef>
#include <string>

namespace quorvane {

// Reads the last `count` bytes of a file opened read-only. False when the file
// cannot be opened or read, or is shorter than `count` bytes.
[[nodiscard]] bool ReadFileTail(const std::string& path, std::size_t count, std::string& out);

} // namespace quorvane
