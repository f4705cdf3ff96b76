#include "runs/RunFileSystem.h"

#include "platform/Attributes.h"
#include "platform/DirectorySearch.h"
#include "platform/Rename.h"
#include "platform/TimeStamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

int RunFileSystem::SetLinkTimeStamp(const std::string& path, std::uint32_t packedLocal) {
    return SetFileTimesFromDos(path, packedLocal, TimeStampTarget::LinkItself);
}

std::optional<FileIdentity> RunFileSystem::Identify(const std::string& folder,
                                                    const std::string& name) {
    struct stat info {};
    if (::stat((folder + name).c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{CompactDevice(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
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
    struct stat info {};
    if (::fstatat(m_heldFd, name.c_str(), &info, 0) != 0)
        return std::nullopt;
    return FileIdentity{CompactDevice(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
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
