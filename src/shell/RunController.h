#pragma once
// The runs over the file list and their history, beside the window: Apply (a
// rename or an attribute run), Undo, the recovery of a run a crash cut short,
// and the undo of any recorded run. It owns "History.sqlite" for the window's
// life, asks its questions through the message boxes, leaves "Log.txt" and the
// summary box at the end of every run, and lets the window show the progress.
// The window decides what the list shows afterwards.

#include "runs/AttributeRun.h"
#include "runs/RunResult.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace quorvane {

class FileListModel;
class HistoryStore;
struct StepPlan;

class RunController : public QObject {
    Q_OBJECT
public:
    // Runs `run`, showing the progress of a run over `rows` rows meanwhile;
    // `run` reports to the callback it is handed.
    using ShowProgress =
        std::function<void(std::size_t rows, const std::function<void(const RunProgress&)>& run)>;

    // `window` is the parent of every box and window it shows; the runs work
    // on the rows of `list`.
    RunController(QWidget* window, FileListModel& list, ShowProgress showProgress);
    ~RunController() override;

    // The folder of "Options.ini", beside which "History.sqlite" and
    // "Log.txt" lie.
    void SetFolder(std::string folder);
    std::string LogFilePath() const;

    // How a run the user asked for ended.
    enum class RunEnd {
        Done,     // it ran; its summary has been shown
        Declined, // the user said No before anything was touched
        Failed,   // it could not run or went wrong beyond the rows' own failures
    };

    // Opens the history at start when there is one; a damaged one is set
    // aside and told once.
    void OpenExistingHistory();
    // An unfinished run in the history is offered for undo, an unfinished
    // undo to be finished. Done: files were given back.
    RunEnd OfferRecovery();
    // Renames the listed rows by their new names, journalled first; `folder`
    // is the folder the run is recorded under.
    RunEnd Rename(const std::string& folder);
    RunEnd ChangeAttributes(const AttributeRunSettings& settings);
    // Gives the last rename run back, from its record when it has one.
    RunEnd Undo();
    // "Run History": the recorded runs, each of which can be given back.
    void ShowHistory();

Q_SIGNALS:
    // Files were given back from the run history's window; their folder is
    // worth listing again.
    void HistoryRunUndone();

private:
    using RowsRun = std::function<RunResult(FileRows&, const RunProgress&)>;
    RunResult RunOverList(const RowsRun& run);
    void OpenHistory();
    bool JournalRun(const StepPlan& plan, const std::string& folder,
                    std::optional<std::int64_t>& run);
    RunEnd UndoHistoryRun(std::int64_t run, bool finishUndo = false);

    QWidget* m_window;
    FileListModel& m_list;
    ShowProgress m_showProgress;
    std::string m_folder;
    std::unique_ptr<HistoryStore> m_history; // none when it cannot be opened
    std::string m_historyError;              // why there is none
    std::optional<std::int64_t> m_lastRun;   // the journalled run Undo gives back
};

} // namespace quorvane
