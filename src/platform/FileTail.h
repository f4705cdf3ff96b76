#pragma once

#include <cstddef>
#include <string>

namespace quorvane {

// Reads the last `count` bytes of a file opened read-only. False when the file
// cannot be opened or read, or is shorter than `count` bytes.
[[nodiscard]] bool ReadFileTail(const std::string& path, std::size_t count, std::string& out);
// The same for the file `name` in the folder open as `folder` (a descriptor,
// or AT_FDCWD for a path relative to the working folder).
[[nodiscard]] bool ReadFileTailIn(int folder, const std::string& name, std::size_t count,
                                  std::string& out);

// Keeps the folder of the last files read open, so that the next file of the
// same folder is opened by its name alone instead of walking the whole path
// again: the path walk is most of the cost of opening a file.
class HeldFolder {
public:
    HeldFolder() = default;
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // A descriptor for the folder (its path ends in "/"), opened when it
    // differs from the last one; -1 when it cannot be opened.
    int Descriptor(const std::string& folder);

private:
    void Release();

    int m_fd = -1;
    std::string m_folder;
};

} // namespace quorvane
