#pragma once
// The main window as window tests start it: its settings in a temporary
// folder, its controls found by name, a scan waited for on its signal, and the
// addresses it hands to the desktop recorded instead of opened.

#include "rules/FileRow.h"
#include "shell/TMainForm.h"
#include "support/Find.h"
#include "support/TempDir.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace quorvane {
class FileListModel;
}

namespace quorvane::test {

struct Window {
    Window() { form.SetSettingsFolder(settings.Path()); }
    template <typename T> T* Control(const char* name) { return Find<T>(form, name); }
    TempDir settings;
    TMainForm form;
};

FileListModel& ListOf(const TMainForm& form);
// The names of the listed files, as a set and in list order.
std::set<std::string> Names(const TMainForm& form);
std::vector<std::string> ListedNames(const TMainForm& form);
// Whether a bar or a box of the View menu is shown; a box is shown and hidden
// with the band of the cool bar that holds it.
bool ControlShown(const TMainForm& form, const char* name);
// Runs one of the window's commands (an action, by its objectName) as its
// button, menu entry or shortcut does, once the window has decided at an idle
// moment what is available. An unavailable command does nothing.
void RunCommand(TMainForm& form, const char* action);
// Runs `start` and waits until the scan it starts has ended.
bool WaitForScan(TMainForm& form, const std::function<void()>& start);
// Points the tree at the folder and waits until the scan it starts has ended.
bool ScanBySelecting(TMainForm& form, const std::string& folder);

// Records the addresses handed to the desktop instead of opening them.
class UrlSpy : public QObject {
    Q_OBJECT
public:
    explicit UrlSpy(std::vector<const char*> schemes = {"file", "http", "https", "mailto"});
    ~UrlSpy() override;
    std::vector<QUrl> opened;

public Q_SLOTS:
    void Open(const QUrl& url) { opened.push_back(url); }

private:
    std::vector<const char*> m_schemes;
};

} // namespace quorvane::test
