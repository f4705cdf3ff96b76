// The folder scan as the window drives it: the tree, the path and filter
// boxes, Refresh, and the rows arriving from the worker.
#include "shell/TMainForm.h"

#include "platform/Paths.h"
#include "shell/ScanController.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace quorvane {

namespace {

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

std::string Bytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

} // namespace

std::string TMainForm::SelectedFolder() const {
    return ShellTree->SelectedPath();
}

void TMainForm::ActRefreshExecute() {
    m_state.Previewed = false;
    m_state.Applied = false;
    ScanRequest request{SelectedFolder(), Bytes(cbFilter->currentText()),
                        TbIncludeSub->isChecked()};
    request.includeFolders = TbIncludeFolders->isChecked();

    ListView->setUpdatesEnabled(false);
    ListModel->Clear();
    StatusPanel4->clear();
    if (m_givenFiles.Active()) {
        RereadGivenFiles();
    } else if (!request.folder.empty()) {
        cbFavorite->setEditText(QFile::decodeName(QByteArray::fromStdString(request.folder)));
        // A refused start runs nothing and leaves nothing to wait for.
        m_scan->Start(request);
    } else {
        cbFavorite->setEditText(QString());
    }
    ListView->setUpdatesEnabled(true);

    ShowTotalFiles();
    ShowSelectedFiles();
    ListModel->ResetHeaderCaptions();
    ScheduleUpdateActions();
}

void TMainForm::AddFileItems(FileRows&& rows) {
    // With automatic arrangement on, the arranger orders the new rows when
    // the model reports them.
    ListModel->AppendRows(std::move(rows));
    ShowTotalFiles();
}

// The scan has ended and its progress window is closed.
void TMainForm::SearchDone() {
    ShowTotalFiles();
    UpdateActions();
}

void TMainForm::ActRefreshTreeExecute() {
    const QScopedValueRollback<bool> refreshing(m_treeRefreshing, true);
    ShellTree->Refresh();
}

void TMainForm::ShellTreeChange() {
    // A folder chosen in the tree ends the listing of given files; the
    // tree's own re-reading chooses nothing.
    if (!m_treeRefreshing)
        m_givenFiles.Clear();
    ExecuteAction(ActRefresh);
}

void TMainForm::cbFavoriteKeyUp(int key) {
    if (!IsEnterKey(key))
        return;
    const QString path = cbFavorite->currentText();
    if (path.isEmpty() || !DirectoryExists(Bytes(path)))
        return;
    m_givenFiles.Clear();
    ShellTree->SetPath(path);
    if (cbFavorite->findText(path, Qt::MatchFixedString) < 0) {
        // Adding the first item would replace the text; the box keeps what it
        // shows (the scan may have written the folder there already).
        const QString shown = cbFavorite->currentText();
        cbFavorite->addItem(path);
        cbFavorite->setEditText(shown);
    }
    ActRefreshTreeExecute();
}

void TMainForm::cbFilterKeyUp(int key) {
    if (!IsEnterKey(key))
        return;
    const QString filter = cbFilter->currentText();
    if (filter.isEmpty()) {
        cbFilter->setEditText("*.*");
    } else if (cbFilter->findText(filter, Qt::MatchFixedString) < 0) {
        cbFilter->addItem(filter);
        cbFilter->setEditText(filter);
    }
    ActRefreshTreeExecute();
}

} // namespace quorvane
