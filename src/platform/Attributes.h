#pragma once
// Reading and setting the four attribute bits (read-only, hidden, system, archive).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <sys/xattr.h>

namespace quorvane {

// The extended attribute calls the attribute word goes through, so that tests
// can stand in a file system that keeps no extended attributes.
struct ExtendedAttributeCalls {
    ssize_t (*get)(const char* path, const char* name, void* value, std::size_t size) = ::getxattr;
    int (*set)(const char* path, const char* name, const void* value, std::size_t size,
               int flags) = ::setxattr;
    int (*remove)(const char* path, const char* name) = ::removexattr;
};

// The attribute word of a file or folder (kAttr* bits of DirectorySearch.h),
// or nothing when the file cannot be read.
[[nodiscard]] std::optional<std::uint32_t> ReadAttributes(const std::string& path,
                                                          const ExtendedAttributeCalls& calls = {});

// Replaces the whole attribute word. Returns 0 on success, else an errno value
// (EOPNOTSUPP where the file system keeps no extended attributes and the word
// holds system, archive or a hidden bit that the name does not already say).
[[nodiscard]] int WriteAttributes(const std::string& path, std::uint32_t attributes,
                                  const ExtendedAttributeCalls& calls = {});

// The same through another path to the file, such as /proc/self/fd/N of a
// descriptor held open, for a file whose own name is `name` (a leading "."
// says hidden).
[[nodiscard]] std::optional<std::uint32_t>
ReadAttributesThrough(const std::string& access, const std::string& name,
                      const ExtendedAttributeCalls& calls = {});
[[nodiscard]] int WriteAttributesThrough(const std::string& access, const std::string& name,
                                         std::uint32_t attributes,
                                         const ExtendedAttributeCalls& calls = {});

} // namespace quorvane
