#include "app/CommandLine.h"

#include "platform/Paths.h"

#include <filesystem>

namespace quorvane {
namespace {

const char* const kProgram = "quorvane";

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// A path as the list expects it: absolute, without "." and ".." parts, a
// folder ending in "/". Symbolic links are kept as the user gave them.
std::string AbsolutePath(const std::string& argument, const std::string& currentFolder) {
    std::filesystem::path path(argument);
    if (path.is_relative())
        path = std::filesystem::path(currentFolder) / path;
    return path.lexically_normal().string();
}

std::string AsFolder(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& currentFolder) {
    CommandLine result;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && IsOption(argument)) {
            // The first of --help and --version wins; nothing after it matters.
            if (argument == "--help" || argument == "-h") {
                result.request = CommandLine::Request::ShowHelp;
                return result;
            }
            if (argument == "--version") {
                result.request = CommandLine::Request::ShowVersion;
                return result;
            }
            result.complaints.push_back(std::string(kProgram) + ": ignoring unknown option '" +
                                        argument + "' (see --help)");
            continue;
        }
        const std::string path = AbsolutePath(argument, currentFolder);
        if (DirectoryExists(AsFolder(path)))
            result.paths.push_back(AsFolder(path));
        else if (FileExists(path))
            result.paths.push_back(path);
        else
            result.complaints.push_back(std::string(kProgram) + ": ignoring '" + argument +
                                        "': no such file or folder");
    }
    // One folder is opened as the tree opens it.
    if (result.paths.size() == 1 && result.paths.front().back() == '/') {
        result.folder = std::move(result.paths.front());
        result.paths.clear();
    }
    return result;
}

std::string UsageText() {
    return "Usage: quorvane [FOLDER | PATH...]\n"
           "Renames many files at once: list a folder, choose a rule, preview the new\n"
           "names, apply them, and undo the last run if needed.\n"
           "\n"
           "  FOLDER     open this folder and list its files (instead of the last one)\n"
           "  PATH...    list exactly these files, and the files of these folders\n"
           "  -h, --help show this text and exit\n"
           "  --version  show the version and exit\n"
           "  --         take every later argument as a path\n"
           "\n"
           "The user manual opens with F1 in the window; see also quorvane(1).\n";
}

const char* ProgramVersion() {
    return QUORVANE_VERSION;
}

std::string VersionText() {
    return std::string("Quorvane ") + ProgramVersion() + "\n";
}

} // namespace quorvane
