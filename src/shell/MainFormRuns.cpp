// Apply, undo, the run log window and the run history.
#include "history/HistoryStore.h"
#include "history/RunJournal.h"
#include "platform/Paths.h"
#include "platform/PrivateFile.h"
#include "runs/AttributeRun.h"
#include "runs/RenameRun.h"
#include "runs/RunLog.h"
#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/TFrmLog.h"
#include "shell/TMainForm.h"
#include "shell/TRunHistoryForm.h"
#include "widgets/FileListModel.h"
#include "widgets/RunProgressBar.h"

#include <QAction>
#include <QFile>
#include <QStatusBar>
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
template <typename Command> void ShowingErrors(QWidget* parent, Command command) {
    try {
        command();
    } catch (const std::exception& error) {
        ShowGeneralError(parent, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowGeneralError(parent, QStringLiteral("Unknown error."));
    }
}

} // namespace

// "Log.txt" lies beside "Options.ini"; tests that move the settings elsewhere
// move the log with them.
std::string TMainForm::LogFilePath() const {
    return RunLogFilePath(m_settingsFolder);
}

// The progress bar lies over the fourth status panel while the run goes and
// goes away on every path out, exceptions included.
RunResult TMainForm::RunOverList(const RowsRun& run) {
    FileRows& rows = ListModel->Rows();
    RunResult result;
    {
        StatusBar->repaint();
        RunProgressBar progress(StatusBar, ProgressPanelRect(), rows.size());
        try {
            result = run(rows, progress.Callback());
        } catch (...) {
            ListModel->NotifyRowsChanged();
            throw;
        }
    }
    // With automatic arrangement on, the arranger re-sorts once the changed
    // names are reported; the run itself never sees the rows move.
    ListModel->NotifyRowsChanged();
    return result;
}

void TMainForm::ActRenameExecute() {
    m_state.Applied = true;
    // The run's marks replace the names the conflicts were about.
    ListModel->ClearConflictNotes();
    RunFileSystem& fileSystem = WindowRunFileSystem();
    ShowingErrors(this, [&] {
        if (ActivePage() == RulePage::Attributes && !Mp3PanelVisible()) {
            const AttributeRunSettings settings = Pages->ReadAttributeRunSettings();
            const RunResult result = RunOverList([&](FileRows& rows, const RunProgress& p) {
                return ChangeAttributes(rows, settings, fileSystem, p);
            });
            FinishRun(this, LogFilePath(), RunKind::Attributes, result);
            ActRefreshTreeExecute();
            return;
        }
        RunFolderLister lister(fileSystem);
        const StepPlan plan = PlanSteps(ListModel->Rows(), lister);
        std::optional<std::int64_t> run;
        if (!JournalRun(plan, run)) {
            m_state.Applied = false; // nothing was renamed: the preview can still be applied
            return;
        }
        m_lastRun = run;
        const RunResult result = RunOverList([&](FileRows& rows, const RunProgress& p) {
            return RenameWithJournal(rows, plan, fileSystem, m_history.get(), run, p);
        });
        FinishRun(this, LogFilePath(), RunKind::Rename, result);
        ListModel->SetHeaderCaption(FileListModel::ColOriginalName, "New Name");
        ListModel->SetHeaderCaption(FileListModel::ColNewName, "Original Name");
    });
}

void TMainForm::ActRenameUpdate() {
    const bool previewPending = m_state.Previewed && !m_state.Applied;
    const bool attributesReady =
        !Mp3PanelVisible() && ActivePage() == RulePage::Attributes && ListModel->RowCount() > 0;
    ActRename->setEnabled(previewPending || attributesReady);
}

void TMainForm::ActUndoExecute() {
    RunFileSystem& fileSystem = WindowRunFileSystem();
    ShowingErrors(this, [&] {
        // A journalled run is given back from its record, whatever the list's order now.
        if (m_lastRun && m_history) {
            const std::int64_t run = *m_lastRun;
            m_lastRun.reset();
            if (!UndoHistoryRun(run))
                return;
            ActRefreshTreeExecute();
            ListModel->ResetHeaderCaptions();
            return;
        }
        const RunResult result = RunOverList(
            [&](FileRows& rows, const RunProgress& p) { return UndoRenames(rows, fileSystem, p); });
        FinishRun(this, LogFilePath(), RunKind::Undo, result);
        ActRefreshTreeExecute();
        ListModel->ResetHeaderCaptions();
    });
}

void TMainForm::ActUndoUpdate() {
    ActUndo->setEnabled(m_state.Applied &&
                        (Mp3PanelVisible() || ActivePage() != RulePage::Attributes));
}

bool TMainForm::JournalRun(const StepPlan& plan, std::optional<std::int64_t>& run) {
    // A history deleted or replaced since it was opened is opened anew: a run
    // recorded in a file nobody will read again could never be given back.
    if (m_history && !m_history->StillAtItsPath())
        m_history.reset();
    // A window that was never shown has not opened it yet; one that could not
    // open it tries again, the folder may be writable by now.
    OpenHistory();
    std::string reason = m_historyError;
    if (m_history) {
        run = m_history->BeginRun(HistoryRunKind::Rename, SelectedFolder(), std::time(nullptr),
                                  StepsToRecord(plan, ListModel->Rows()));
        if (run)
            return true;
        reason = m_history->LastError();
    }
    const QString text =
        QStringLiteral("The run history cannot be written (%1).\rRename without a record?")
            .arg(QString::fromLocal8Bit(reason.c_str()));
    return ShowMessage(this, MsgType::Confirmation, MsgButtons::YesNo, text, MsgAnswer::No) ==
           MsgAnswer::Yes;
}

void TMainForm::OpenHistory() {
    if (m_history)
        return;
    HistoryStore::OpenReport report;
    m_history = HistoryStore::Open(HistoryFilePath(m_settingsFolder), report, std::time(nullptr));
    m_historyError = report.error;
    if (!report.setAsidePath.empty()) {
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The run history could not be read. It was set aside as "
                                   "\"%1\" and a new one was started.")
                        .arg(Decoded(report.setAsidePath)));
    }
}

namespace {

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

void TMainForm::OfferRecovery() {
    if (!m_history)
        return;
    const std::optional<HistoryRun> run = m_history->UnfinishedRun();
    if (!run)
        return;
    const UnfinishedRunOnDisk judged = JudgeUnfinishedRun(*m_history, *run, WindowRunFileSystem());
    if (judged.damaged) {
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The last run did not finish, and its record in the run "
                                   "history is damaged: it cannot be given back."));
        KeepUnfinishedRun(*m_history, judged);
        return;
    }
    // Its end never reached the history, but every file is where it was
    // going; or nothing of it happened: there is nothing to ask.
    if (EndRunFinishedOnDisk(*m_history, judged))
        return;
    if (judged.done == 0 && run->kind == HistoryRunKind::Rename) {
        KeepUnfinishedRun(*m_history, judged);
        return;
    }
    if (ShowMessage(this, MsgType::Confirmation, MsgButtons::YesNo, RecoveryQuestion(judged)) ==
        MsgAnswer::Yes) {
        // An undo is carried on as the same run; a rename run is given back.
        const bool finishUndo = run->kind == HistoryRunKind::Undo;
        ShowingErrors(this, [&] {
            if (UndoHistoryRun(run->id, finishUndo))
                ActRefreshTreeExecute();
        });
    } else if (!KeepUnfinishedRun(*m_history, judged)) {
        // A history that cannot be written cannot keep the answer either.
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The run history cannot be written (%1).\rThe question will "
                                   "be asked again at the next start.")
                        .arg(QString::fromLocal8Bit(m_history->LastError().c_str())));
    }
}

bool TMainForm::UndoHistoryRun(std::int64_t run, bool finishUndo) {
    RunFileSystem& fileSystem = WindowRunFileSystem();
    UndoOfRun undo;
    RunOverList([&](FileRows& rows, const RunProgress& p) {
        undo = finishUndo ? FinishUndoRun(*m_history, run, fileSystem, p)
                          : UndoRecordedRun(*m_history, run, fileSystem, std::time(nullptr), p);
        MarkRowsUndone(rows, undo.steps);
        return undo.result;
    });
    if (undo.damaged) {
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The record of this run in the run history is damaged: "
                                   "nothing was given back."));
        return false;
    }
    FinishRun(this, LogFilePath(), RunKind::Undo, undo.result);
    return true;
}

void TMainForm::mmiRunHistoryClick() {
    TRunHistoryForm form(
        m_history.get(),
        [this](std::int64_t run) {
            ShowingErrors(this, [&] {
                if (m_lastRun == run)
                    m_lastRun.reset();
                if (UndoHistoryRun(run))
                    ActRefreshTreeExecute();
            });
        },
        this);
    form.exec();
}

void TMainForm::mmiLogClick() {
    // A link or another user's file in the log's place is not our log.
    const std::string path = LogFilePath();
    if (FileExists(path) && OwnFileTroubleAt(path) == OwnFileTrouble::None)
        TFrmLog::ShowLogFile(this, Decoded(path));
}

} // namespace quorvane
