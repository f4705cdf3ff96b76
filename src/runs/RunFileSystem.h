#pragma once
// What the runs need of the file system, behind one interface so tests can
// hand in a file system that fails on purpose.

#include "platform/FolderFacts.h"
#include "rules/FileRow.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

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
    // The scan's identity of a folder (ending in "/") or of a file a run is
    // about to change. A platform file system then changes nothing through
    // that name unless it still leads to that folder or file, so a folder or
    // file swapped for another (or for a link) since the scan is left alone
    // and the step fails with ESTALE. Forgotten when the run ends.
    virtual void ExpectFolder(const std::string& folder, const FileIdentity& identity) {
        static_cast<void>(folder);
        static_cast<void>(identity);
    }
    virtual void ExpectFile(const std::string& path, const FileIdentity& identity) {
        static_cast<void>(path);
        static_cast<void>(identity);
    }
    // A run is over: whatever was held open for it is let go, so the next run
    // sees folders as they are then.
    virtual void RunEnded() {}
};

// Tells the file system the scan's identity of every folder of the rows.
void ExpectScannedFolders(const FileRows& rows, RunFileSystem& fileSystem);

// Ends the run on the file system when the scope is left, however it is.
class RunScope {
public:
    explicit RunScope(RunFileSystem& fileSystem) : m_fileSystem(fileSystem) {}
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
    ~RunScope() { m_fileSystem.RunEnded(); }

private:
    RunFileSystem& m_fileSystem;
};

// The real file system, through src/platform. Every step goes through the
// descriptor of its folder, held open between calls (the last folder used)
// and opened without following a link there; a folder the run was told of
// must be the one the scan listed. Files are changed through a descriptor of
// their own, opened without following a link and checked the same way.
class PlatformFileSystem : public RunFileSystem {
public:
    int Rename(const std::string& folder, const std::string& from, const std::string& to) override;
    std::optional<std::uint32_t> ReadAttributes(const std::string& path) override;
    int WriteAttributes(const std::string& path, std::uint32_t attributes) override;
    int SetTimeStamp(const std::string& path, std::uint32_t packedLocal) override;
    int SetLinkTimeStamp(const std::string& path, std::uint32_t packedLocal) override;
    std::optional<FileIdentity> Identify(const std::string& folder,
                                         const std::string& name) override;
    void ExpectFolder(const std::string& folder, const FileIdentity& identity) override;
    void ExpectFile(const std::string& path, const FileIdentity& identity) override;

    PlatformFileSystem() = default;
    PlatformFileSystem(const PlatformFileSystem&) = delete;
    PlatformFileSystem& operator=(const PlatformFileSystem&) = delete;
    ~PlatformFileSystem() override;
    void RunEnded() override;

private:
    // The descriptor of the folder, or minus an errno value.
    int HeldFolder(const std::string& folder);
    // Opens folder/name (O_PATH, no link followed) after the checks; the
    // descriptor, or minus an errno value. The caller closes it.
    int OpenFile(const std::string& path, std::string& name);

    std::string m_heldFolder;
    int m_heldFd = -1;
    int m_heldError = 0; // why m_heldFolder could not be held
    std::unordered_map<std::string, FileIdentity> m_expectedFolders;
    std::string m_expectedPath;
    FileIdentity m_expectedFile;
};

// The file system the window's runs use: the platform's, unless a test has put
// a double in its place (nullptr puts the platform's back).
RunFileSystem& WindowRunFileSystem();
void SetWindowRunFileSystem(RunFileSystem* fileSystem);

} // namespace quorvane
