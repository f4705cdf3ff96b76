#pragma once
// The program's arguments: an optional folder to open, --help and --version.
// Anything else is reported and otherwise ignored, so a stray argument from a
// launcher never keeps the window from opening.

#include <string>
#include <vector>

namespace quorvane {

struct CommandLine {
    enum class Request { OpenWindow, ShowHelp, ShowVersion };
    Request request = Request::OpenWindow;
    // An existing folder as an absolute path ending in "/"; empty when none was given.
    std::string folder;
    // One line (without its line end) for each argument that is ignored.
    std::vector<std::string> complaints;
};

// Reads the arguments after the program's name. A relative folder is taken
// from currentFolder.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& currentFolder);

// The version number, "2.3".
const char* ProgramVersion();

// The texts printed for --help and --version, each ending in a line end.
std::string UsageText();
std::string VersionText();

} // namespace quorvane
