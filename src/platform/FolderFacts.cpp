#include "platform/FolderFacts.h"

#include "platform/MountInfo.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorvane {
namespace {

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
    VolumeNaming naming = NamingOfFolder(fd);
    facts.fatLike = naming.fatLike;
    facts.ignoresCase = naming.ignoresCase;
    facts.asciiOnly = naming.asciiOnly;
    facts.utf8Only = naming.utf8Only;
    facts.fileSystem = std::move(naming.fileSystem);
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
            facts.names.push_back(name);
    }
    ::closedir(dir);
    facts.listed = true;
    return facts;
}

} // namespace quorvane
