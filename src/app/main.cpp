#include "app/CommandLine.h"
#include "shell/TMainForm.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Arguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string CurrentFolder() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string("/") : current.string();
}

} // namespace

int main(int argc, char* argv[]) {
    using quorvane::CommandLine;
    // --help and --version answer before Qt looks for a display.
    const CommandLine early = quorvane::ParseCommandLine(Arguments(argc, argv), CurrentFolder());
    if (early.request == CommandLine::Request::ShowHelp) {
        std::fputs(quorvane::UsageText().c_str(), stdout);
        return 0;
    }
    if (early.request == CommandLine::Request::ShowVersion) {
        std::fputs(quorvane::VersionText().c_str(), stdout);
        return 0;
    }

    // Qt takes its own options (-platform, -style, ...) out of argv; the rest is ours.
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorvane");
    QApplication::setApplicationVersion(QString::fromLatin1(quorvane::ProgramVersion()));
    // Task bars match the window to the installed desktop file and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVANE_APP_ID));

    const CommandLine commandLine =
        quorvane::ParseCommandLine(Arguments(argc, argv), CurrentFolder());
    for (const std::string& complaint : commandLine.complaints)
        std::fprintf(stderr, "%s\n", complaint.c_str());

    quorvane::TMainForm mainForm;
    mainForm.SetStartFolder(commandLine.folder);
    mainForm.SetStartPaths(commandLine.paths);
    mainForm.show();
    return QApplication::exec();
}
