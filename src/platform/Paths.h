#pragma once
// The program folder, the user manual, and existence checks.

#include <string>
#include <vector>

namespace quorvane {

// The folder for "Options.ini" and "Log.txt", ending in "/": the executable's
// folder for a portable copy whose folder is writable, else
// $XDG_CONFIG_HOME/Quorvane/ or ~/.config/Quorvane/ (created on demand).
std::string ProgramFolder();

// "Options.ini" and "Log.txt" lie side by side in one folder: `folder`
// (ending in "/"), or the program folder when it is empty. A test that points
// the settings elsewhere moves the log with them.
std::string SettingsFilePath(const std::string& folder = {});
std::string RunLogFilePath(const std::string& folder = {});
// "History.sqlite", the run history, lies beside them too.
std::string HistoryFilePath(const std::string& folder = {});

// The choice ProgramFolder makes for a given executable folder (ending in "/").
// An installed copy always uses the user's folder, even where it could write
// beside itself (root in /usr/bin, a user in ~/.local/bin).
std::string ProgramFolderFor(const std::string& executableFolder, bool installedCopy = false);

// Whether the executable is an installed copy: its desktop file lies where
// installing puts it relative to the executable's folder.
bool IsInstalledCopy(const std::string& executableFolder);

// The executable's own folder, ending in "/".
std::string ExecutableFolder();

// Where the user manual can be, each folder ending in "/".
struct ManualPlaces {
    std::string installedFromBin; // relative to the executable's folder
    std::string buildFolder;      // the build folder the program was built in
    std::string sourceManual;     // the manual in the source tree
};
ManualPlaces BuiltInManualPlaces();

// The manual's start pages to try, in order: the installed documentation
// relative to the executable, then, when the executable lies inside its build
// folder, the manual in the source tree.
std::vector<std::string> UserManualCandidates(const std::string& executableFolder,
                                              const ManualPlaces& places);

// The first of the candidates that exists for this program; empty when none does.
std::string UserManualPath();

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

} // namespace quorvane
