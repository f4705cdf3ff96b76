// A runaway regular expression in the window: "(a+)+$" on the Replace page
// over names of 40 "a" and a "b" (about 2^40 backtracking steps each without a
// budget), from the Preview command to the repainted list, and a live preview
// of the same. Not part of the test run: bench/run.sh runs it.
//
//   bench_runaway DIR RUNS     (DIR: an empty folder the names are made in)

#include "BenchSupport.h"
#include "rules/RulePage.h"
#include "shell/ScanController.h"
#include "shell/TMainForm.h"
#include "widgets/FileListModel.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace quorvane;
using namespace quorvane::bench;

// Runs one of the window's handlers by its documented name, as its action
// or control would, past the availability check: the bench times the work.
void Handle(TMainForm& form, const char* handler) {
    QMetaObject::invokeMethod(&form, handler, Qt::DirectConnection);
}

constexpr int kNames = 3000;
constexpr double kBudgetSeconds = 5.0;

bool MakeNames(const std::string& folder) {
    const std::string runaway = std::string(40, 'a') + "b";
    for (int i = 0; i < kNames; ++i) {
        const std::string path = folder + "/" + runaway + std::to_string(i) + ".txt";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

template <typename T> T* Control(TMainForm& form, const char* name) {
    return form.findChild<T*>(QString::fromLatin1(name));
}

bool Open(TMainForm& form, const QString& folder) {
    auto* scan = Control<ScanController>(form, "ScanController");
    if (!Control<FolderTree>(form, "ShellTree")->SetPath(folder))
        return false;
    if (scan->SearchCount() != 0) {
        QEventLoop loop;
        QObject::connect(scan, &ScanController::SearchDone, &loop, &QEventLoop::quit);
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return Control<FileListModel>(form, "ListModel")->RowCount() == kNames;
}

int Run(const QString& folder, int runs) {
    if (!MakeNames(folder.toStdString()))
        return 1;
    QTemporaryDir settings;
    TMainForm form;
    form.SetSettingsFolder(settings.path().toStdString() + "/");
    form.show();
    QApplication::processEvents();
    if (!Open(form, folder))
        return 1;
    Control<QTabWidget>(form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Replace));
    Control<QCheckBox>(form, "chkRegExp")->setChecked(true);
    Control<QLineEdit>(form, "edsource")->setText(QStringLiteral("(a+)+$"));
    Control<QLineEdit>(form, "edTarget")->setText(QStringLiteral("X"));
    auto* hint = Control<QLabel>(form, "StatusPanel2");
    auto* livePreview = Control<QAction>(form, "mmiLivePreview");
    const std::string count = std::to_string(kNames);
    std::vector<double> command, live;
    for (int run = 0; run <= runs; ++run) {
        hint->clear();
        const double seconds = TimeSeconds([&] {
            Handle(form, "ActPreviewExecute");
            QApplication::processEvents();
        });
        const double liveSeconds = TimeSeconds([&] {
            livePreview->setChecked(true);
            Handle(form, "LivePreviewTimerTimer");
            QApplication::processEvents();
        });
        livePreview->setChecked(false);
        if (hint->text() != QStringLiteral("The pattern gave up on %1 names.").arg(kNames))
            return 1;
        if (run > 0) {
            command.push_back(seconds);
            live.push_back(liveSeconds);
        }
    }
    PrintTimeRow("Preview of " + count + " names with a runaway pattern ((a+)+$), hint shown",
                 Median(command), kBudgetSeconds);
    PrintTimeRow("  the same as a live preview", Median(live), kBudgetSeconds);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s DIR RUNS\n", argv[0]);
        return 2;
    }
    return Run(args[1], std::max(1, args[2].toInt()));
}
