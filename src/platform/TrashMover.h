#pragma once
// Moving files to the desktop's trash, written as the freedesktop.org trash
// format lays it out, so that any desktop or trash tool restores them under
// their exact old names.

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quorvane {

// The device a path lies on, without following a final symbolic link
// (lstat's st_dev), or nothing when it cannot be read. Tests stand in other
// answers to reach the trash of a top directory without a second file system.
using DeviceLookup = std::function<std::optional<dev_t>(const std::string& path)>;

std::optional<dev_t> DeviceOfPath(const std::string& path);

struct TrashOutcome {
    int error = 0;           // 0 when the file went to a trash, else an errno value
    std::string trashFolder; // the trash used, e.g. ".../Trash" or "$topdir/.Trash-1000"
    std::string trashedPath; // the file's place in it: <trashFolder>/files/<name>
    std::string infoPath;    // its entry: <trashFolder>/info/<name>.trashinfo
};

// Moves one file (or link, or folder) to the trash: the home trash when the
// file lies on the home trash's device, else the trash of its file system's
// top directory. Nothing is ever copied, replaced or deleted: on failure the
// file stays where it was and no entry is left behind.
TrashOutcome TrashFile(const std::string& path, const DeviceLookup& deviceOf = DeviceOfPath);

// True when TrashFile moved the file.
bool MoveToTrash(const std::string& path);

// The home trash folder ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash),
// without a final "/".
std::string HomeTrashFolder();

// True when `trashedPath` names an entry of a trash "files" folder: the home
// trash ".../Trash/files/x", or a volume's ".Trash-UID/files/x" or
// ".Trash/UID/files/x".
bool IsInTrashFilesFolder(const std::string& trashedPath);

// The Path= value: every byte outside the unreserved characters of URIs
// (letters, digits, "-", ".", "_", "~") as "%XX", "%" itself included; the
// separating "/" stay. Works on bytes, so names that are not UTF-8 survive.
std::string EncodeTrashPath(std::string_view path);

// DeletionDate=: the local time as YYYY-MM-DDThh:mm:ss.
std::string TrashDeletionDate(std::time_t when);

} // namespace quorvane
