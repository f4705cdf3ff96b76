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
    bool fatLike = false;           // refuses the characters FAT refuses
    std::size_t nameMax = 255;      // the longest entry name, in bytes
};

// One readdir pass, one statfs, one pathconf and one flags query of the folder
// (ending in "/").
FolderFacts DescribeFolder(const std::string& folder);

} // namespace quorvane
