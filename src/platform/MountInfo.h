#pragma once
// Which file system really lies behind a folder. statfs names every FUSE
// volume alike, so FAT or exFAT reached through FUSE would pass for a Unix
// folder; the mount table and the volume's own boot sector tell them apart.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

// How a volume takes names.
struct VolumeNaming {
    std::string fileSystem;   // "ext4", "fuse.fusefat", "fuseblk:exfat"... empty when unknown
    bool fatLike = false;     // refuses the characters FAT refuses, ends without dot or blank
    bool ignoresCase = false; // "a.txt" and "A.TXT" are one entry
    bool asciiOnly = false;   // takes no byte above 127 (FAT without long names)
    bool utf8Only = false;    // keeps names as UTF-16, so only valid UTF-8 fits
};

// The naming of a file system by its type in the mount table and, for a
// volume FUSE mounts without saying what it holds ("fuse", "fuseblk"), by
// the type the volume's boot sector shows ("vfat", "exfat", "ntfs"; empty
// when unknown). An unknown FUSE volume gets FAT's rules: refusing a name
// costs the user a retry, while a name the volume cannot hold may cost a file.
VolumeNaming NamingOf(std::string_view mountType, std::string_view volumeType,
                      std::string_view superOptions = {});

// The type, source and super options of the mount of the device in a text of
// /proc/self/mountinfo; all empty when the device is not there.
struct MountEntry {
    std::string type;
    std::string source;
    std::string superOptions;
};
MountEntry FindMount(std::string_view mountInfo, std::uint64_t device);

// "vfat", "exfat", "ntfs" or empty, from the first 512 bytes of a volume.
std::string VolumeTypeOfBootSector(std::string_view sector);

// The naming of the volume that holds an open folder: the statfs type for
// kernel file systems, the mount table and the volume behind FUSE.
VolumeNaming NamingOfFolder(int folder);

} // namespace quorvane
