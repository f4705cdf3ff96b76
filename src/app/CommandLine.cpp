#include "app/CommandLine.h"

#include "platform/Paths.h"

#include <filesystem>

namespace quorvane {
namespace {

const char* const kProgram = "quorvane";

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// A folder as the tree and the path box expect it: absolute, without "." and
// ".." parts, ending in "/". Symbolic links are kept as the user gave them.
std::string AbsoluteFolder(const std::string& argument, const std::string& currentFolder) {
    std::filesystem::path path(argument);
    if (path.is_relative())
        path = std::filesystem::path(currentFolder) / path;
    std::string folder = path.lexically_normal().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& currentFolder) {
    CommandLine result;
    bool optionsEnded = false;
    bool folderSeen = false;
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
        if (folderSeen) {
            result.complaints.push_back(std::string(kProgram) + ": ignoring '" + argument +
                                        "': only one folder can be opened");
            continue;
        }
        folderSeen = true;
        const std::string folder = AbsoluteFolder(argument, currentFolder);
        if (DirectoryExists(folder))
            result.folder = folder;
        else
            result.complaints.push_back(std::string(kProgram) + ": ignoring '" + argument +
                                        "': not a folder");
    }
    return result;
}

std::string UsageText() {
    return "Usage: quorvane [FOLDER]\n"
           "Renames many files at once: list a folder, choose a rule, preview the new\n"
           "names, apply them, and undo the last run if needed.\n"
           "\n"
           "  FOLDER     open this folder and list its files (instead of the last one)\n"
           "  -h, --help show this text and exit\n"
           "  --version  show the version and exit\n"
           "  --         take every later argument as a folder\n"
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
