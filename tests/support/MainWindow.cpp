#include "support/MainWindow.h"
#include "support/Rows.h"

#include "shell/TSearchThread.h"
#include "widgets/FileListModel.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QToolBar>

namespace quorvane::test {

FileListModel& ListOf(const TMainForm& form) {
    return *Find<FileListModel>(form, "ListModel");
}

std::set<std::string> Names(const TMainForm& form) {
    std::set<std::string> names;
    for (const FileRow& row : ListOf(form).Rows())
        names.insert(row.originalName);
    return names;
}

std::vector<std::string> ListedNames(const TMainForm& form) {
    return FieldOfEach(ListOf(form).Rows(), &FileRow::originalName);
}

bool ControlShown(const TMainForm& form, const char* name) {
    auto* control = Find<QWidget>(form, name);
    auto* band = qobject_cast<QToolBar*>(control->parentWidget());
    return !(band ? static_cast<QWidget*>(band) : control)->isHidden();
}

void RunCommand(TMainForm& form, const char* action) {
    QCoreApplication::processEvents();
    Find<QAction>(form, action)->trigger();
}

bool WaitForScan(TMainForm& form, const std::function<void()>& start) {
    QSignalSpy done(Find<TSearchThread>(form, "SearchThread"), &TSearchThread::SearchDone);
    start();
    return done.count() > 0 || done.wait(10'000);
}

bool ScanBySelecting(TMainForm& form, const std::string& folder) {
    QSignalSpy done(Find<TSearchThread>(form, "SearchThread"), &TSearchThread::SearchDone);
    if (!Find<FolderTree>(form, "ShellTree")->SetPath(QString::fromStdString(folder)))
        return false;
    return done.count() > 0 || done.wait(10'000);
}

UrlSpy::UrlSpy(std::vector<const char*> schemes) : m_schemes(std::move(schemes)) {
    for (const char* scheme : m_schemes)
        QDesktopServices::setUrlHandler(scheme, this, "Open");
}

UrlSpy::~UrlSpy() {
    for (const char* scheme : m_schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

} // namespace quorvane::test
