#pragma once
// What the runs need of the file system, behind one interface so tests can
// hand in a file system that fails on purpose.

#include "platform/FolderFacts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

class RunFileSystem {
public:
    virtual ~RunFileSystem() = default;

    // Renames folder + from to folder + to without ever replacing an existing
    // file. Returns 0 or an errno value.
    [[nodiscard]] virtual int Rename(const std::string& folder, const std::string& from,
                                     const std::string& to) = 0;
    // One listing of a folder for the rename plan. Doubles whose files live
    // in memory may leave it alone: an unreadable folder only means the plan
    // learns nothing in advance, and the moves still never replace.
    [[nodiscard]] virtual FolderFacts DescribeFolder(const std::string& folder) {
        return quorvane::DescribeFolder(folder);
    }
    // The kAttr* word of the file, or nothing when it cannot be read.
    [[nodiscard]] virtual std::optional<std::uint32_t> ReadAttributes(const std::string& path) = 0;
    // Replaces the whole attribute word. Returns 0 or an errno value.
    [[nodiscard]] virtual int WriteAttributes(const std::string& path,
                                              std::uint32_t attributes) = 0;
    // Sets the file's times from a DOS packed local date and time. Returns 0 or
    // an errno value.
    [[nodiscard]] virtual int SetTimeStamp(const std::string& path, std::uint32_t packedLocal) = 0;
};

// The real file system, through src/platform.
class PlatformFileSystem final : public RunFileSystem {
public:
    int Rename(const std::string& folder, const std::string& from, const std::string& to) override;
    std::optional<std::uint32_t> ReadAttributes(const std::string& path) override;
    int WriteAttributes(const std::string& path, std::uint32_t attributes) override;
    int SetTimeStamp(const std::string& path, std::uint32_t packedLocal) override;
};

// The file system the window's runs use: the platform's, unless a test has put
// a double in its place (nullptr puts the platform's back).
RunFileSystem& WindowRunFileSystem();
void SetWindowRunFileSystem(RunFileSystem* fileSystem);

} // namespace quorvane
