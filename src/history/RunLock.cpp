#include "history/RunLock.h"

#include "history/HistoryFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quorvane {
namespace {

// Never through a link, never another user's file: a lock anyone else can
// put in place could make every run look as if a live program carried it.
int OpenLockFile(const std::string& path) {
    std::string reason;
    return OpenOwnFile(path, reason);
}

} // namespace

void RunLock::Hold() {
    if (m_fd >= 0)
        return;
    m_fd = OpenLockFile(m_path);
    if (m_fd >= 0 && ::flock(m_fd, LOCK_SH) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void RunLock::Release() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool RunLock::HeldByARun() const {
    if (m_fd >= 0)
        return true;
    const int fd = OpenLockFile(m_path);
    if (fd < 0)
        return false;
    // A lock of our own, taken and dropped at once: it fails only while a
    // run of another open file holds its shared lock.
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace quorvane
