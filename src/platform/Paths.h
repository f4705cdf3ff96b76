#pragma once
// The program folder, the user manual, and existence checks.

#include <string>
#include <vector>

namespace quorvane {

// The folder for "Options.ini", "Log.txt" and "History.sqlite", ending in
// "/": the executable's folder for a portable copy whose folder belongs to
// the user, may be written by the user and by no one else, and holds none of
// those files as a link or another user's file; else $XDG_CONFIG_HOME/Quorvane/
// or ~/.config/Quorvane/ (created 0700 on demand).
std::string ProgramFolder();

// The choice ProgramFolder makes, and what it passed over: one line for each
// of the program's files beside the executable that is not used, with the
// reason, and a last line that says where the files are kept instead. Empty
// when nothing was passed over.
struct ProgramFolderChoice {
    std::string folder;
    std::string setAsideNote; // lines joined by a carriage return
};
ProgramFolderChoice ChooseProgramFolder(const std::string& executableFolder,
                                        bool installedCopy = false);
ProgramFolderChoice ChooseProgramFolder();

// "Options.ini" and "Log.txt" lie side by side in one folder: `folder`
// (ending in "/"), or the program folder when it is empty. A test that points
// the settings elsewhere moves the log with them.
std::string SettingsFilePath(const std::string& folder = {});
std::string RunLogFilePath(const std::string& folder = {});
// "History.sqlite", the run history, lies beside them too.
std::string HistoryFilePath(const std::string& folder = {});

// The folder ChooseProgramFolder picks for a given executable folder (ending
// in "/"). An installed copy always uses the user's folder, even where it
// could write beside itself (root in /usr/bin, a user in ~/.local/bin).
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
