#include "app/CommandLine.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using Request = CommandLine::Request;
using test::TempDir;

TEST(CommandLineTest, ArgumentsGiveAFolderARequestAndOneLinePerIgnoredArgument) {
    const TempDir dir;
    dir.MakeDir("Holiday");
    dir.MakeDir("-drafts");
    dir.Write("notes.txt");
    const std::string cwd = dir.Path() + "Holiday/.."; // any spelling of the folder
    const std::string holiday = dir.Path() + "Holiday/";
    struct Case {
        std::vector<std::string> arguments;
        Request request;
        std::string folder;
        std::vector<std::string> complaints;
        std::vector<std::string> paths = {};
    } cases[] = {
        {{}, Request::OpenWindow, "", {}},
        {{holiday}, Request::OpenWindow, holiday, {}},
        {{dir.Path() + "Holiday"}, Request::OpenWindow, holiday, {}},
        {{"Holiday"}, Request::OpenWindow, holiday, {}},
        {{"./Holiday/../Holiday/."}, Request::OpenWindow, holiday, {}},
        {{"."}, Request::OpenWindow, dir.Path(), {}},
        {{"Missing"},
         Request::OpenWindow,
         "",
         {"quorvane: ignoring 'Missing': no such file or folder"}},
        // A file, or more than one path: exactly those are listed.
        {{"notes.txt"}, Request::OpenWindow, "", {}, {dir.Path() + "notes.txt"}},
        {{"notes.txt", "Holiday", "./notes.txt"},
         Request::OpenWindow,
         "",
         {},
         {dir.Path() + "notes.txt", holiday, dir.Path() + "notes.txt"}},
        {{"Holiday", "."}, Request::OpenWindow, "", {}, {holiday, dir.Path()}},
        {{"--bogus", "Holiday"},
         Request::OpenWindow,
         holiday,
         {"quorvane: ignoring unknown option '--bogus' (see --help)"}},
        {{"Holiday", "-x", "Missing"},
         Request::OpenWindow,
         holiday,
         {"quorvane: ignoring unknown option '-x' (see --help)",
          "quorvane: ignoring 'Missing': no such file or folder"}},
        // The one folder that is left is opened.
        {{"Missing", "Holiday"},
         Request::OpenWindow,
         holiday,
         {"quorvane: ignoring 'Missing': no such file or folder"}},
        {{"--", "-drafts"}, Request::OpenWindow, dir.Path() + "-drafts/", {}},
        {{"--", "--help"},
         Request::OpenWindow,
         "",
         {"quorvane: ignoring '--help': no such file or folder"}},
        {{"-"}, Request::OpenWindow, "", {"quorvane: ignoring '-': no such file or folder"}},
        {{"--help"}, Request::ShowHelp, "", {}},
        {{"-h", "Holiday"}, Request::ShowHelp, "", {}},
        {{"--bogus", "--version", "--help"}, Request::ShowVersion, "", {}},
        {{"Holiday", "--help"}, Request::ShowHelp, "", {}},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments)
            shown += " '" + argument + "'";
        const CommandLine line = ParseCommandLine(c.arguments, cwd);
        EXPECT_EQ(line.request, c.request) << shown;
        if (c.request == Request::OpenWindow) {
            EXPECT_EQ(line.folder, c.folder) << shown;
            EXPECT_EQ(line.complaints, c.complaints) << shown;
            EXPECT_EQ(line.paths, c.paths) << shown;
        }
    }
}

} // namespace
} // namespace quorvane
