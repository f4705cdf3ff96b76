// Apply, undo and the run log window.
#include "platform/Paths.h"
#include "runs/AttributeRun.h"
#include "runs/RenameRun.h"
#include "runs/RunLog.h"
#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/TFrmLog.h"
#include "shell/TMainForm.h"
#include "widgets/FileListModel.h"
#include "widgets/RunProgressBar.h"

#include <QAction>
#include <QFile>
#include <QStatusBar>
#include <cstring>
#include <exception>

namespace quorvane {
namespace {

enum class RunEnd {
    Finished,      // log written, summary shown
    EndedEarly,    // a row without a folder stopped the loop: no log, no summary
    LogNotWritten, // "Log.txt" could not be written: the general error box was shown
};

std::string LogPath(const TMainForm& form) {
    return RunLogFilePath(form.SettingsFolder);
}

QString Decoded(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

void ShowGeneralError(QWidget* parent, const QString& text) {
    ShowMessage(parent, MsgType::Error, MsgButtons::Ok, text);
}

// The end every run shares: "Log.txt", then one summary box whose OK opens the log.
RunEnd FinishRun(TMainForm* parent, RunKind kind, const RunResult& result) {
    if (result.endedEarly)
        return RunEnd::EndedEarly;
    const std::string logPath = LogPath(*parent);
    const int error = WriteRunLog(logPath, result.log);
    if (error != 0) {
        ShowGeneralError(parent,
                         QStringLiteral("Cannot create file \"%1\". %2")
                             .arg(Decoded(logPath), QString::fromLocal8Bit(std::strerror(error))));
        return RunEnd::LogNotWritten;
    }
    const QString text = QString::fromStdString(RunSummaryText(kind, result));
    if (result.AllWell()) {
        ShowMessage(parent, MsgType::Information, MsgButtons::Ok, text);
    } else if (ShowMessage(parent, MsgType::Warning, MsgButtons::OkCancel, text) == MsgAnswer::Ok) {
        TFrmLog::ShowLogFile(parent, Decoded(logPath));
    }
    return RunEnd::Finished;
}

// Runs one of the core runs over the list with the progress bar laid over the
// fourth status panel; the bar goes away on every path out, exceptions included.
template <typename Run> RunResult RunOverList(TMainForm& form, Run&& run) {
    FileRows& rows = form.ListModel->Rows();
    RunResult result;
    {
        form.StatusBar->repaint();
        RunProgressBar progress(form.StatusBar, form.ProgressPanelRect(), rows.size());
        try {
            result = run(rows, progress.Callback());
        } catch (...) {
            form.ListModel->NotifyRowsChanged();
            throw;
        }
    }
    // With automatic arrangement on, the arranger re-sorts once the changed
    // names are reported; the run itself never sees the rows move.
    form.ListModel->NotifyRowsChanged();
    return result;
}

} // namespace

void TMainForm::ActRenameExecute() {
    Applied = true;
    RunFileSystem& fileSystem = WindowRunFileSystem();
    try {
        if (ActivePage() == RulePage::Attributes && !Mp3PanelVisible() && Pages) {
            const AttributeRunSettings settings = Pages->ReadAttributeRunSettings();
            const RunResult result = RunOverList(*this, [&](FileRows& rows, const RunProgress& p) {
                return ChangeAttributes(rows, settings, fileSystem, p);
            });
            if (FinishRun(this, RunKind::Attributes, result) != RunEnd::LogNotWritten)
                ActRefreshTreeExecute();
            return;
        }
        const RunResult result = RunOverList(*this, [&](FileRows& rows, const RunProgress& p) {
            return RenameFiles(rows, fileSystem, p);
        });
        if (FinishRun(this, RunKind::Rename, result) != RunEnd::LogNotWritten) {
            ListModel->SetHeaderCaption(FileListModel::ColOriginalName, "New Name");
            ListModel->SetHeaderCaption(FileListModel::ColNewName, "Original Name");
        }
    } catch (const std::exception& error) {
        ShowGeneralError(this, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowGeneralError(this, QStringLiteral("Unknown error."));
    }
}

void TMainForm::ActRenameUpdate() {
    const bool previewPending = Previewed && !Applied;
    const bool attributesReady = !Mp3PanelVisible() && ActivePage() == RulePage::Attributes &&
                                 ListModel && ListModel->RowCount() > 0;
    ActRename->setEnabled(previewPending || attributesReady);
}

void TMainForm::ActUndoExecute() {
    RunFileSystem& fileSystem = WindowRunFileSystem();
    try {
        const RunResult result = RunOverList(*this, [&](FileRows& rows, const RunProgress& p) {
            return UndoRenames(rows, fileSystem, p);
        });
        if (FinishRun(this, RunKind::Undo, result) == RunEnd::LogNotWritten)
            return;
        ActRefreshTreeExecute();
        ListModel->ResetHeaderCaptions();
    } catch (const std::exception& error) {
        ShowGeneralError(this, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowGeneralError(this, QStringLiteral("Unknown error."));
    }
}

void TMainForm::ActUndoUpdate() {
    ActUndo->setEnabled(Applied && (Mp3PanelVisible() || ActivePage() != RulePage::Attributes));
}

void TMainForm::mmiLogClick() {
    const std::string path = LogPath(*this);
    if (FileExists(path))
        TFrmLog::ShowLogFile(this, Decoded(path));
}

} // namespace quorvane
