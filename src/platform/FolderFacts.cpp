#include "platform/FolderFacts.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quorvane {
namespace {

// statfs magic numbers of the FAT family (msdos/vfat, exFAT).
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
#ifndef FS_CASEFOLD_FL
constexpr int FS_CASEFOLD_FL = 0x40000000;
#endif

} // namespace

FolderFacts DescribeFolder(const std::string& folder) {
    FolderFacts facts;
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return facts;
    struct statfs fs {};
    if (::fstatfs(fd, &fs) == 0) {
        const long type = static_cast<long>(fs.f_type);
        facts.fatLike = type == kMsdosMagic || type == kExfatMagic;
        facts.ignoresCase = facts.fatLike;
    }
    // ext4 and f2fs can ignore case per folder.
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0)
        facts.ignoresCase = true;
    const long nameMax = ::fpathconf(fd, _PC_NAME_MAX);
    if (nameMax > 0)
        facts.nameMax = static_cast<std::size_t>(nameMax);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return facts;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            facts.names.emplace_back(name);
    }
    ::closedir(dir);
    facts.listed = true;
    return facts;
}

} // namespace quorvane
