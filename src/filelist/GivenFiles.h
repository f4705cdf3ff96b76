#pragma once
// Files given by name instead of one folder's scan: the paths of the command
// line, or files and folders dropped on the list. A given file is listed
// whatever the filter says; a given folder is listed as a scan lists it.
//
// The given files are remembered by identity (device and inode), not by
// name: Refresh lists them again under the names they have by then, after an
// Apply or an Undo as after a rename made beside the program.

#include "filelist/FolderScan.h"
#include "rules/FileRow.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

class GivenFiles {
public:
    // True once paths were given, until Clear.
    bool Active() const { return m_active; }
    void Clear();

    // Lists the given paths (absolute; a folder may end in "/"): each file as
    // it is, each folder as `like` scans one (its filter and subfolders),
    // leaving out what is neither and what `listed` (or an earlier path)
    // already lists. Rows of one folder share its FolderPath with `listed`.
    FileRows Add(const std::vector<std::string>& paths, const ScanRequest& like,
                 const FileRows& listed);
    // A folder listed before any path was given, kept as if given too.
    void AddListedFolder(const std::string& folder);
    // Everything given so far, as the disk has it now: the given files under
    // their present names (one gone is left out), the given folders scanned
    // again.
    FileRows Reread(const ScanRequest& like) const;

private:
    using Identity = std::pair<std::uint32_t, std::uint64_t>; // device, inode
    // Folder (ending in "/") -> the identities of the files given in it.
    std::map<std::string, std::set<Identity>> m_files;
    std::vector<std::string> m_folders; // each ending in "/"
    bool m_active = false;
};

// The folder every row lies in, ending in "/"; empty when the rows lie in
// several folders or there are none.
std::string SharedFolder(const FileRows& rows);

} // namespace quorvane
