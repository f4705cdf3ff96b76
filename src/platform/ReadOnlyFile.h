#pragma once
// A file opened for reading only, for readers that need more than its tail.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvane {

class ReadOnlyFile {
public:
    // Opens `path` if it is a regular file. Opening never waits: a pipe or a
    // device put in place of the file is refused, not read.
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // The size when the file was opened.
    std::uint64_t Size() const { return m_size; }
    // Reads up to `count` bytes at `offset` into `out` (resized to what was
    // read); false on a read error or when the file is not open.
    bool ReadAt(std::uint64_t offset, std::size_t count, std::string& out) const;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

} // namespace quorvane
