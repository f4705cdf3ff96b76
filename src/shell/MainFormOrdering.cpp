// Ordering, selecting and deleting rows of the file list.
#include "filelist/RowOrder.h"
#include "filelist/Selection.h"
#include "shell/AutoArranger.h"
#include "shell/MessageBoxes.h"
#include "shell/TMainForm.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"

#include <QAction>
#include <QFile>

namespace quorvane {
namespace {

// "Files can not be moved to the Trash : N", then the first ten of them, then
// how many more, one line each.
QString FilesLeftText(const std::vector<std::string>& kept) {
    constexpr std::size_t kNamed = 10;
    QString text = QStringLiteral("Files can not be moved to the Trash : %1")
                       .arg(static_cast<qulonglong>(kept.size()));
    for (std::size_t i = 0; i < kept.size() && i < kNamed; ++i)
        text += QChar('\r') + QFile::decodeName(QByteArray::fromStdString(kept[i]));
    if (kept.size() > kNamed)
        text += QStringLiteral("\rand %1 more").arg(static_cast<qulonglong>(kept.size() - kNamed));
    return text;
}

} // namespace

SortState TMainForm::CurrentSortState() const {
    return SortState{m_state.SortColumn, m_state.SortAscending};
}

void TMainForm::SetSortState(SortState state) {
    m_state.SortColumn = state.column;
    m_state.SortAscending = state.ascending;
}

// A list already in the sort state's order is left alone, so the view keeps
// its place.
void TMainForm::SortList() {
    const SortState state = CurrentSortState();
    if (state.column == kColumnAttribute)
        ListModel->MergeStoredAttributes();
    if (!IsSorted(ListModel->Rows(), state.column, state.ascending)) {
        ListView->RebuildSelection([&] {
            ListModel->ReorderRows(
                [&](FileRows& rows) { SortRows(rows, state.column, state.ascending); });
        });
    }
    ListView->SetSortMark(state.column, state.ascending);
}

void TMainForm::ListViewColumnClick(int column) {
    SetSortState(AfterColumnClick(CurrentSortState(), column));
    SortList();
}

void TMainForm::Arrange(int column) {
    SetSortState(AfterArrange(CurrentSortState(), column));
    SortList();
}

void TMainForm::ByAllClick() {
    m_state.AutoArrange = true;
    if (!findChild<AutoArranger*>(QString(), Qt::FindDirectChildrenOnly))
        new AutoArranger(this, *ListView, [this] { return CurrentSortState(); });
    SortList();
    ByCaptionClick();
}

void TMainForm::ChangeSelection(void (*change)(FileRows&)) {
    ListView->RebuildSelection([&] { ListModel->ChangeSelection(change); });
    ShowSelectedFiles();
}

void TMainForm::ActDeleteExecute() {
    if (ListModel->SelectedCount() == 0)
        return;
    if (ShowMessage(this, MsgType::Confirmation, MsgButtons::YesNo,
                    QStringLiteral("Are you sure to delete selected file(s)?")) != MsgAnswer::Yes)
        return;
    // A file that cannot go to the trash stays where it is, and stays listed
    // after the rescan; the box says which ones, as the desktop would.
    const std::vector<std::string> kept = m_moveFilesToTrash(SelectedPaths(ListModel->Rows()));
    if (!kept.empty())
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok, FilesLeftText(kept));
    ActRefreshTreeExecute();
}

void TMainForm::ListViewKeyUp(int key) {
    // Any modifiers may be held with the key.
    if (key == Qt::Key_Delete)
        ExecuteAction(ActDelete);
}

void TMainForm::ListViewMouseUp() {
    ShowTotalFiles();
    ShowSelectedFiles();
}

void TMainForm::ListViewClick() {
    if (ListModel->SelectedCount() == 0)
        ShowSelectedFiles();
}

} // namespace quorvane
