#include "widgets/FileListModel.h"

#include "platform/DirectorySearch.h"

#include <QFile>
#include <QItemSelection>
#include <QItemSelectionModel>

namespace quorvane {

namespace {

const char* const kDefaultCaptions[FileListModel::ColumnCount] = {
    "Original Name", "New Name", "Type", "Attribute", "Size", "Modified", "Path"};

const int kDefaultWidths[FileListModel::ColumnCount] = {120, 120, 50, 80, 80, 120, 50};

// Names are bytes as the file system gives them; they are decoded for display only.
QString Decode(const std::string& bytes) {
    return QFile::decodeName(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace

int FileListModel::DefaultWidth(int column) {
    return column >= 0 && column < ColumnCount ? kDefaultWidths[column] : 0;
}

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {
    ResetHeaderCaptions();
}

void FileListModel::AppendRows(FileRows&& rows) {
    if (rows.empty())
        return;
    const int first = RowCount();
    const int last = first + static_cast<int>(rows.size()) - 1;
    std::size_t newlySelected = 0;
    beginInsertRows(QModelIndex(), first, last);
    // No reserve to the exact new size here: that would reallocate and move
    // the whole list on every batch of a scan. push_back grows geometrically.
    for (FileRow& row : rows) {
        newlySelected += row.selected ? 1 : 0;
        m_rows.push_back(std::move(row));
    }
    endInsertRows();
    rows.clear();
    if (newlySelected) {
        m_selectedCount += newlySelected;
        SyncSelectionToView();
        emit SelectedCountChanged(static_cast<int>(m_selectedCount));
    }
}

void FileListModel::Clear() {
    beginResetModel();
    FileRows().swap(m_rows);
    endResetModel();
    if (m_selectedCount) {
        m_selectedCount = 0;
        emit SelectedCountChanged(0);
    }
}

void FileListModel::NotifyRowsChanged() {
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(RowCount() - 1, ColumnCount - 1));
    SyncSelectionToView();
}

void FileListModel::NotifyRowsReordered() {
    // A reset drops the view's selection without signals; the flags moved with
    // their rows, so they are pushed back afterwards.
    beginResetModel();
    endResetModel();
    SyncSelectionToView();
}

void FileListModel::SetHeaderCaption(int column, const QString& text) {
    if (column < 0 || column >= ColumnCount || m_captions[column] == text)
        return;
    m_captions[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void FileListModel::ResetHeaderCaptions() {
    for (int column = 0; column < ColumnCount; ++column)
        SetHeaderCaption(column, QString::fromLatin1(kDefaultCaptions[column]));
}

void FileListModel::AttachSelectionModel(QItemSelectionModel* selection) {
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
    m_selection = selection;
    if (!selection)
        return;
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &FileListModel::OnSelectionChanged);
    SyncSelectionToView();
}

void FileListModel::OnSelectionChanged(const QItemSelection& selected,
                                       const QItemSelection& deselected) {
    if (m_pushingSelection)
        return;
    const std::size_t before = m_selectedCount;
    // Flags only count when they really flip, so overlapping ranges do no harm.
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom() && row < RowCount(); ++row) {
            FileRow& fileRow = m_rows[static_cast<std::size_t>(row)];
            if (fileRow.selected && !m_selection->isRowSelected(row)) {
                fileRow.selected = false;
                --m_selectedCount;
            }
        }
    }
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom() && row < RowCount(); ++row) {
            FileRow& fileRow = m_rows[static_cast<std::size_t>(row)];
            if (!fileRow.selected) {
                fileRow.selected = true;
                ++m_selectedCount;
            }
        }
    }
    if (before != m_selectedCount)
        emit SelectedCountChanged(static_cast<int>(m_selectedCount));
}

void FileListModel::SyncSelectionToView() {
    const std::size_t before = m_selectedCount;
    RecountSelected();
    if (m_selection) {
        // One selection of contiguous runs, handed over in one call.
        QItemSelection selection;
        const int count = RowCount();
        for (int row = 0; row < count;) {
            if (!m_rows[static_cast<std::size_t>(row)].selected) {
                ++row;
                continue;
            }
            const int top = row;
            while (row < count && m_rows[static_cast<std::size_t>(row)].selected)
                ++row;
            selection.append(QItemSelectionRange(index(top, 0), index(row - 1, ColumnCount - 1)));
        }
        m_pushingSelection = true;
        m_selection->select(selection, QItemSelectionModel::ClearAndSelect);
        m_pushingSelection = false;
    }
    if (before != m_selectedCount)
        emit SelectedCountChanged(static_cast<int>(m_selectedCount));
}

void FileListModel::SyncSelectionFromView() {
    if (!m_selection)
        return;
    const std::size_t before = m_selectedCount;
    for (FileRow& row : m_rows)
        row.selected = false;
    for (const QItemSelectionRange& range : m_selection->selection())
        for (int row = range.top(); row <= range.bottom() && row < RowCount(); ++row)
            m_rows[static_cast<std::size_t>(row)].selected = true;
    RecountSelected();
    if (before != m_selectedCount)
        emit SelectedCountChanged(static_cast<int>(m_selectedCount));
}

void FileListModel::RecountSelected() {
    std::size_t count = 0;
    for (const FileRow& row : m_rows)
        count += row.selected ? 1 : 0;
    m_selectedCount = count;
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString FileListModel::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount())
        return {};
    const FileRow& fileRow = m_rows[static_cast<std::size_t>(row)];
    switch (column) {
    case ColOriginalName:
        return Decode(fileRow.originalName);
    case ColNewName:
        return Decode(fileRow.newName);
    case ColType:
        return Decode(TypeText(fileRow));
    case ColAttribute:
        // The scan reads one stat per file and leaves the bits a Samba share
        // stores (read-only, hidden, system, archive) unread; they are fetched here,
        // for the few rows that are drawn.
        return QString::fromLatin1(
            AttributeText(fileRow.attributes | ReadStoredAttributes(fileRow.FullPath())).c_str());
    case ColSize:
        return QString::fromLatin1(SizeText(fileRow.sizeBytes).c_str());
    case ColModified:
        return QString::fromLatin1(ModifiedText(fileRow.modifiedUtc).c_str());
    case ColPath:
        return Decode(fileRow.Path());
    default:
        return {};
    }
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return CellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal = index.column() == ColSize ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_captions[section];
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal = section == ColSize ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace quorvane
