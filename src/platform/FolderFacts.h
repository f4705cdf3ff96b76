#pragma once
// What a rename plan needs to know of one folder, taken in one listing.

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane {

struct FolderFacts {
    bool listed = false;            // the folder could be read
    std::vector<std::string> names; // every entry, as the folder spells it
    bool ignoresCase = false;       // "a.txt" and "A.TXT" are one entry
    // A FAT-like volume (FAT or exFAT, by the kernel or through FUSE, or an
    // unknown volume through FUSE): refuses the characters FAT refuses and
    // the names Windows keeps for devices.
    bool fatLike = false;
    bool asciiOnly = false;    // takes no byte above 127 (FAT without long names)
    bool utf8Only = false;     // takes only valid UTF-8 (exFAT, NTFS)
    std::size_t nameMax = 255; // the longest entry name, in bytes
    std::string fileSystem;    // what the volume is, for messages ("fuse.fusefat"...)
};

// One readdir pass, one statfs, one pathconf and one flags query of the folder
// (ending in "/"); for a FUSE volume also a read of the mount table and
// perhaps of the volume's boot sector (platform/MountInfo.h).
FolderFacts DescribeFolder(const std::string& folder);

} // namespace quorvane
