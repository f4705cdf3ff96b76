#pragma once
// Writing whole texts to files.

#include <string>
#include <string_view>

namespace quorvane {

// Writes all of `text` to the open file, going on after interrupted and short
// writes. Returns 0 or an errno value (EIO when the file takes no more bytes).
[[nodiscard]] int WriteAll(int fd, std::string_view text);

// Creates the file or empties it, then writes `text` into it. Returns 0 or
// the errno value of the failed step (a failed close included, since that is
// where some file systems report a write that did not reach the disk).
[[nodiscard]] int RewriteFile(const std::string& path, std::string_view text);

} // namespace quorvane
