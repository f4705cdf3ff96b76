#include "platform/Paths.h"

#include "platform/PrivateFile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// Creates every missing folder along the path; true when it exists afterwards.
bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return DirectoryExists(folder);
}

// $XDG_CONFIG_HOME/Quorvane/, else $HOME/.config/Quorvane/; empty when neither is usable.
std::string UserConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
    if (xdg && xdg[0] == '/')
        return WithSlash(xdg) + "Quorvane/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return WithSlash(home) + ".config/Quorvane/";
    return {};
}

} // namespace

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "./";
    std::string path(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "./";
    return path.substr(0, slash + 1);
}

namespace {

// Why a folder the user can write is no place for the program's files: when
// another user may write it too, or owns it, what is in it may be planted.
// Null when it is the user's own.
const char* SharedFolderReason(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return nullptr;
    if (info.st_uid != ::geteuid())
        return "the program's folder belongs to another user";
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return "other users may write the program's folder";
    return nullptr;
}

} // namespace

ProgramFolderChoice ChooseProgramFolder(const std::string& executableFolder, bool installedCopy) {
    ProgramFolderChoice choice;
    std::string passedOver;
    // Called once per start, so a permission probe is affordable here: a
    // portable copy keeps its files beside itself, an installed copy in the
    // user's folder. A folder the user cannot write was never a choice, so
    // what lies in it is not worth a word.
    if (!installedCopy && ::access(executableFolder.c_str(), W_OK) == 0) {
        const char* shared = SharedFolderReason(executableFolder);
        for (const char* name : {"Options.ini", "Log.txt", "History.sqlite"}) {
            struct stat info {};
            const std::string path = executableFolder + name;
            if (::lstat(path.c_str(), &info) != 0)
                continue;
            const OwnFileTrouble trouble = OwnFileTroubleAt(path);
            const char* why =
                shared ? shared
                       : (trouble != OwnFileTrouble::None ? OwnFileTroubleText(trouble) : nullptr);
            if (why)
                passedOver +=
                    std::string("\"") + name + "\" beside the program is not used: " + why + ".\r";
        }
        if (!shared && passedOver.empty()) {
            choice.folder = executableFolder;
            return choice;
        }
    }
    const std::string config = UserConfigFolder();
    if (!config.empty() && MakeFolders(config)) {
        choice.folder = config;
    } else {
        // Nowhere else to go; the files are still opened as the program's own.
        choice.folder = executableFolder;
    }
    if (!passedOver.empty() && choice.folder != executableFolder)
        choice.setAsideNote = passedOver + "The program keeps its files in " + choice.folder + ".";
    else if (!passedOver.empty())
        choice.setAsideNote = passedOver.substr(0, passedOver.size() - 1);
    return choice;
}

ProgramFolderChoice ChooseProgramFolder() {
    const std::string executableFolder = ExecutableFolder();
    return ChooseProgramFolder(executableFolder, IsInstalledCopy(executableFolder));
}

std::string ProgramFolderFor(const std::string& executableFolder, bool installedCopy) {
    return ChooseProgramFolder(executableFolder, installedCopy).folder;
}

bool IsInstalledCopy(const std::string& executableFolder) {
    return FileExists(executableFolder + QUORVANE_DESKTOP_FILE_FROM_BIN);
}

std::string ProgramFolder() {
    return ChooseProgramFolder().folder;
}

namespace {
std::string ProgramFileIn(const std::string& folder, const char* name) {
    return (folder.empty() ? ProgramFolder() : WithSlash(folder)) + name;
}
} // namespace

std::string SettingsFilePath(const std::string& folder) {
    return ProgramFileIn(folder, "Options.ini");
}

std::string RunLogFilePath(const std::string& folder) {
    return ProgramFileIn(folder, "Log.txt");
}

std::string HistoryFilePath(const std::string& folder) {
    return ProgramFileIn(folder, "History.sqlite");
}

ManualPlaces BuiltInManualPlaces() {
    return {QUORVANE_MANUAL_FROM_BIN, QUORVANE_BUILD_FOLDER, QUORVANE_SOURCE_MANUAL};
}

std::vector<std::string> UserManualCandidates(const std::string& executableFolder,
                                              const ManualPlaces& places) {
    std::vector<std::string> candidates;
    if (!places.installedFromBin.empty()) {
        // Normalised, so the browser is handed /usr/share/... rather than /usr/bin/../share/...
        const std::filesystem::path installed =
            std::filesystem::path(executableFolder + places.installedFromBin + "index.html");
        candidates.push_back(installed.lexically_normal().string());
    }
    // Only a program started from its own build tree reads the source tree,
    // so an installed or copied program never opens a stale checkout.
    const std::string build = WithSlash(places.buildFolder);
    if (!places.buildFolder.empty() && !places.sourceManual.empty() &&
        executableFolder.compare(0, build.size(), build) == 0)
        candidates.push_back(WithSlash(places.sourceManual) + "index.html");
    return candidates;
}

std::string UserManualPath() {
    for (const std::string& candidate :
         UserManualCandidates(ExecutableFolder(), BuiltInManualPlaces()))
        if (FileExists(candidate))
            return candidate;
    return {};
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace quorvane
