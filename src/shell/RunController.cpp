#include "shell/RunController.h"

#include "history/HistoryStore.h"
#include "history/RunJournal.h"
#include "platform/Paths.h"
#include "runs/RenameRun.h"
#include "runs/RunLog.h"
#include "shell/MessageBoxes.h"
#include "shell/TFrmLog.h"
#include "shell/TRunHistoryForm.h"
#include "widgets/FileListModel.h"

#include <QFile>
#include <cstring>
#include <ctime>
#include <exception>

namespace quorvane {
namespace {

QString Decoded(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

void ShowGeneralError(QWidget* parent, const QString& text) {
    ShowMessage(parent, MsgType::Error, MsgButtons::Ok, text);
}

// The end every run shares: "Log.txt", then one summary box whose OK opens the
// log. A log that cannot be written adds a line to the summary instead of
// hiding it: the run's failures must still be told, and OK shows them from
// memory.
void FinishRun(QWidget* parent, const std::string& logPath, RunKind kind, const RunResult& result) {
    // A row without a folder stopped the loop: no log, no summary.
    if (result.endedEarly)
        return;
    const int error = WriteRunLog(logPath, result.log);
    QString text = QString::fromStdString(RunSummaryText(kind, result));
    if (error != 0) {
        text += QStringLiteral("\rCannot create file \"%1\". %2")
                    .arg(Decoded(logPath), QString::fromLocal8Bit(std::strerror(error)));
    }
    if (result.AllWell()) {
        ShowMessage(parent, MsgType::Information, MsgButtons::Ok, text);
    } else if (ShowMessage(parent, MsgType::Warning, MsgButtons::OkCancel, text) == MsgAnswer::Ok) {
        if (error == 0) {
            TFrmLog::ShowLogFile(parent, Decoded(logPath));
        } else {
            QByteArray lines;
            for (const std::string& line : result.log)
                lines.append(line.data(), static_cast<qsizetype>(line.size())).append("\r\n");
            TFrmLog::ShowLogText(parent, lines);
        }
    }
}

// A failure outside the rows' own (out of memory, say) ends the command with
// the general error box.
template <typename Command> RunController::RunEnd ShowingErrors(QWidget* parent, Command command) {
    try {
        return command();
    } catch (const std::exception& error) {
        ShowGeneralError(parent, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowGeneralError(parent, QStringLiteral("Unknown error."));
    }
    return RunController::RunEnd::Failed;
}

QString RecoveryQuestion(const UnfinishedRunOnDisk& judged) {
    const QString text =
        judged.run.kind == HistoryRunKind::Undo
            ? QStringLiteral("The last undo did not finish: %1 of %2 files were given back.\r"
                             "Give back the rest?")
            : QStringLiteral("The last run did not finish: %1 of %2 files were renamed.\r"
                             "Undo the renamed files?");
    return text.arg(judged.done).arg(judged.files);
}

} // namespace

RunController::RunController(QWidget* window, FileListModel& list, ShowProgress showProgress)
    : QObject(window), m_window(window), m_list(list), m_showProgress(std::move(showProgress)) {
    setObjectName("RunController");
}

RunController::~RunController() = default;

void RunController::SetFolder(std::string folder) {
    m_folder = std::move(folder);
}

// "Log.txt" lies beside "Options.ini"; tests that move the settings elsewhere
// move the log with them.
std::string RunController::LogFilePath() const {
    return RunLogFilePath(m_folder);
}

RunResult RunController::RunOverList(const RowsRun& run) {
    RunResult result;
    // With automatic arrangement on, the arranger re-sorts once the changed
    // names are reported; the run itself never sees the rows move.
    m_list.ChangeRows([&](FileRows& rows) {
        m_showProgress(rows.size(),
                       [&](const RunProgress& progress) { result = run(rows, progress); });
    });
    return result;
}

RunController::RunEnd RunController::Rename(const std::string& folder) {
    RunFileSystem& fileSystem = WindowRunFileSystem();
    return ShowingErrors(m_window, [&] {
        RunFolderLister lister(fileSystem);
        const StepPlan plan = PlanSteps(m_list.Rows(), lister);
        std::optional<std::int64_t> run;
        if (!JournalRun(plan, folder, run))
            return RunEnd::Declined;
        m_lastRun = run;
        const RunResult result = RunOverList([&](FileRows& rows, const RunProgress& p) {
            return RenameWithJournal(rows, plan, fileSystem, m_history.get(), run, p);
        });
        FinishRun(m_window, LogFilePath(), RunKind::Rename, result);
        return RunEnd::Done;
    });
}

RunController::RunEnd RunController::ChangeAttributes(const AttributeRunSettings& settings) {
    RunFileSystem& fileSystem = WindowRunFileSystem();
    return ShowingErrors(m_window, [&] {
        const RunResult result = RunOverList([&](FileRows& rows, const RunProgress& p) {
            return quorvane::ChangeAttributes(rows, settings, fileSystem, p);
        });
        FinishRun(m_window, LogFilePath(), RunKind::Attributes, result);
        return RunEnd::Done;
    });
}

RunController::RunEnd RunController::Undo() {
    RunFileSystem& fileSystem = WindowRunFileSystem();
    return ShowingErrors(m_window, [&] {
        // A journalled run is given back from its record, whatever the list's order now.
        if (m_lastRun && m_history) {
            const std::int64_t run = *m_lastRun;
            m_lastRun.reset();
            return UndoHistoryRun(run);
        }
        const RunResult result = RunOverList(
            [&](FileRows& rows, const RunProgress& p) { return UndoRenames(rows, fileSystem, p); });
        FinishRun(m_window, LogFilePath(), RunKind::Undo, result);
        return RunEnd::Done;
    });
}

bool RunController::JournalRun(const StepPlan& plan, const std::string& folder,
                               std::optional<std::int64_t>& run) {
    // A history deleted or replaced since it was opened is opened anew: a run
    // recorded in a file nobody will read again could never be given back.
    if (m_history && !m_history->StillAtItsPath())
        m_history.reset();
    // A window that was never shown has not opened it yet; one that could not
    // open it tries again, the folder may be writable by now.
    OpenHistory();
    std::string reason = m_historyError;
    if (m_history) {
        run = m_history->BeginRun(HistoryRunKind::Rename, folder, std::time(nullptr),
                                  StepsToRecord(plan, m_list.Rows()));
        if (run)
            return true;
        reason = m_history->LastError();
    }
    const QString text =
        QStringLiteral("The run history cannot be written (%1).\rRename without a record?")
            .arg(QString::fromLocal8Bit(reason.c_str()));
    return ShowMessage(m_window, MsgType::Confirmation, MsgButtons::YesNo, text, MsgAnswer::No) ==
           MsgAnswer::Yes;
}

void RunController::OpenExistingHistory() {
    // Without a history there is nothing to recover; the first rename run makes it.
    if (FileExists(HistoryFilePath(m_folder)))
        OpenHistory();
}

void RunController::OpenHistory() {
    if (m_history)
        return;
    HistoryStore::OpenReport report;
    m_history = HistoryStore::Open(HistoryFilePath(m_folder), report, std::time(nullptr));
    m_historyError = report.error;
    if (!report.setAsidePath.empty()) {
        ShowMessage(m_window, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The run history could not be read. It was set aside as "
                                   "\"%1\" and a new one was started.")
                        .arg(Decoded(report.setAsidePath)));
    }
}

RunController::RunEnd RunController::OfferRecovery() {
    if (!m_history)
        return RunEnd::Declined;
    const std::optional<HistoryRun> run = m_history->UnfinishedRun();
    if (!run)
        return RunEnd::Declined;
    const UnfinishedRunOnDisk judged = JudgeUnfinishedRun(*m_history, *run, WindowRunFileSystem());
    if (judged.damaged) {
        ShowMessage(m_window, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The last run did not finish, and its record in the run "
                                   "history is damaged: it cannot be given back."));
        KeepUnfinishedRun(*m_history, judged);
        return RunEnd::Failed;
    }
    // Its end never reached the history, but every file is where it was
    // going; or nothing of it happened: there is nothing to ask.
    if (EndRunFinishedOnDisk(*m_history, judged))
        return RunEnd::Declined;
    if (judged.done == 0 && run->kind == HistoryRunKind::Rename) {
        KeepUnfinishedRun(*m_history, judged);
        return RunEnd::Declined;
    }
    if (ShowMessage(m_window, MsgType::Confirmation, MsgButtons::YesNo, RecoveryQuestion(judged)) ==
        MsgAnswer::Yes) {
        // An undo is carried on as the same run; a rename run is given back.
        const bool finishUndo = run->kind == HistoryRunKind::Undo;
        return ShowingErrors(m_window, [&] { return UndoHistoryRun(run->id, finishUndo); });
    }
    if (!KeepUnfinishedRun(*m_history, judged)) {
        // A history that cannot be written cannot keep the answer either.
        ShowMessage(m_window, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The run history cannot be written (%1).\rThe question will "
                                   "be asked again at the next start.")
                        .arg(QString::fromLocal8Bit(m_history->LastError().c_str())));
    }
    return RunEnd::Declined;
}

// Gives a recorded run back (or, with `finishUndo`, carries on an undo run),
// with the undo summary and "Log.txt"; the listed rows it names lose their
// marks. Failed when its record is damaged.
RunController::RunEnd RunController::UndoHistoryRun(std::int64_t run, bool finishUndo) {
    RunFileSystem& fileSystem = WindowRunFileSystem();
    UndoOfRun undo;
    RunOverList([&](FileRows& rows, const RunProgress& p) {
        undo = finishUndo ? FinishUndoRun(*m_history, run, fileSystem, p)
                          : UndoRecordedRun(*m_history, run, fileSystem, std::time(nullptr), p);
        MarkRowsUndone(rows, undo.steps);
        return undo.result;
    });
    if (undo.damaged) {
        ShowMessage(m_window, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The record of this run in the run history is damaged: "
                                   "nothing was given back."));
        return RunEnd::Failed;
    }
    FinishRun(m_window, LogFilePath(), RunKind::Undo, undo.result);
    return RunEnd::Done;
}

void RunController::ShowHistory() {
    TRunHistoryForm form(
        m_history.get(),
        [this](std::int64_t run) {
            const RunEnd end = ShowingErrors(m_window, [&] {
                if (m_lastRun == run)
                    m_lastRun.reset();
                return UndoHistoryRun(run);
            });
            if (end == RunEnd::Done)
                Q_EMIT HistoryRunUndone();
        },
        m_window);
    form.exec();
}

} // namespace quorvane
