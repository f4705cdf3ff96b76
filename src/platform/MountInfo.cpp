#include "platform/MountInfo.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace quorvane {
namespace {

// statfs magic numbers.
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kNtfs3Magic = 0x7366746e;
constexpr long kFuseMagic = 0x65735546;

VolumeNaming Fat(std::string name) {
    return {std::move(name), true, true, false, false};
}
VolumeNaming Exfat(std::string name) {
    return {std::move(name), true, true, false, true};
}
VolumeNaming Ntfs(std::string name, std::string_view superOptions) {
    // ntfs-3g keeps POSIX names unless told to keep to the ones Windows takes.
    const bool windowsNames = superOptions.find("windows_names") != std::string_view::npos;
    return {std::move(name), windowsNames, false, false, true};
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end > at)
            fields.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return fields;
}

// Undoes the octal escapes of spaces and the like in a mount table field.
std::string Unescaped(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string_view::npos) {
                text += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 +
                                          (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

std::string ReadPrefix(const std::string& path, std::size_t size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    std::string bytes(size, '\0');
    const ssize_t got = ::pread(fd, bytes.data(), size, 0);
    ::close(fd);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

// udev's record of a block device, readable by every user, holds the type
// its probe found; the device itself is usually readable by root alone.
std::string VolumeTypeOfBlockDevice(dev_t device) {
    std::ifstream record("/run/udev/data/b" + std::to_string(major(device)) + ":" +
                         std::to_string(minor(device)));
    std::string line;
    while (std::getline(record, line)) {
        if (line.rfind("E:ID_FS_TYPE=", 0) == 0)
            return line.substr(13);
    }
    return {};
}

std::string VolumeTypeOfSource(const std::string& source) {
    struct stat info {};
    if (source.empty() || source.front() != '/' || ::stat(source.c_str(), &info) != 0)
        return {};
    if (S_ISBLK(info.st_mode)) {
        if (std::string type = VolumeTypeOfBlockDevice(info.st_rdev); !type.empty())
            return type;
    } else if (!S_ISREG(info.st_mode)) {
        return {};
    }
    return VolumeTypeOfBootSector(ReadPrefix(source, 512));
}

} // namespace

VolumeNaming NamingOf(std::string_view mountType, std::string_view volumeType,
                      std::string_view superOptions) {
    std::string_view kind = mountType;
    if (kind.rfind("fuse.", 0) == 0)
        kind.remove_prefix(5);
    const std::string name(mountType);
    if (kind == "vfat" || kind == "msdos" || kind == "fat")
        return Fat(name);
    if (kind == "fusefat") {
        VolumeNaming naming = Fat(name);
        naming.asciiOnly = true; // it writes 8.3 names only
        return naming;
    }
    if (kind == "exfat" || kind == "exfat-fuse")
        return Exfat(name);
    if (kind == "ntfs" || kind == "ntfs3" || kind == "ntfs-3g" || kind == "lowntfs-3g")
        return Ntfs(name, superOptions);
    if (kind != "fuse" && kind != "fuseblk") {
        VolumeNaming plain;
        plain.fileSystem = name;
        return plain;
    }
    const std::string described =
        name + ":" + (volumeType.empty() ? std::string("unknown") : std::string(volumeType));
    if (volumeType == "vfat" || volumeType == "msdos")
        return Fat(described);
    if (volumeType == "exfat")
        return Exfat(described);
    if (volumeType == "ntfs")
        return Ntfs(described, superOptions);
    VolumeNaming unknown = Fat(described);
    unknown.ignoresCase = false; // would make distinct names conflict
    unknown.utf8Only = true;
    return unknown;
}

MountEntry FindMount(std::string_view mountInfo, std::uint64_t device) {
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::size_t at = 0;
    while (at < mountInfo.size()) {
        const std::size_t end = std::min(mountInfo.find('\n', at), mountInfo.size());
        const std::vector<std::string_view> fields = Fields(mountInfo.substr(at, end - at));
        at = end + 1;
        // id parent major:minor root mountpoint options [optional...] - type source super
        if (fields.size() < 7 || fields[2] != wanted)
            continue;
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        if (dash + 2 >= fields.size())
            continue;
        MountEntry entry{Unescaped(fields[dash + 1]), Unescaped(fields[dash + 2]), {}};
        if (dash + 3 < fields.size())
            entry.superOptions = std::string(fields[dash + 3]);
        return entry;
    }
    return {};
}

std::string VolumeTypeOfBootSector(std::string_view sector) {
    if (sector.size() < 90)
        return {};
    if (sector.substr(3, 8) == "NTFS    ")
        return "ntfs";
    if (sector.substr(3, 8) == "EXFAT   ")
        return "exfat";
    if (sector.substr(54, 3) == "FAT" || sector.substr(82, 5) == "FAT32")
        return "vfat";
    return {};
}

VolumeNaming NamingOfFolder(int folder) {
    struct statfs fs {};
    if (::fstatfs(folder, &fs) != 0)
        return {};
    const long type = static_cast<long>(fs.f_type);
    if (type == kMsdosMagic)
        return Fat("vfat");
    if (type == kExfatMagic)
        return Exfat("exfat");
    if (type == kNtfs3Magic)
        return Ntfs("ntfs3", {});
    if (type != kFuseMagic)
        return {};
    struct stat info {};
    if (::fstat(folder, &info) != 0)
        return NamingOf("fuse", {});
    std::ifstream table("/proc/self/mountinfo");
    std::stringstream text;
    text << table.rdbuf();
    const MountEntry mount = FindMount(text.str(), info.st_dev);
    if (mount.type.empty())
        return NamingOf("fuse", {});
    const bool saysWhat = mount.type != "fuse" && mount.type != "fuseblk";
    return NamingOf(mount.type, saysWhat ? std::string() : VolumeTypeOfSource(mount.source),
                    mount.superOptions);
}

} // namespace quorvane
