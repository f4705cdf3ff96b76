// Names by hand and files given by name: the "New Name" cell edited in
// place, "Edit New Names...", the files of the command line and those
// dropped on the list. A name typed by hand goes through the same plan,
// conflict check, journal and Undo as a rule's.
#include "shell/TMainForm.h"

#include "shell/ScanController.h"
#include "shell/TEditNamesForm.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>

#include <utility>

namespace quorvane {

namespace {

std::string Bytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

} // namespace

void TMainForm::SetStartPaths(std::vector<std::string> paths) {
    m_startPaths = std::move(paths);
}

void TMainForm::WireNamesByHand() {
    connect(ListModel, &FileListModel::NewNamesEdited, this, &TMainForm::NewNamesEdited);
    connect(ActEditNames, &QAction::triggered, this, &TMainForm::ActEditNamesExecute);
    connect(ListView, &FileListView::FilesDropped, this, &TMainForm::AddGivenPaths);
}

void TMainForm::NewNamesEdited() {
    m_state.Previewed = true;
    ShowConflictsLater();
    ScheduleUpdateActions();
}

void TMainForm::ActEditNamesExecute() {
    const FileRows& rows = std::as_const(*ListModel).Rows();
    const bool noneSelected = ListModel->SelectedCount() == 0;
    std::vector<std::size_t> listRows;
    std::vector<TEditNamesForm::Row> named;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (noneSelected || rows[i].selected) {
            listRows.push_back(i);
            named.push_back({rows[i].originalName, rows[i].newName});
        }
    }
    TEditNamesForm form(std::move(named), this);
    form.resize(m_editNamesSize);
    const bool given = form.exec() == QDialog::Accepted;
    m_editNamesSize = form.size();
    if (given)
        ListModel->SetNewNames(listRows, form.NewNames());
}

void TMainForm::AddGivenPaths(const std::vector<std::string>& paths) {
    // Rows are never added under a running scan or a run's marks.
    if (m_scan->SearchCount() != 0 || m_state.Applied)
        return;
    const ScanRequest like{{}, Bytes(cbFilter->currentText()), TbIncludeSub->isChecked()};
    if (!m_givenFiles.Active()) {
        // The folder listed so far stays listed, as if it had been given too.
        const std::string folder = SelectedFolder();
        if (!folder.empty() && ListModel->RowCount() > 0)
            m_givenFiles.AddListedFolder(folder);
    }
    FileRows added = m_givenFiles.Add(paths, like, ListModel->Rows());
    ListModel->AppendRows(std::move(added));
    cbFavorite->setEditText(
        QFile::decodeName(QByteArray::fromStdString(SharedFolder(ListModel->Rows()))));
    ShowTotalFiles();
    ShowSelectedFiles();
    ScheduleUpdateActions();
}

void TMainForm::RereadGivenFiles() {
    const ScanRequest like{{}, Bytes(cbFilter->currentText()), TbIncludeSub->isChecked()};
    ListModel->AppendRows(m_givenFiles.Reread(like));
    cbFavorite->setEditText(
        QFile::decodeName(QByteArray::fromStdString(SharedFolder(ListModel->Rows()))));
}

} // namespace quorvane
