#include "platform/ReadOnlyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(info.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ReadOnlyFile::ReadAt(std::uint64_t offset, std::size_t count, std::string& out) const {
    out.clear();
    if (m_fd < 0)
        return false;
    if (offset >= m_size)
        return true;
    // The size seen at opening bounds the read, so a bogus length in a tag
    // never makes a large allocation.
    if (count > m_size - offset)
        count = static_cast<std::size_t>(m_size - offset);
    out.resize(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(m_fd, out.data() + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            out.clear();
            return false;
        }
        if (got == 0)
            break; // the file shrank since it was opened
        done += static_cast<std::size_t>(got);
    }
    out.resize(done);
    return true;
}

} // namespace quorvane
