// Preview in the window.
#include "shell/TMainForm.h"

#include "widgets/FileListModel.h"

#include <QAction>

namespace quorvane {

void TMainForm::ActPreviewExecute() {}

void TMainForm::ActPreviewUpdate() {
    ActPreview->setEnabled(ListModel->RowCount() > 0 && SearchCount == 0 && !Applied &&
                           (Mp3PanelVisible() || ActivePage() != 4));
}

} // namespace quorvane
