#pragma once
// The program folder, and existence checks.

#include <string>

namespace quorvane {

// The folder for "Options.ini" and "Log.txt", ending in "/": the executable's
// folder when it is writable, else ~/.config/Quorvane/ (created on demand).
std::string ProgramFolder();

// The choice ProgramFolder makes for a given executable folder (ending in "/").
std::string ProgramFolderFor(const std::string& executableFolder);

// The executable's own folder, ending in "/" (for the user manual).
std::string ExecutableFolder();

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

} // namespace quorvane
