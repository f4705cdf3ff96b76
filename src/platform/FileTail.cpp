#include "platform/FileTail.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

// The current size of an open file, or -1 where it has none. The end offset
// costs far less than an fstat, which took a tenth of the time of reading a
// tag, and refuses what is not a file just as well: a pipe has no end offset,
// a character device ends at 0 and a folder refuses the read that follows.
// Only a tail of nothing, which reads nothing, needs the stat.
off_t RegularFileSize(int fd, std::size_t count) {
    if (count == 0) {
        struct stat info {};
        return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : -1;
    }
    return ::lseek(fd, 0, SEEK_END);
}

} // namespace

bool ReadFileTail(const std::string& path, std::size_t count, std::string& out) {
    return ReadFileTailIn(AT_FDCWD, path, count, out);
}

bool ReadFileTailIn(int folder, const std::string& name, std::size_t count, std::string& out) {
    // O_NONBLOCK: a pipe put in place of the file must not hang the reader.
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    bool ok = false;
    const off_t size = RegularFileSize(fd, count);
    if (size >= 0 && static_cast<std::uint64_t>(size) >= count) {
        out.resize(count);
        std::size_t done = 0;
        const off_t start = size - static_cast<off_t>(count);
        while (done < count) {
            const ssize_t got =
                ::pread(fd, out.data() + done, count - done, start + static_cast<off_t>(done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        ok = done == count;
        if (!ok)
            out.clear();
    }
    ::close(fd);
    return ok;
}

HeldFolder::~HeldFolder() {
    Release();
}

int HeldFolder::Descriptor(const std::string& folder) {
    if (m_fd >= 0 && folder == m_folder)
        return m_fd;
    Release();
    // A path-only descriptor: nothing is read through it, it only anchors openat.
    m_fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    m_folder = m_fd >= 0 ? folder : std::string();
    return m_fd;
}

void HeldFolder::Release() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace quorvane
