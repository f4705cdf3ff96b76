// Ordering, selecting and deleting rows of the file list.
#include "filelist/RowOrder.h"
#include "filelist/Selection.h"
#include "shell/MessageBoxes.h"
#include "shell/TMainForm.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"

#include <QAction>
#include <QFile>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string_view>

namespace quorvane {
namespace {

const char* const kAutoArrangerName = "AutoArranger";

// Runs a change after which the view's selection is rebuilt from the rows'
// flags. Qt compares an old and a new selection range by range, which takes
// minutes for tens of thousands of scattered rows (an inverted selection);
// emptying the view's selection first, quietly, keeps the rebuild linear. The
// flags are the truth meanwhile, so nothing needs to hear about the emptying.
void RebuildViewSelection(FileListView& view, const std::function<void()>& change) {
    QItemSelectionModel* selection = view.selectionModel();
    {
        const QSignalBlocker quiet(selection);
        selection->clearSelection();
        change();
    }
    view.viewport()->update();
}

// A sum over the first `count` names: it changes when one of them changes,
// not when they change places.
std::uint64_t NamesFingerprint(const FileRows& rows, std::size_t count) {
    std::uint64_t sum = count;
    const std::hash<std::string_view> hash;
    for (std::size_t i = 0; i < count; ++i)
        sum += hash(rows[i].originalName);
    return sum;
}

// Keeps the list ordered by the window's sort state while automatic
// arrangement is on: after each batch of rows the scan adds, and whenever an
// "Original Name" changes. It works at the next turn of the event loop, so a
// burst of batches costs one pass, and never while someone is still walking
// the rows it was told about.
class AutoArranger : public QObject {
public:
    AutoArranger(QObject* owner, FileListView& view, std::function<SortState()> sortState)
        : QObject(owner), m_view(view), m_model(*view.FileModel()),
          m_sortState(std::move(sortState)) {
        setObjectName(kAutoArrangerName);
        connect(&m_model, &QAbstractItemModel::rowsInserted, this, [this] { Schedule(); });
        connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
            m_orderedRows = 0;
            Schedule();
        });
        connect(&m_model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& topLeft) {
                    if (topLeft.column() == FileListModel::ColOriginalName)
                        Schedule();
                });
    }

private:
    void Schedule() {
        if (m_arranging || m_scheduled)
            return;
        m_scheduled = true;
        QTimer::singleShot(0, this, [this] { Arrange(); });
    }

    void Arrange() {
        m_scheduled = false;
        const FileRows& rows = m_model.Rows();
        const SortState state = m_sortState();
        // Rows only ever come at the end; the ones the last pass ordered stay
        // in order unless the sort state or one of their names changed.
        if (m_orderedRows > rows.size() || state != m_state ||
            NamesFingerprint(rows, m_orderedRows) != m_names)
            m_orderedRows = 0;
        if (state.column == kColumnAttribute)
            m_model.MergeStoredAttributes(m_orderedRows);
        if (m_orderedRows < rows.size() && !IsSorted(rows, state.column, state.ascending)) {
            m_arranging = true;
            RebuildViewSelection(m_view, [&] {
                m_model.ReorderRows([&](FileRows& all) {
                    SortAppendedRows(all, m_orderedRows, state.column, state.ascending);
                });
            });
            m_arranging = false;
        }
        m_orderedRows = rows.size();
        m_names = NamesFingerprint(rows, rows.size());
        m_state = state;
    }

    FileListView& m_view;
    FileListModel& m_model;
    std::function<SortState()> m_sortState;
    bool m_scheduled = false;
    bool m_arranging = false;
    // What the last pass left in order.
    std::size_t m_orderedRows = 0;
    std::uint64_t m_names = 0;
    SortState m_state;
};

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
        RebuildViewSelection(*ListView, [&] {
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
    if (!findChild<QObject*>(kAutoArrangerName, Qt::FindDirectChildrenOnly))
        new AutoArranger(this, *ListView, [this] { return CurrentSortState(); });
    SortList();
    ByCaptionClick();
}

void TMainForm::ChangeSelection(void (*change)(FileRows&)) {
    RebuildViewSelection(*ListView, [&] { ListModel->ChangeSelection(change); });
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
