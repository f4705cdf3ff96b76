#pragma once
// The program's own files (settings, run log, run history) are opened so that
// a link planted in their place is never followed and a file that another
// user owns is never read or written: whoever can write the folder must not
// be able to point our writes at a file of the user's, or feed us contents.

#include <string>
#include <sys/types.h>

namespace quorvane {

enum class OwnFileTrouble {
    None,         // missing, or a plain file of this user
    Link,         // a symbolic link
    OtherOwner,   // belongs to another user
    NotPlainFile, // a folder, a pipe, a device...
};

// What stands at the path now, without following a link. A missing file is
// no trouble: it will be made by us.
OwnFileTrouble OwnFileTroubleAt(const std::string& path);

// Why the file cannot be used, in words for the user ("it is a link").
const char* OwnFileTroubleText(OwnFileTrouble trouble);

// Opens one of the program's files: never through a link (ELOOP), only a
// plain file (EINVAL otherwise) that belongs to this user (EPERM otherwise).
// `flags` are open(2)'s; O_TRUNC is applied only once the file is known to
// be ours. Returns the descriptor, or -1 with errno set.
int OpenOwnFile(const std::string& path, int flags, mode_t mode = 0600);

} // namespace quorvane
