#include "shell/ManualWindow.h"

#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quorvane {
namespace {

// On a desktop, xdg-open runs the program the user chose for HTML; its exit
// status says when there is none (Qt's own launch reports only that xdg-open
// started). Elsewhere (offscreen, tests) Qt's URL handlers decide.
bool OnDesktopWithXdgOpen() {
    const QString platform = QGuiApplication::platformName();
    return (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))) &&
           !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
}

void OpenWithXdgOpen(QWidget* owner, const QString& path) {
    auto* process = new QProcess(owner);
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({QUrl::fromLocalFile(path).toString()});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    // A browser that is already running lets xdg-open end at once with 0; a
    // newly started one keeps it running until the browser ends.
    QObject::connect(process, &QProcess::finished, owner,
                     [owner, path, process](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             ShowManualWindow(owner, path);
                     });
    QObject::connect(process, &QProcess::errorOccurred, owner,
                     [owner, path, process](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         ShowManualWindow(owner, path);
                     });
    process->start();
}

} // namespace

void OpenManual(QWidget* owner, const QString& path) {
    if (OnDesktopWithXdgOpen())
        OpenWithXdgOpen(owner, path);
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ShowManualWindow(owner, path);
}

void ShowManualWindow(QWidget* owner, const QString& path) {
    auto* window = owner->findChild<QDialog*>(QStringLiteral("ManualWindow"));
    if (!window) {
        window = new QDialog(owner, Qt::Window);
        window->setObjectName(QStringLiteral("ManualWindow"));
        window->setWindowTitle(QStringLiteral("Quorvane User Manual"));
        auto* browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("ManualText"));
        browser->setAccessibleName(QStringLiteral("User Manual"));
        // Links to the web leave for the browser; the manual's own pages stay here.
        browser->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        window->resize(760, 640);
    }
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("ManualText"));
    browser->setSource(QUrl::fromLocalFile(path));
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quorvane
