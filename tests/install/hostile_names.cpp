// Renames files of a folder to names a volume may refuse, through the rename
// run (plan included) and through the bare rename step, then counts the
// files: every one must still be there under one name or another.
//
//   check_hostile_names FOLDER
//
// Prints one line per name and "lost N"; exits 1 when a file was lost.
#include "planner/RenamePlan.h"
#include "platform/FolderFacts.h"
#include "platform/Rename.h"
#include "runs/RenameRun.h"

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace quorvane;

const std::vector<std::string> kHostileNames = {
    "\xc3\xa9t\xc3\xa9.txt",
    "a?b.txt",
    "a:b.txt",
    "bad\xff.txt",
    "a*b.txt",
    "a<b>.txt",
    "a\"b.txt",
    "a|b.txt",
    "a\\b.txt",
    "tab\tx.txt",
    "line\nx.txt",
    "trailing.",
    "trailing ",
    "CON",
    "\xe6\x97\xa5\xe6\x9c\xac.txt",
    "smile\xf0\x9f\x98\x80.txt",
    "cafe\xcc\x81.txt",
    std::string(300, 'e'),
    "UPPER.TXT",
    "plain.txt",
};

std::string Shown(const std::string& name) {
    std::string text;
    for (const char c : name.substr(0, 24)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127 || byte > 127) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            text += hex;
        } else {
            text += c;
        }
    }
    return name.size() > 24 ? text + "..." : text;
}

void Write(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The contents of every file a fresh listing of the folder shows.
std::multiset<std::string> Contents(const std::string& folder) {
    std::multiset<std::string> contents;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return contents;
    while (const dirent* entry = ::readdir(dir)) {
        std::ifstream in(folder + entry->d_name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (in)
            contents.insert(text.str());
    }
    ::closedir(dir);
    return contents;
}

std::string Outcome(int error) {
    if (error == 0)
        return "renamed";
    if (error == kErrorSourceLost)
        return "LOST";
    const char* name = strerrordesc_np(error);
    return name ? name : std::to_string(error);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    // The run and the bare steps each in a folder of their own, so that both
    // try every name.
    const std::string folder = std::string(argv[1]) + "/run/";
    const std::string steps = std::string(argv[1]) + "/step/";
    ::mkdir(folder.c_str(), 0755);
    ::mkdir(steps.c_str(), 0755);
    const FolderFacts facts = DescribeFolder(folder);
    std::printf("volume: %s fatLike=%d ignoresCase=%d asciiOnly=%d utf8Only=%d\n",
                facts.fileSystem.c_str(), facts.fatLike, facts.ignoresCase, facts.asciiOnly,
                facts.utf8Only);
    FolderPath shared(folder);
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        shared.SetIdentity(info.st_dev, info.st_ino);
    FileRows rows;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < kHostileNames.size(); ++i) {
        const std::string run = "run" + std::to_string(i) + ".dat";
        const std::string step = "step" + std::to_string(i) + ".dat";
        Write(folder + run, "run " + std::to_string(i));
        Write(steps + step, "step " + std::to_string(i));
        expected.push_back("run " + std::to_string(i));
        expected.push_back("step " + std::to_string(i));
        FileRow& row = rows.emplace_back();
        row.folder = shared;
        row.originalName = run;
        row.newName = kHostileNames[i];
        row.selected = true;
    }
    PlatformFolderLister lister;
    const FileRowsPlan plan = PlanFileRows(rows, lister);
    PlatformFileSystem fileSystem;
    const RunResult result = RenameFiles(rows, fileSystem);
    for (std::size_t i = 0; i < kHostileNames.size(); ++i) {
        const int step =
            RenameNoReplace(steps, "step" + std::to_string(i) + ".dat", kHostileNames[i]);
        const bool refused = plan.plan.rows[i].refused;
        const bool done = rows[i].newName.rfind(kOkMark, 0) == 0;
        std::printf("%-28s run: %-9s step: %s\n", Shown(kHostileNames[i]).c_str(),
                    refused ? "refused"
                    : done  ? "renamed"
                            : "failed",
                    Outcome(step).c_str());
    }
    std::multiset<std::string> found = Contents(folder);
    found.merge(Contents(steps));
    std::size_t lost = 0;
    for (const std::string& content : expected) {
        const auto at = found.find(content);
        if (at == found.end())
            ++lost;
        else
            found.erase(at);
    }
    std::printf("files %zu, lost %zu (run reported %zu lost)\n", expected.size(), lost,
                result.lostFiles);
    return lost == 0 ? 0 : 1;
}
