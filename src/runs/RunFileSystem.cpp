#include "runs/RunFileSystem.h"

#include "platform/Attributes.h"
#include "platform/DirectorySearch.h"
#include "platform/FileStamp.h"
#include "platform/Rename.h"
#include "platform/TimeStamp.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

bool Matches(const struct stat& info, const FileIdentity& identity) {
    return CompactDevice(info.st_dev) == identity.device &&
           static_cast<std::uint64_t>(info.st_ino) == identity.inode;
}

// The path the kernel resolves to whatever a descriptor holds.
std::string ThroughDescriptor(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// Closes a descriptor when the scope is left.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

void ExpectScannedFolders(const FileRows& rows, RunFileSystem& fileSystem) {
    const FolderPath* last = nullptr;
    for (const FileRow& row : rows) {
        if (!row.folder || (last && row.folder == *last))
            continue;
        last = &row.folder;
        if (row.folder.Inode() != 0)
            fileSystem.ExpectFolder(*row.folder,
                                    {CompactDevice(row.folder.Device()), row.folder.Inode()});
    }
}

int RunFileSystem::SetLinkTimeStamp(const std::string& path, std::uint32_t packedLocal) {
    return SetFileTimesFromDos(path, packedLocal, TimeStampTarget::LinkItself);
}

namespace {

// One statx, and a file handle only where the file system keeps no birth time.
std::optional<FileIdentity> IdentifyAt(int folder, const char* name) {
    struct statx info {};
    if (StatxAt(folder, name, true, info) != 0)
        return std::nullopt;
    return FileIdentity{DeviceOf(info), static_cast<std::uint64_t>(info.stx_ino),
                        FileStampOf(folder, name, true, info)};
}

} // namespace

std::optional<FileIdentity> RunFileSystem::Identify(const std::string& folder,
                                                    const std::string& name) {
    return IdentifyAt(AT_FDCWD, (folder + name).c_str());
}

PlatformFileSystem::~PlatformFileSystem() {
    RunEnded();
}

void PlatformFileSystem::RunEnded() {
    if (m_heldFd >= 0)
        ::close(m_heldFd);
    m_heldFd = -1;
    m_heldError = 0;
    m_heldFolder.clear();
    m_expectedFolders.clear();
    m_expectedPath.clear();
}

void PlatformFileSystem::ExpectFolder(const std::string& folder, const FileIdentity& identity) {
    m_expectedFolders.insert_or_assign(folder, identity);
    if (folder == m_heldFolder) { // checked at its next use
        if (m_heldFd >= 0)
            ::close(m_heldFd);
        m_heldFd = -1;
        m_heldError = 0;
        m_heldFolder.clear();
    }
}

void PlatformFileSystem::ExpectFile(const std::string& path, const FileIdentity& identity) {
    m_expectedPath = path;
    m_expectedFile = identity;
}

int PlatformFileSystem::HeldFolder(const std::string& folder) {
    if (folder == m_heldFolder && (m_heldFd >= 0 || m_heldError != 0))
        return m_heldFd >= 0 ? m_heldFd : -m_heldError;
    if (m_heldFd >= 0)
        ::close(m_heldFd);
    m_heldFd = -1;
    m_heldFolder = folder;
    // A trailing "/" would make the kernel follow a link after all.
    std::string path = folder.empty() ? "." : folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const auto expected = m_expectedFolders.find(folder);
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // The folder the user opened may itself be reached through a link; the
    // identity check below then says whether it is still the scanned one.
    // Without a scan to compare with, the path is all there is to go by.
    // (A link met with O_DIRECTORY | O_NOFOLLOW gives ENOTDIR, not ELOOP.)
    if (fd < 0 && (errno == ELOOP || errno == ENOTDIR))
        fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_heldError = fd < 0 ? errno : 0;
    struct stat info {};
    if (fd >= 0 && expected != m_expectedFolders.end() &&
        (::fstat(fd, &info) != 0 || !Matches(info, expected->second))) {
        ::close(fd);
        fd = -1;
        m_heldError = ESTALE;
    }
    m_heldFd = fd;
    return fd >= 0 ? fd : -m_heldError;
}

int PlatformFileSystem::OpenFile(const std::string& path, std::string& name) {
    const std::size_t slash = path.rfind('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    const int folder = HeldFolder(slash == std::string::npos ? "" : path.substr(0, slash + 1));
    if (folder < 0)
        return folder;
    const int fd = ::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : 0;
    // A listed file is changed itself; a link in its place is never followed.
    if (error == 0 && S_ISLNK(info.st_mode))
        error = ELOOP;
    if (error == 0 && path == m_expectedPath && !Matches(info, m_expectedFile))
        error = ESTALE;
    if (error != 0) {
        ::close(fd);
        return -error;
    }
    return fd;
}

std::optional<FileIdentity> PlatformFileSystem::Identify(const std::string& folder,
                                                         const std::string& name) {
    const int fd = HeldFolder(folder);
    if (fd < 0)
        return fd == -ESTALE ? std::nullopt : RunFileSystem::Identify(folder, name);
    return IdentifyAt(fd, name.c_str());
}

int PlatformFileSystem::Rename(const std::string& folder, const std::string& from,
                               const std::string& to) {
    const int fd = HeldFolder(folder);
    return fd < 0 ? -fd : RenameNoReplaceAt(fd, from, to);
}

std::optional<std::uint32_t> PlatformFileSystem::ReadAttributes(const std::string& path) {
    std::string name;
    const Descriptor file{OpenFile(path, name)};
    if (file.fd < 0)
        return std::nullopt;
    return ReadAttributesThrough(ThroughDescriptor(file.fd), name);
}

int PlatformFileSystem::WriteAttributes(const std::string& path, std::uint32_t attributes) {
    std::string name;
    const Descriptor file{OpenFile(path, name)};
    if (file.fd < 0)
        return -file.fd;
    return WriteAttributesThrough(ThroughDescriptor(file.fd), name, attributes);
}

int PlatformFileSystem::SetTimeStamp(const std::string& path, std::uint32_t packedLocal) {
    std::string name;
    const Descriptor file{OpenFile(path, name)};
    if (file.fd < 0)
        return -file.fd;
    return SetFileTimesFromDos(ThroughDescriptor(file.fd), packedLocal);
}

int PlatformFileSystem::SetLinkTimeStamp(const std::string& path, std::uint32_t packedLocal) {
    const std::size_t slash = path.rfind('/');
    const int folder = HeldFolder(slash == std::string::npos ? "" : path.substr(0, slash + 1));
    if (folder < 0)
        return -folder;
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return SetFileTimesFromDosAt(folder, name, packedLocal, TimeStampTarget::LinkItself);
}

namespace {
RunFileSystem*& WindowOverride() {
    static RunFileSystem* fileSystem = nullptr;
    return fileSystem;
}
} // namespace

RunFileSystem& WindowRunFileSystem() {
    static PlatformFileSystem platform;
    RunFileSystem* chosen = WindowOverride();
    return chosen ? *chosen : platform;
}

void SetWindowRunFileSystem(RunFileSystem* fileSystem) {
    WindowOverride() = fileSystem;
}

} // namespace quorvane
