#include "runs/RunFileSystem.h"

#include "platform/Attributes.h"
#include "platform/DirectorySearch.h"
#include "platform/FileStamp.h"
#include "platform/Rename.h"
#include "platform/TimeStamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

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
    m_heldFolder.clear();
}

std::optional<FileIdentity> PlatformFileSystem::Identify(const std::string& folder,
                                                         const std::string& name) {
    if (m_heldFd < 0 || folder != m_heldFolder) {
        if (m_heldFd >= 0)
            ::close(m_heldFd);
        m_heldFd =
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        m_heldFolder = folder;
        if (m_heldFd < 0)
            return RunFileSystem::Identify(folder, name);
    }
    return IdentifyAt(m_heldFd, name.c_str());
}

int PlatformFileSystem::Rename(const std::string& folder, const std::string& from,
                               const std::string& to) {
    return RenameNoReplace(folder, from, to);
}

std::optional<std::uint32_t> PlatformFileSystem::ReadAttributes(const std::string& path) {
    return quorvane::ReadAttributes(path);
}

int PlatformFileSystem::WriteAttributes(const std::string& path, std::uint32_t attributes) {
    return quorvane::WriteAttributes(path, attributes);
}

int PlatformFileSystem::SetTimeStamp(const std::string& path, std::uint32_t packedLocal) {
    return SetFileTimesFromDos(path, packedLocal);
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
