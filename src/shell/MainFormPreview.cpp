// Preview in the window: the pages (or the MP3 panel) give the settings, the
// core computes the names, the window shows them.
#include "shell/TMainForm.h"

#include "mp3/Mp3NameFormatter.h"
#include "planner/RenamePlan.h"
#include "rules/Preview.h"
#include "runs/RenameRun.h"
#include "shell/MessageBoxes.h"
#include "shell/Mp3PanelControls.h"
#include "shell/RulePages.h"
#include "shell/ScanController.h"
#include "widgets/FileListModel.h"

#include <QAction>
#include <QLabel>

namespace quorvane {

void TMainForm::ActPreviewExecute() {
    if (Mp3PanelVisible()) {
        if (!Id3Reader)
            Id3Reader = std::make_unique<TID3v1>();
        const Mp3PreviewResult result =
            PreviewMp3Names(ListModel->Rows(), Mp3Controls->ReadMp3Settings(), *Id3Reader);
        m_state.Previewed = result.previewed;
        ListModel->NotifyRowsChanged();
    } else {
        m_state.Previewed = true;
        const PreviewResult result =
            PreviewFileRows(ListModel->Rows(), Pages->ReadPreviewSettings());
        ListModel->NotifyRowsChanged();
        Pages->ApplyRefills(result);
        if (result.listEmpty) {
            ShowMessage(this, MsgType::Warning, MsgButtons::Yes, "There is no files in File list!");
            return;
        }
    }
    ShowSelectedFiles();
    ShowConflicts();
    ScheduleUpdateActions();
}

// The plan Apply would carry out, shown before it runs: each conflict on its
// row, their count in the fifth panel.
void TMainForm::ShowConflicts() {
    RunFolderLister lister(WindowRunFileSystem());
    const FileRowsPlan planned = PlanFileRows(ListModel->Rows(), lister);
    std::vector<std::string> texts;
    texts.reserve(planned.plan.rows.size());
    for (const RowVerdict& verdict : planned.plan.rows)
        texts.push_back(ConflictText(verdict));
    ListModel->SetConflictNotes(planned.listRow, texts);
    StatusPanel4->setText(
        QStringLiteral("Conflicts : %1").arg(static_cast<qulonglong>(planned.plan.conflicts)));
}

void TMainForm::ActPreviewUpdate() {
    ActPreview->setEnabled(ListModel->RowCount() > 0 && m_scan->SearchCount() == 0 &&
                           !m_state.Applied &&
                           (Mp3PanelVisible() || ActivePage() != RulePage::Attributes));
}

} // namespace quorvane
