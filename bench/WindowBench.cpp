// Benchmarks through the main window, offscreen: the scan from Refresh to
// SearchDone with the longest stall of the user-interface thread, Preview,
// sorting, Apply and Undo as the window runs them, and the peak memory of a
// window that lists a large tree.
//
//   bench_window scan   DIR SUBFOLDERS(0|1) RUNS READDIR_EXE
//                       vs the single-thread readdir + fstatat loop and find -printf
//   bench_window busy   DIR RUNS READDIR_EXE
//                       the same scan while another process keeps one core busy
//   bench_window big    DIR RUNS READDIR_EXE
//                       a large tree with subfolders: scan vs find -printf, Preview, both sorts
//   bench_window ops    DIR RUNS LOOP_EXE          Preview, sort, Apply, Undo in the window
//   bench_window memory DIR                        max RSS after listing DIR with subfolders
//   bench_window live   DIR RUNS                   typing with "Live Preview" on: longest stall

#include "BenchSupport.h"
#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/ScanController.h"
#include "shell/TMainForm.h"
#include "widgets/FileListModel.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace quorvane;
using namespace quorvane::bench;

// Runs one of the window's handlers by its documented name, as its action
// or control would, past the availability check: the bench times the work.
void Handle(TMainForm& form, const char* handler) {
    QMetaObject::invokeMethod(&form, handler, Qt::DirectConnection);
}

// CPU time of the calling thread. Unlike wall time it does not grow while the
// thread waits for a core, so it tells our own blocking apart from a busy
// machine's scheduling delays.
qint64 ThreadCpuNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double ThreadCpuSeconds() {
    return static_cast<double>(ThreadCpuNanoseconds()) / 1e9;
}

// A 1 ms timer on the user-interface thread: the longest wall time between two
// of its ticks is the longest the window could not answer, the longest thread
// CPU time between them the longest it kept itself busy.
class TickGaps {
public:
    TickGaps() {
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        m_clock.start();
        m_lastCpu = ThreadCpuNanoseconds();
        m_ticker.start();
    }
    void Stop() { m_ticker.stop(); }
    // Counts the time since the last tick as one more gap.
    void Tick() {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpu = ThreadCpuNanoseconds();
        m_longestGap = std::max(m_longestGap, now - m_lastTick);
        m_longestBusy = std::max(m_longestBusy, cpu - m_lastCpu);
        m_lastTick = now;
        m_lastCpu = cpu;
    }
    QTimer& Ticker() { return m_ticker; }
    qint64 ElapsedNanoseconds() const { return m_clock.nsecsElapsed(); }
    double LongestStallMs() const { return static_cast<double>(m_longestGap) / 1e6; }
    double LongestBusyMs() const { return static_cast<double>(m_longestBusy) / 1e6; }

private:
    QTimer m_ticker;
    QElapsedTimer m_clock;
    qint64 m_lastTick = 0;
    qint64 m_lastCpu = 0;
    qint64 m_longestGap = 0;
    qint64 m_longestBusy = 0;
};

// One offscreen window whose settings go to a temporary folder.
class Window {
public:
    Window() {
        m_form.SetSettingsFolder(m_settings.path().toStdString() + "/");
        m_form.show();
        QApplication::processEvents();
        m_scan = Control<ScanController>("ScanController");
    }
    TMainForm& Form() { return m_form; }
    // A control by its documented name.
    template <typename T> T* Control(const char* name) {
        return m_form.findChild<T*>(QString::fromLatin1(name));
    }

    // Points the tree at the folder; the tree's change starts the first scan.
    bool Open(const QString& folder, bool includeSubfolders) {
        Control<QCheckBox>("TbIncludeSub")->setChecked(includeSubfolders);
        if (!Control<FolderTree>("ShellTree")->SetPath(folder))
            return false;
        WaitForScan();
        return true;
    }

    // Waits until a running scan has delivered SearchDone.
    void WaitForScan() {
        if (m_scan->SearchCount() == 0)
            return;
        QEventLoop loop;
        QObject::connect(m_scan, &ScanController::SearchDone, &loop, &QEventLoop::quit);
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        if (m_scan->SearchCount() != 0)
            loop.exec();
    }

    struct ScanTiming {
        double seconds = -1.0;
        double longestStallMs = 0.0; // wall time between two ticks
        double longestBusyMs = 0.0;  // CPU time the thread spent between two ticks
        double uiCpuSeconds = 0.0;   // CPU time of the user-interface thread
        int rows = 0;
    };

    // Refresh to SearchDone, with a 1 ms timer on the user-interface thread:
    // the longest gap between its ticks is the longest the window could not
    // answer.
    ScanTiming TimedRefresh() {
        ScanTiming timing;
        TickGaps gaps;
        QEventLoop loop;
        QObject::connect(m_scan, &ScanController::SearchDone, &loop, [&] {
            timing.seconds = static_cast<double>(gaps.ElapsedNanoseconds()) / 1e9;
            loop.quit();
        });
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        const double cpuBefore = ThreadCpuSeconds();
        gaps.Start();
        Handle(m_form, "ActRefreshExecute");
        if (m_scan->SearchCount() != 0)
            loop.exec();
        gaps.Stop();
        timing.uiCpuSeconds = ThreadCpuSeconds() - cpuBefore;
        gaps.Tick();
        timing.longestStallMs = gaps.LongestStallMs();
        timing.longestBusyMs = gaps.LongestBusyMs();
        timing.rows = Control<FileListModel>("ListModel")->RowCount();
        return timing;
    }

private:
    QTemporaryDir m_settings;
    TMainForm m_form;
    ScanController* m_scan = nullptr;
};

// Seconds of one window command, including the repaint it causes.
template <typename Command> double WindowSeconds(Command&& command) {
    return TimeSeconds([&] {
        command();
        QApplication::processEvents();
    });
}

template <typename Command> double MedianAfterWarmUp(int runs, Command&& command) {
    std::vector<double> times;
    for (int run = 0; run <= runs; ++run) {
        const double seconds = command();
        if (run > 0)
            times.push_back(seconds);
    }
    return Median(times);
}

std::vector<std::string> FindCommand(const QString& folder) {
    return {"find", folder.toStdString(), "-type", "f", "-printf", "%s %T@ %m\n"};
}

// The single-thread C loop prints the seconds of its own walk, without the
// start of its process.
double ReaddirLoopSeconds(const std::string& loop, const QString& folder) {
    std::string output;
    if (loop.empty() || RunCommand({loop, folder.toStdString()}, {}, {}, &output) < 0)
        return -1.0;
    return std::atof(output.c_str());
}

struct ScanFigures {
    std::vector<double> ours, loop, find, uiCpu;
    double worstStall = 0.0;
    double worstBusy = 0.0;
    int rows = 0;
};

// A warm-up and then `runs` rounds, each with the references first, on the
// same tree and in the same cache state.
ScanFigures TimeScans(Window& window, const QString& folder, int runs, const std::string& loop) {
    ScanFigures figures;
    for (int run = 0; run <= runs; ++run) {
        const double loopSeconds = ReaddirLoopSeconds(loop, folder);
        const double findSeconds = RunCommand(FindCommand(folder));
        const Window::ScanTiming timing = window.TimedRefresh();
        if (run == 0)
            continue; // warm-up
        figures.loop.push_back(loopSeconds);
        figures.find.push_back(findSeconds);
        figures.ours.push_back(timing.seconds);
        figures.uiCpu.push_back(timing.uiCpuSeconds);
        figures.worstStall = std::max(figures.worstStall, timing.longestStallMs);
        figures.worstBusy = std::max(figures.worstBusy, timing.longestBusyMs);
        figures.rows = timing.rows;
    }
    return figures;
}

void PrintStallRows(const ScanFigures& figures) {
    PrintInfoRow("  CPU time of the UI thread during the scan", Median(figures.uiCpu), "-", -1.0);
    char stall[32], busy[32];
    std::snprintf(stall, sizeof stall, "%.1f ms", figures.worstStall);
    std::snprintf(busy, sizeof busy, "%.1f ms", figures.worstBusy);
    PrintRow("  longest UI stall (wall time between 1 ms ticks)", stall, "-", "-", "-", "< 50 ms",
             figures.worstStall < 50.0 ? "met" : "MISSED");
    PrintRow("  longest UI busy spell (thread CPU time between ticks)", busy, "-", "-", "-",
             "< 50 ms", figures.worstBusy < 50.0 ? "met" : "MISSED");
}

// Another program that keeps a core busy for as long as this object lives.
// It runs in a session of its own, as a program started elsewhere would: the
// scheduler then shares the cores between the two sessions first, so the
// window's threads together get about the one core that is left.
class BusyCore {
public:
    BusyCore() : m_pid(::fork()) {
        if (m_pid == 0) {
            ::setsid();
            volatile unsigned long spins = 0;
            for (;;) {
                const unsigned long next = spins + 1;
                spins = next;
            }
        }
    }
    ~BusyCore() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    BusyCore(const BusyCore&) = delete;
    BusyCore& operator=(const BusyCore&) = delete;

private:
    pid_t m_pid;
};

// The flat folder's scan with one core taken: the C loop needs one core and
// has it, the walk's threads share what is left with the window's.
int ScanBesideBusyCore(const QString& folder, int runs, const std::string& loop) {
    Window window;
    if (!window.Open(folder, false))
        return 1;
    const BusyCore busy;
    const ScanFigures figures = TimeScans(window, folder, runs, loop);
    PrintRatioRow("Scan " + std::to_string(figures.rows) +
                      " files into the window beside a busy core (flat folder)",
                  Median(figures.ours), "readdir+fstatat loop (C, 1 thread)", Median(figures.loop),
                  1.0, 2.0);
    PrintStallRows(figures);
    return 0;
}

int Scan(const QString& folder, bool includeSubfolders, int runs, const std::string& loop) {
    Window window;
    if (!window.Open(folder, includeSubfolders))
        return 1;
    const ScanFigures figures = TimeScans(window, folder, runs, loop);
    const std::string what = includeSubfolders ? "tree, Include Subfolders" : "flat folder";
    PrintRatioRow("Scan " + std::to_string(figures.rows) + " files into the window (" + what + ")",
                  Median(figures.ours), "readdir+fstatat loop (C, 1 thread)", Median(figures.loop),
                  1.0, 2.0);
    PrintInfoRow("  the same scan against find -printf", Median(figures.ours), "find -printf",
                 Median(figures.find));
    PrintStallRows(figures);
    return 0;
}

// The insert page with "x_" at position 1: the same renames the core rows
// measure.
void ChooseInsert(Window& window) {
    window.Control<QTabWidget>("pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Insert));
    window.Control<QLineEdit>("meSource")->setText("x_");
    window.Control<QSpinBox>("meindex")->setValue(1);
}

// Preview from the command until the count of conflicts shows: the new names
// come at once, the conflicts from the plan made beside the window.
double PreviewWithConflictsSeconds(Window& window) {
    auto* panel = window.Control<QLabel>("StatusPanel4");
    panel->clear();
    QElapsedTimer clock;
    clock.start();
    Handle(window.Form(), "ActPreviewExecute");
    QApplication::processEvents();
    if (panel->text().isEmpty()) {
        QEventLoop loop;
        QTimer poll;
        poll.setTimerType(Qt::PreciseTimer);
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!panel->text().isEmpty())
                loop.quit();
        });
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        poll.start();
        loop.exec();
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// Preview with the insert page, then a sort by two columns; a header click
// on the same column again reverses it. Returns the seconds of Preview until
// its conflicts show.
double PrintPreviewAndSortRows(Window& window, const std::string& count, int runs,
                               double previewLimit, double sortLimit) {
    TMainForm& form = window.Form();
    ChooseInsert(window);
    PrintTimeRow(
        "Preview " + count + " rows in the window (insert)",
        MedianAfterWarmUp(
            runs, [&] { return WindowSeconds([&] { Handle(form, "ActPreviewExecute"); }); }),
        previewLimit);
    const double withConflicts =
        MedianAfterWarmUp(runs, [&] { return PreviewWithConflictsSeconds(window); });
    PrintTimeRow("  until its conflicts show (planned beside the window)", withConflicts,
                 previewLimit);
    for (const auto& [column, caption] : {std::pair{0, "Original Name"}, std::pair{4, "Size"}}) {
        PrintTimeRow("Sort " + count + " rows by \"" + caption + "\" (header click)",
                     MedianAfterWarmUp(runs,
                                       [&] {
                                           return WindowSeconds([&] {
                                               QMetaObject::invokeMethod(
                                                   &form, "ListViewColumnClick",
                                                   Qt::DirectConnection, Q_ARG(int, column));
                                           });
                                       }),
                     sortLimit);
    }
    return withConflicts;
}

// A large tree listed with "Include Subfolders": the scan, then Preview and
// both sorts over all its rows, as the window runs them.
int Big(const QString& folder, int runs, const std::string& loop) {
    Window window;
    if (!window.Open(folder, true))
        return 1;
    const ScanFigures figures = TimeScans(window, folder, runs, loop);
    const std::string count = std::to_string(figures.rows);
    PrintRatioRow("Scan " + count + " files into the window (Include Subfolders)",
                  Median(figures.ours), "find -printf", Median(figures.find), 1.0, 2.0);
    PrintInfoRow("  the same scan against the readdir+fstatat loop", Median(figures.ours),
                 "readdir+fstatat loop (C, 1 thread)", Median(figures.loop));
    PrintStallRows(figures);

    const double preview = PrintPreviewAndSortRows(window, count, runs, 0.3, 1.5);
    PrintRatioRow("  Preview until its conflicts show, against the scan of the same tree", preview,
                  "scan into the window", Median(figures.ours), 0.5, 1.0);
    return 0;
}

double LoopSeconds(const std::string& loop, const QString& folder, const char* direction) {
    std::string output;
    QString bare = folder;
    while (bare.size() > 1 && bare.endsWith('/'))
        bare.chop(1);
    if (RunCommand({loop, bare.toStdString(), "x_", direction}, {}, {}, &output) < 0)
        return -1.0;
    return std::atof(output.c_str());
}

int Operations(const QString& folder, int runs, const std::string& loop) {
    Window window;
    if (!window.Open(folder, false))
        return 1;
    TMainForm& form = window.Form();
    const std::string count =
        std::to_string(window.Control<FileListModel>("ListModel")->RowCount());
    SetMessageHook([](const MessageRequest&) { return MsgAnswer::Ok; });

    PrintPreviewAndSortRows(window, count, runs, 0.2, 0.3);

    std::vector<double> apply, undo, loopAdd, loopRemove;
    for (int run = 0; run <= runs; ++run) {
        QMetaObject::invokeMethod(&form, "ListViewColumnClick", Qt::DirectConnection,
                                  Q_ARG(int, 0)); // any order will do; the scan's order is gone
        Handle(form, "ActPreviewExecute");
        const double applySeconds = WindowSeconds([&] { Handle(form, "ActRenameExecute"); });
        const double undoSeconds = TimeSeconds([&] { Handle(form, "ActUndoExecute"); });
        window.WaitForScan(); // Undo rescans the folder
        const double add = LoopSeconds(loop, folder, "add");
        const double remove = LoopSeconds(loop, folder, "remove");
        if (run == 0)
            continue;
        apply.push_back(applySeconds);
        undo.push_back(undoSeconds);
        loopAdd.push_back(add);
        loopRemove.push_back(remove);
    }
    PrintRatioRow("Apply " + count + " renames in the window (progress bar, summary)",
                  Median(apply), "renameat2 loop (C)", Median(loopAdd), 1.2, 1.5);
    PrintRatioRow("Undo " + count + " renames in the window (its rescan not counted)", Median(undo),
                  "renameat2 loop (C)", Median(loopRemove), 1.2, 1.5);
    SetMessageHook({});
    return 0;
}

std::string Megabytes(double megabytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MB", megabytes);
    return text;
}

// Peak memory of a window that lists a large tree, and then of its Preview,
// the plan of the conflicts included.
int Memory(const QString& folder) {
    Window window;
    auto megabytes = [] { return PeakRssMiB() * 1024.0 * 1024.0 / 1e6; };
    const double before = megabytes();
    if (!window.Open(folder, true))
        return 1;
    const int rows = window.Control<FileListModel>("ListModel")->RowCount();
    QApplication::processEvents();
    const double listed = megabytes();
    PrintRow("Peak memory above the empty window, " + std::to_string(rows) +
                 " files listed in the window",
             Megabytes(listed - before), "window before the scan", Megabytes(before), "-",
             "< 150 MB", listed - before < 150.0 ? "met" : "MISSED");
    char perRow[48];
    std::snprintf(perRow, sizeof perRow, "%zu B + its name", sizeof(FileRow));
    PrintRow("  of which each row", perRow, "-", "-", "-", "-", "-");
    ChooseInsert(window);
    PreviewWithConflictsSeconds(window);
    const double previewed = megabytes();
    PrintRow("Peak memory of Preview of " + std::to_string(rows) +
                 " rows (insert), plan included, above the listed window",
             Megabytes(previewed - listed), "window with the list", Megabytes(listed), "-",
             "< 150 MB", previewed - listed < 150.0 ? "met" : "MISSED");
    PrintRow("  the listed and previewed window above the empty window",
             Megabytes(previewed - before), "-", "-", "-", "-", "-");
    return 0;
}

// Keys typed into the insert box with "Live Preview" on, one every 30 ms:
// each restarts the wait, and the preview of every row runs once typing
// pauses. A 1 ms timer on the user-interface thread measures the longest
// stall from the first key until the list shows the typed text.
struct LiveTiming {
    double longestStallMs = 0.0; // wall time between two ticks
    double longestBusyMs = 0.0;  // thread CPU time between two ticks
};

LiveTiming TypeWithLivePreview(Window& window, const QString& typed) {
    auto* box = window.Control<QLineEdit>("meSource");
    const FileRows& rows = window.Control<FileListModel>("ListModel")->Rows();
    const std::string expected = typed.toStdString() + rows.front().originalName;
    int keys = 0;
    QEventLoop loop;
    TickGaps gaps;
    QObject::connect(&gaps.Ticker(), &QTimer::timeout, &loop, [&] {
        if (keys == typed.size() && rows.front().newName == expected)
            loop.quit();
    });
    QTimer typist;
    typist.setInterval(30);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        if (keys == typed.size())
            return typist.stop();
        const QString text = typed.mid(keys++, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    gaps.Start();
    typist.start();
    loop.exec();
    return {gaps.LongestStallMs(), gaps.LongestBusyMs()};
}

int Live(const QString& folder, int runs) {
    Window window;
    if (!window.Open(folder, false))
        return 1;
    const std::string count =
        std::to_string(window.Control<FileListModel>("ListModel")->RowCount());
    window.Control<QAction>("mmiLivePreview")->setChecked(true);
    window.Control<QTabWidget>("pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Insert));
    window.Control<QSpinBox>("meindex")->setValue(1);
    auto* box = window.Control<QLineEdit>("meSource");
    double worstStall = 0.0, worstBusy = 0.0;
    for (int run = 0; run <= runs; ++run) {
        // Each run types a text of its own, so its end is seen in the list.
        box->setText(QString());
        const LiveTiming timing = TypeWithLivePreview(window, QStringLiteral("r%1_new_").arg(run));
        if (run == 0)
            continue;
        worstStall = std::max(worstStall, timing.longestStallMs);
        worstBusy = std::max(worstBusy, timing.longestBusyMs);
    }
    TMainForm& form = window.Form();
    PrintInfoRow(
        "One live preview of " + count + " rows (insert)",
        MedianAfterWarmUp(
            runs, [&] { return WindowSeconds([&] { Handle(form, "LivePreviewTimerTimer"); }); }),
        "-", -1.0);
    char stall[32], busy[32];
    std::snprintf(stall, sizeof stall, "%.1f ms", worstStall);
    std::snprintf(busy, sizeof busy, "%.1f ms", worstBusy);
    PrintRow("Live preview while typing, " + count +
                 " rows: longest UI stall (wall time between 1 ms ticks)",
             stall, "-", "-", "-", "< 50 ms", worstStall < 50.0 ? "met" : "MISSED");
    PrintRow("  longest UI busy spell (thread CPU time between ticks)", busy, "-", "-", "-",
             "< 50 ms", worstBusy < 50.0 ? "met" : "MISSED");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s scan|ops|memory DIR ...\n", argv[0]);
        return 2;
    }
    const QString command = args[1];
    const QString folder = args[2];
    if (command == "scan" && args.size() > 5)
        return Scan(folder, args[3] == "1", std::max(1, args[4].toInt()), args[5].toStdString());
    if (command == "busy" && args.size() > 4)
        return ScanBesideBusyCore(folder, std::max(1, args[3].toInt()), args[4].toStdString());
    if (command == "big" && args.size() > 4)
        return Big(folder, std::max(1, args[3].toInt()), args[4].toStdString());
    if (command == "ops" && args.size() > 4)
        return Operations(folder, std::max(1, args[3].toInt()), args[4].toStdString());
    if (command == "memory")
        return Memory(folder);
    if (command == "live" && args.size() > 3)
        return Live(folder, std::max(1, args[3].toInt()));
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
