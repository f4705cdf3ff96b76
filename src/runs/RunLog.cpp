#include "runs/RunLog.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quorvane {
namespace {

int WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

int WriteRunLog(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = WriteAll(fd, text);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

std::string RunSummaryText(RunKind kind, const RunResult& result) {
    if (result.AllWell()) {
        return kind == RunKind::Attributes
                   ? "All the attributes of selected files have been processed successfully!"
                   : "All the selected files have been processed successfully!";
    }
    return "Total files : " + std::to_string(result.selectedAtStart) + "\r" +
           "Files can not be renamed : " + std::to_string(result.failedFiles) + "\r" +
           "Please click the  [OK]  button to view the log.";
}

} // namespace quorvane
