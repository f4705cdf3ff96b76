#include "platform/FileTail.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

bool ReadFileTail(const std::string& path, std::size_t count, std::string& out) {
    // O_NONBLOCK: a pipe put in place of the file must not hang the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    bool ok = false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) >= count) {
        out.resize(count);
        std::size_t done = 0;
        const off_t start = info.st_size - static_cast<off_t>(count);
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

} // namespace quorvane
