// Apply, undo, the run log window and the run history as the window offers
// them; the runs themselves are the run controller's.
#include "platform/Paths.h"
#include "platform/PrivateFile.h"
#include "shell/RulePages.h"
#include "shell/RunController.h"
#include "shell/TFrmLog.h"
#include "shell/TMainForm.h"
#include "widgets/FileListModel.h"
#include "widgets/RunProgressBar.h"

#include <QFile>
#include <QStatusBar>

namespace quorvane {

// The progress bar lies over the fourth status panel while the run goes and
// goes away on every path out, exceptions included.
void TMainForm::ShowRunProgress(std::size_t rows,
                                const std::function<void(const RunProgress&)>& run) {
    StatusBar->repaint();
    RunProgressBar progress(StatusBar, ProgressPanelRect(), rows);
    run(progress.Callback());
}

void TMainForm::ActRenameExecute() {
    m_state.Applied = true;
    // The run's marks replace the names the conflicts were about.
    ListModel->ClearConflictNotes();
    if (ActivePage() == RulePage::Attributes && !Mp3PanelVisible()) {
        if (m_runs->ChangeAttributes(Pages->ReadAttributeRunSettings()) ==
            RunController::RunEnd::Done)
            ActRefreshTreeExecute();
        return;
    }
    switch (m_runs->Rename(SelectedFolder())) {
    case RunController::RunEnd::Declined:
        m_state.Applied = false; // nothing was renamed: the preview can still be applied
        break;
    case RunController::RunEnd::Done:
        ListModel->SetHeaderCaption(FileListModel::ColOriginalName, "New Name");
        ListModel->SetHeaderCaption(FileListModel::ColNewName, "Original Name");
        break;
    case RunController::RunEnd::Failed:
        break;
    }
}

void TMainForm::ActUndoExecute() {
    if (m_runs->Undo() != RunController::RunEnd::Done)
        return;
    ActRefreshTreeExecute();
    ListModel->ResetHeaderCaptions();
}

void TMainForm::mmiRunHistoryClick() {
    m_runs->ShowHistory();
}

void TMainForm::mmiLogClick() {
    // A link or another user's file in the log's place is not our log.
    const std::string path = m_runs->LogFilePath();
    if (FileExists(path) && OwnFileTroubleAt(path) == OwnFileTrouble::None)
        TFrmLog::ShowLogFile(this, QFile::decodeName(QByteArray::fromStdString(path)));
}

} // namespace quorvane
