#include "shell/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

// The components of a path, empty ones dropped.
std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= path.size()) {
        const std::string::size_type end = std::min(path.find('/', start), path.size());
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsAllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Qt 6.4 puts the home trash under the user's data folder but does not create
// that folder; when the trash cannot be made there, it makes "files" and
// "info" in the current folder instead and reports success. So the home trash
// folder must exist first (owner-only, as the trash's own rules ask).
bool EnsureHomeTrash() {
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataFolder.isEmpty() || !QDir().mkpath(dataFolder))
        return false;
    const QDir data(dataFolder);
    if (!data.exists(QStringLiteral("Trash")) && data.mkdir(QStringLiteral("Trash")))
        QFile::setPermissions(data.filePath(QStringLiteral("Trash")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFileInfo(data.filePath(QStringLiteral("Trash"))).isDir();
}

// Puts a file that went somewhere other than a trash back where it was, and
// drops the info entry written for it. Never replaces a file that has since
// taken its old place.
void PutBack(const std::string& movedTo, const std::string& original) {
    if (renameat2(AT_FDCWD, movedTo.c_str(), AT_FDCWD, original.c_str(), RENAME_NOREPLACE) != 0) {
        std::fprintf(stderr, "quorvane: %s was moved to %s instead of the trash\n",
                     original.c_str(), movedTo.c_str());
        return;
    }
    // movedTo is <folder>/files/<name>; its entry is <folder>/info/<name>.trashinfo.
    const fs::path moved(movedTo);
    std::error_code ignored;
    fs::remove(moved.parent_path().parent_path() / "info" /
                   (moved.filename().string() + ".trashinfo"),
               ignored);
}

} // namespace

bool IsInTrashFilesFolder(const std::string& trashedPath) {
    const std::vector<std::string> parts = Components(trashedPath);
    // ..., trash folder, "files", name
    if (parts.size() < 3 || parts[parts.size() - 2] != "files")
        return false;
    const std::string& trashFolder = parts[parts.size() - 3];
    if (StartsWith(trashFolder, "Trash") || StartsWith(trashFolder, ".Trash"))
        return true;
    // A volume's shared trash keeps one folder per user: .Trash/UID/files.
    return parts.size() >= 4 && IsAllDigits(trashFolder) && parts[parts.size() - 4] == ".Trash";
}

bool MoveToTrash(const std::string& path) {
    if (path.empty() || !EnsureHomeTrash())
        return false;
    QString pathInTrash;
    if (!QFile::moveToTrash(QFile::decodeName(path.c_str()), &pathInTrash))
        return false;
    const std::string trashed = QFile::encodeName(pathInTrash).toStdString();
    if (IsInTrashFilesFolder(trashed))
        return true;
    if (!trashed.empty())
        PutBack(trashed, path);
    return false;
}

std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> kept;
    for (const std::string& path : paths)
        if (!MoveToTrash(path))
            kept.push_back(path);
    return kept;
}

} // namespace quorvane
