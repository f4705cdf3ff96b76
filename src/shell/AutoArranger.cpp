#include "shell/AutoArranger.h"

#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"

#include <QTimer>

#include <string_view>

namespace quorvane {
namespace {

// A sum over the first `count` names: it changes when one of them changes,
// not when they change places.
std::uint64_t NamesFingerprint(const FileRows& rows, std::size_t count) {
    std::uint64_t sum = count;
    const std::hash<std::string_view> hash;
    for (std::size_t i = 0; i < count; ++i)
        sum += hash(rows[i].originalName);
    return sum;
}

} // namespace

AutoArranger::AutoArranger(QObject* owner, FileListView& view, std::function<SortState()> sortState)
    : QObject(owner), m_view(view), m_model(*view.FileModel()), m_sortState(std::move(sortState)) {
    setObjectName("AutoArranger");
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, [this] { Schedule(); });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_orderedRows = 0;
        Schedule();
    });
    connect(&m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& topLeft) {
        if (topLeft.column() == FileListModel::ColOriginalName)
            Schedule();
    });
}

void AutoArranger::Schedule() {
    if (m_arranging || m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] { Arrange(); });
}

void AutoArranger::Arrange() {
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
        m_view.RebuildSelection([&] {
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

} // namespace quorvane
