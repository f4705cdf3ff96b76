// Preview in the window: the pages (or the MP3 panel) give the settings, the
// core computes the names, the window shows them.
#include "shell/TMainForm.h"

#include "mp3/Mp3NameFormatter.h"
#include "rules/Preview.h"
#include "shell/MessageBoxes.h"
#include "shell/Mp3PanelControls.h"
#include "shell/RulePages.h"
#include "shell/ScanController.h"
#include "widgets/FileListModel.h"

#include <QAction>

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
    ScheduleUpdateActions();
}

void TMainForm::ActPreviewUpdate() {
    ActPreview->setEnabled(ListModel->RowCount() > 0 && m_scan->SearchCount() == 0 &&
                           !m_state.Applied &&
                           (Mp3PanelVisible() || ActivePage() != RulePage::Attributes));
}

} // namespace quorvane
