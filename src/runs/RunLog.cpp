#include "runs/RunLog.h"

#include "platform/FileWrite.h"
#include "platform/PrivateFile.h"
#include "text/EntryName.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

int WriteRunLog(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(EscapedControlBytes(line)).append("\r\n");
    // The log names the user's files, so it is the user's alone, also when an
    // older copy left it readable to others.
    const int fd = OpenOwnFile(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return errno;
    int error = ::fchmod(fd, 0600) != 0 ? errno : WriteAll(fd, text);
    // A failed close counts: some file systems report a lost write only there.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

namespace {

std::string CountsText(RunKind kind, const RunResult& result) {
    if (result.AllWell()) {
        return kind == RunKind::Attributes
                   ? "All the attributes of selected files have been processed successfully!"
                   : "All the selected files have been processed successfully!";
    }
    std::string text = "Total files : " + std::to_string(result.selectedAtStart) + "\r" +
                       "Files can not be renamed : " + std::to_string(result.failedFiles) + "\r";
    if (result.lostFiles > 0)
        text += "Files lost by the file system : " + std::to_string(result.lostFiles) + "\r";
    return text + "Please click the  [OK]  button to view the log.";
}

} // namespace

std::string RunSummaryText(RunKind kind, const RunResult& result, const std::string& logNote) {
    std::string text = CountsText(kind, result);
    // What went wrong besides the files is added, never put in its place.
    if (!result.historyError.empty())
        text += "\rThe run history could not be written (" + result.historyError + ").";
    if (!logNote.empty())
        text += "\r" + logNote;
    return text;
}

} // namespace quorvane
