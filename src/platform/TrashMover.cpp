#include "platform/TrashMover.h"

#include "platform/FileWrite.h"
#include "platform/RenameSteps.h"
#include "text/Utf8.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The trash lives in folders laid out by the freedesktop.org trash format:
// <trash>/files/<name> holds the file and <trash>/info/<name>.trashinfo says
// where it came from and when. The info file is reserved first (O_EXCL picks
// a free name without a race), the file is moved after it without replacing
// anything, and a failed move takes its info file back with it.

namespace quorvane {
namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr unsigned kMaxNameTries = 1u << 16;

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string ParentOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The file's folder, with links, "." and ".." resolved, and its own name,
// kept as it is: trashing a link trashes the link, not what it points to.
int ResolvePath(const std::string& given, std::string& folder, std::string& name) {
    const std::string path = StripTrailingSlashes(given);
    const std::string::size_type slash = path.rfind('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == ".." || path == "/")
        return EINVAL;
    const std::string parent =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    char* resolved = ::realpath(parent.c_str(), nullptr);
    if (!resolved)
        return errno;
    folder = resolved;
    std::free(resolved);
    struct stat info {};
    if (::lstat(Join(folder, name).c_str(), &info) != 0)
        return errno;
    return 0;
}

std::string DataHome() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory
    // rules say.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return StripTrailingSlashes(dataHome);
    std::string home;
    if (const char* fromEnvironment = std::getenv("HOME"); fromEnvironment && *fromEnvironment)
        home = fromEnvironment;
    else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        home = user->pw_dir;
    if (home.empty() || home[0] != '/')
        return {};
    return Join(StripTrailingSlashes(home), ".local/share");
}

// mkdir -p, new folders for the owner only. 0 when `path` is a folder after it.
int MakeFolders(const std::string& path) {
    for (std::string::size_type at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        if (::mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

// Makes the folder unless it is there. A folder on a shared volume must be a
// real folder (not a link someone else put there) and, where `owner` is
// given, ours.
int MakeTrashFolder(const std::string& path, bool followLinks, std::optional<uid_t> owner) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat info {};
    if ((followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    if (owner && info.st_uid != *owner)
        return EACCES;
    return 0;
}

int MakeTrash(const std::string& trash, bool followLinks, std::optional<uid_t> owner) {
    if (const int error = MakeTrashFolder(trash, followLinks, owner))
        return error;
    if (const int error = MakeTrashFolder(trash + "/files", followLinks, owner))
        return error;
    return MakeTrashFolder(trash + "/info", followLinks, owner);
}

// The home trash, made when it is missing.
int PrepareHomeTrash(std::string& trash) {
    trash = HomeTrashFolder();
    if (trash.empty())
        return ENOENT;
    if (const int error = MakeFolders(ParentOf(trash)))
        return error;
    return MakeTrash(trash, true, std::nullopt);
}

// The highest folder above `folder` on the same device: the top directory of
// its file system.
std::string TopDirectory(const std::string& folder, dev_t device, const DeviceLookup& deviceOf) {
    std::string top = folder;
    while (top != "/") {
        const std::string parent = ParentOf(top);
        const std::optional<dev_t> parentDevice = deviceOf(parent);
        if (!parentDevice || *parentDevice != device)
            break;
        top = parent;
    }
    return top;
}

// $topdir/.Trash/$uid when the administrator has set up $topdir/.Trash (a
// real folder with the sticky bit), else $topdir/.Trash-$uid.
int PrepareVolumeTrash(const std::string& top, std::string& trash) {
    const uid_t uid = ::getuid();
    const std::string shared = Join(top, ".Trash");
    struct stat info {};
    if (::lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
        (info.st_mode & S_ISVTX) != 0) {
        trash = shared + "/" + std::to_string(uid);
        if (MakeTrash(trash, false, uid) == 0)
            return 0;
    }
    trash = Join(top, ".Trash-" + std::to_string(uid));
    return MakeTrash(trash, false, uid);
}

// The name of the n-th try (from 1): "report.txt", "report.2.txt", ..., cut
// short (at a character boundary) where the info file's name would be longer
// than a name may be.
std::string TrashName(const std::string& name, unsigned attempt) {
    std::string::size_type dot = name.rfind('.');
    if (dot == 0 || dot == std::string::npos || name.size() - dot > 32)
        dot = name.size();
    std::string stem = name.substr(0, dot);
    // Appended piece by piece: GCC 12 at -O3 sees a possible overlap in
    // "." + std::to_string(...) and warns (-Wrestrict), which -Werror stops.
    std::string tail;
    if (attempt > 1) {
        tail += '.';
        tail += std::to_string(attempt);
    }
    tail.append(name, dot, std::string::npos);
    const std::size_t room = NAME_MAX - kInfoSuffix.size() - tail.size();
    if (stem.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && IsUtf8ContinuationByte(static_cast<unsigned char>(stem[cut])))
            --cut;
        stem.resize(cut);
    }
    return stem + tail;
}

// Reserves an info file, writes it and moves the file after it, trying the
// next name when either name is taken.
TrashOutcome MoveWithEntry(const std::string& source, const std::string& trash,
                           const std::string& name, const std::string& info) {
    TrashOutcome outcome;
    outcome.trashFolder = trash;
    for (unsigned attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::string trashName = TrashName(name, attempt);
        outcome.infoPath = trash + "/info/" + trashName + std::string(kInfoSuffix);
        outcome.trashedPath = trash + "/files/" + trashName;
        const int fd = ::open(outcome.infoPath.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            outcome.error = errno;
            return outcome;
        }
        int error = WriteAll(fd, info);
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error == 0)
            error = detail::MoveNoReplace(source, outcome.trashedPath);
        if (error == 0) {
            // Counted as done only once the file is seen in the trash.
            struct stat landed {};
            if (IsInTrashFilesFolder(outcome.trashedPath) &&
                ::lstat(outcome.trashedPath.c_str(), &landed) == 0)
                return outcome;
            outcome.error = EIO;
            return outcome; // the entry stays: it is the file's only record
        }
        ::unlink(outcome.infoPath.c_str());
        if (error != EEXIST) {
            outcome.error = error;
            return outcome;
        }
    }
    outcome.error = EEXIST;
    return outcome;
}

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

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsAllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

std::optional<dev_t> DeviceOfPath(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return info.st_dev;
}

std::string HomeTrashFolder() {
    const std::string data = DataHome();
    return data.empty() ? std::string() : Join(data, "Trash");
}

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

std::string EncodeTrashPath(std::string_view path) {
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (IsUnreserved(c) || c == '/') {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += digits[c >> 4];
            encoded += digits[c & 0xF];
        }
    }
    return encoded;
}

std::string TrashDeletionDate(std::time_t when) {
    std::tm local{};
    if (!::localtime_r(&when, &local))
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return std::string(text, length);
}

TrashOutcome TrashFile(const std::string& path, const DeviceLookup& deviceOf) {
    TrashOutcome outcome;
    std::string folder;
    std::string name;
    if ((outcome.error = ResolvePath(path, folder, name)) != 0)
        return outcome;
    const std::string source = Join(folder, name);

    // The home trash comes first, also for a file that will not go there:
    // its device decides which trash a file goes to.
    std::string trash;
    if ((outcome.error = PrepareHomeTrash(trash)) != 0)
        return outcome;
    const std::optional<dev_t> fileDevice = deviceOf(source);
    const std::optional<dev_t> homeDevice = deviceOf(trash + "/files/.");
    if (!fileDevice || !homeDevice) {
        outcome.error = ENOENT;
        return outcome;
    }
    // Paths in the home trash are absolute; in a top directory's trash they
    // are relative to that top directory, so the volume may be mounted
    // elsewhere and still restore.
    std::string recorded = source;
    if (*fileDevice != *homeDevice) {
        const std::string top = TopDirectory(folder, *fileDevice, deviceOf);
        if ((outcome.error = PrepareVolumeTrash(top, trash)) != 0)
            return outcome;
        recorded = top == "/" ? source.substr(1) : source.substr(top.size() + 1);
    }
    const std::string info = "[Trash Info]\nPath=" + EncodeTrashPath(recorded) +
                             "\nDeletionDate=" + TrashDeletionDate(std::time(nullptr)) + "\n";
    return MoveWithEntry(source, trash, name, info);
}

bool MoveToTrash(const std::string& path) {
    return TrashFile(path).error == 0;
}

} // namespace quorvane
