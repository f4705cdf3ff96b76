#pragma once
// What the runs need of the file system, behind one interface so tests can
// hand in a file system that fails on purpose.

#include "platform/FolderFacts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

// Which file a name leads to: the device and inode the scan saw, and the
// stamp that tells it from a later file given the same inode
// (platform/FileStamp.h).
struct FileIdentity {
    std::uint32_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t stamp = 0; // 0: unknown
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    // The same file for sure: an identity without a stamp is never taken
    // for a match, since a newcomer could share its inode.
    bool SameFileAs(const FileIdentity& other) const { return stamp != 0 && *this == other; }
};

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
    // The same for a symbolic link itself, never for what it points to.
    // The platform's unless a double says otherwise.
    [[nodiscard]] virtual int SetLinkTimeStamp(const std::string& path, std::uint32_t packedLocal);
    // The file folder + name leads to, following a link as the scan does;
    // nothing when there is none. The platform's unless a double says otherwise.
    [[nodiscard]] virtual std::optional<FileIdentity> Identify(const std::string& folder,
                                                               const std::string& name);
    // A run is over: whatever was held open for it is let go, so the next run
    // sees folders as they are then.
    virtual void RunEnded() {}
};

// The real file system, through src/platform.
class PlatformFileSystem : public RunFileSystem {
public:
    int Rename(const std::string& folder, const std::string& from, const std::string& to) override;
    std::optional<std::uint32_t> ReadAttributes(const std::string& path) override;
    int WriteAttributes(const std::string& path, std::uint32_t attributes) override;
    int SetTimeStamp(const std::string& path, std::uint32_t packedLocal) override;
    // Through the folder, held open between calls: an undo checks every file
    // of one folder, and the walk down the path is then made once.
    std::optional<FileIdentity> Identify(const std::string& folder,
                                         const std::string& name) override;

    PlatformFileSystem() = default;
    PlatformFileSystem(const PlatformFileSystem&) = delete;
    PlatformFileSystem& operator=(const PlatformFileSystem&) = delete;
    ~PlatformFileSystem() override;
    void RunEnded() override;

private:
    std::string m_heldFolder;
    int m_heldFd = -1;
};

// The file system the window's runs use: the platform's, unless a test has put
// a double in its place (nullptr puts the platform's back).
RunFileSystem& WindowRunFileSystem();
void SetWindowRunFileSystem(RunFileSystem* fileSystem);

} // namespace quorvane
