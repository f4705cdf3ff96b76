#pragma once
// The program's arguments: a folder to open, or files (and folders) to
// list, --help and --version.
// Anything else is reported and otherwise ignored, so a stray argument from a
// launcher never keeps the window from opening.

#include <string>
#include <vector>

namespace quorvane {

struct CommandLine {
    enum class Request { OpenWindow, ShowHelp, ShowVersion };
    Request request = Request::OpenWindow;
    // An existing folder as an absolute path ending in "/", when it is the
    // one path given; empty otherwise.
    std::string folder;
    // Otherwise the existing files and folders given, as absolute paths (a
    // folder ending in "/"), in their order: the list holds exactly these
    // files and the files of these folders.
    std::vector<std::string> paths;
    // One line (without its line end) for each argument that is ignored.
    std::vector<std::string> complaints;
};

// Reads the arguments after the program's name. A relative path is taken
// from currentFolder.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& currentFolder);

// The version number, "2.3".
const char* ProgramVersion();

// The texts printed for --help and --version, each ending in a line end.
std::string UsageText();
std::string VersionText();

} // namespace quorvane
