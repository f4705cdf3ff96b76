#include "widgets/FileListModel.h"

#include "filelist/StoredAttributes.h"
#include "rules/NameLines.h"

#include <QApplication>
#include <QFile>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QPalette>
#include <QStyle>
#include <algorithm>
#include <system_error>

namespace quorvane {

namespace {

constexpr std::size_t kRoomForRows = std::size_t{1} << 20;
constexpr std::size_t kRowsFreedAside = 20000;

const char* const kDefaultCaptions[FileListModel::ColumnCount] = {
    "Original Name", "New Name", "Type", "Attribute", "Size", "Modified", "Path"};

const int kDefaultWidths[FileListModel::ColumnCount] = {120, 120, 50, 80, 80, 120, 50};

// Names are bytes as the file system gives them; they are decoded for display only.
std::string ConflictKey(const FileRow& row) {
    std::string key = *row.folder;
    key.push_back('\0');
    key.append(row.originalName);
    return key;
}

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
    // Room for a million rows at once: it costs address space only, since
    // the pages are touched as rows arrive, and it spares the window moving
    // the whole list on each doubling while a scan runs (100 ms at half a
    // million rows). Beyond it the list grows geometrically; never to the
    // exact new size, which would move the whole list on every batch.
    if (m_rows.capacity() < kRoomForRows && m_rows.size() + rows.size() > m_rows.capacity())
        m_rows.reserve(kRoomForRows);
    beginInsertRows(QModelIndex(), first, last);
    for (FileRow& row : rows) {
        newlySelected += row.selected ? 1 : 0;
        m_rows.push_back(std::move(row));
    }
    endInsertRows();
    rows.clear();
    if (newlySelected) {
        m_selectedCount += newlySelected;
        SyncSelectionToView();
        Q_EMIT SelectedCountChanged(static_cast<int>(m_selectedCount));
    }
}

void FileListModel::Clear() {
    m_conflictNotes.clear();
    FileRows old;
    beginResetModel();
    old.swap(m_rows);
    endResetModel();
    // A million rows take tens of milliseconds to free, which the window
    // must not stand still for when a rescan starts.
    if (old.size() >= kRowsFreedAside) {
        if (m_disposer.joinable())
            m_disposer.join();
        try {
            m_disposer = std::jthread([rows = std::move(old)]() mutable { FileRows().swap(rows); });
        } catch (const std::system_error&) {
            // No thread to spare: `old` (if not moved) is freed here.
        }
    }
    if (m_selectedCount) {
        m_selectedCount = 0;
        Q_EMIT SelectedCountChanged(0);
    }
}

void FileListModel::NotifyRowsChanged() {
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(RowCount() - 1, ColumnCount - 1));
    SyncSelectionToView();
}

void FileListModel::ChangeRows(const std::function<void(FileRows&)>& change) {
    try {
        change(m_rows);
    } catch (...) {
        NotifyRowsChanged();
        throw;
    }
    NotifyRowsChanged();
}

void FileListModel::ReorderRows(const std::function<void(FileRows&)>& reorder) {
    // A reset drops the view's selection without signals; the flags moved with
    // their rows, so they are pushed back afterwards.
    beginResetModel();
    try {
        reorder(m_rows);
    } catch (...) {
        endResetModel();
        SyncSelectionToView();
        throw;
    }
    endResetModel();
    SyncSelectionToView();
}

void FileListModel::ChangeSelection(const std::function<void(FileRows&)>& change) {
    change(m_rows);
    SyncSelectionToView();
}

void FileListModel::SetNewName(std::size_t row, std::string name) {
    if (row >= m_rows.size())
        return;
    m_rows[row].newName = std::move(name);
    const int at = static_cast<int>(row);
    Q_EMIT dataChanged(index(at, ColNewName), index(at, ColNewName));
}

void FileListModel::MergeStoredAttributes(std::size_t first) {
    // The cells show the merged bits already (see WithStoredAttributes), so
    // nothing the views show changes and nobody needs telling.
    quorvane::MergeStoredAttributes(m_rows, first);
}

void FileListModel::SetHeaderCaption(int column, const QString& text) {
    if (column < 0 || column >= ColumnCount || m_captions[column] == text)
        return;
    m_captions[column] = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
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
        Q_EMIT SelectedCountChanged(static_cast<int>(m_selectedCount));
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
        Q_EMIT SelectedCountChanged(static_cast<int>(m_selectedCount));
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
        Q_EMIT SelectedCountChanged(static_cast<int>(m_selectedCount));
}

void FileListModel::RecountSelected() {
    std::size_t count = 0;
    for (const FileRow& row : m_rows)
        count += row.selected ? 1 : 0;
    m_selectedCount = count;
}

const FileRow& FileListModel::WithStoredAttributes(int row) const {
    // Drawing is a const business, yet what it reads is kept: the row is ours.
    FileRow& fileRow = const_cast<FileRow&>(m_rows[static_cast<std::size_t>(row)]);
    quorvane::MergeStoredAttributes(fileRow);
    return fileRow;
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
        // stores (read-only, hidden, system, archive) unread; they are fetched
        // for the few rows that are drawn, once each, and kept with the row.
        return QString::fromLatin1(AttributeText(WithStoredAttributes(row).attributes).c_str());
    case ColSize:
        if (fileRow.isFolder)
            return {}; // what a folder holds is not its size
        return QString::fromLatin1(SizeText(fileRow.sizeBytes).c_str());
    case ColModified:
        return QString::fromLatin1(ModifiedText(fileRow.modifiedUtc).c_str());
    case ColPath:
        return Decode(fileRow.Path());
    default:
        return {};
    }
}

// A conflict of the last Preview shows as a warning in "New Name" (icon,
// colour, tooltip, description); a new name that is the name itself is greyed.
QVariant FileListModel::NewNameLook(const FileRow& row, int role) const {
    const auto note = m_conflictNotes.empty() || !row.folder
                          ? m_conflictNotes.end()
                          : m_conflictNotes.find(ConflictKey(row));
    if (note != m_conflictNotes.end()) {
        const QString& text = note->second;
        switch (role) {
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:
            return text;
        case Qt::DecorationRole:
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        case Qt::ForegroundRole:
            return QColor(0xb0, 0x3a, 0x00);
        default:
            return {};
        }
    }
    if (role == Qt::ForegroundRole && !row.newName.empty() && row.newName == row.originalName)
        return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    return {};
}

void FileListModel::SetConflictNotes(const std::vector<std::size_t>& listRow,
                                     const std::vector<std::string>& texts) {
    ClearConflictNotes();
    for (std::size_t i = 0; i < listRow.size() && i < texts.size(); ++i) {
        if (texts[i].empty() || listRow[i] >= m_rows.size())
            continue;
        if (m_rows[listRow[i]].folder)
            m_conflictNotes[ConflictKey(m_rows[listRow[i]])] = Decode(texts[i]);
    }
    NotifyRowsChanged();
}

void FileListModel::ClearConflictNotes() {
    m_conflictNotes.clear();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::EditRole) {
        if (index.column() != ColNewName || index.row() >= RowCount())
            return {};
        const FileRow& row = m_rows[static_cast<std::size_t>(index.row())];
        return QString::fromStdString(LineOfRow(row.originalName, row.newName));
    }
    if (index.column() == ColNewName && index.row() < RowCount()) {
        const QVariant look = NewNameLook(m_rows[static_cast<std::size_t>(index.row())], role);
        if (look.isValid())
            return look;
    }
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
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_newNamesEditable && index.column() == ColNewName)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !m_newNamesEditable || !index.isValid() ||
        index.column() != ColNewName || index.row() >= RowCount())
        return false;
    const FileRow& row = m_rows[static_cast<std::size_t>(index.row())];
    std::string name =
        NewNameFromLine(row.originalName, row.newName, value.toString().toStdString());
    // Enter on a name left as it was changes nothing, not even the marks.
    if (name != row.newName)
        SetNewNames({static_cast<std::size_t>(index.row())}, {std::move(name)});
    return true;
}

void FileListModel::SetNewNames(const std::vector<std::size_t>& rows,
                                const std::vector<std::string>& names) {
    int first = RowCount();
    int last = -1;
    for (std::size_t i = 0; i < rows.size() && i < names.size(); ++i) {
        if (rows[i] >= m_rows.size())
            continue;
        m_rows[rows[i]].newName = names[i];
        first = std::min(first, static_cast<int>(rows[i]));
        last = std::max(last, static_cast<int>(rows[i]));
    }
    if (last < 0)
        return;
    // A conflict note was about the name before.
    ClearConflictNotes();
    Q_EMIT dataChanged(index(first, 0), index(last, ColumnCount - 1));
    Q_EMIT NewNamesEdited();
}

void FileListModel::SetNewNamesEditable(bool editable) {
    m_newNamesEditable = editable;
}

} // namespace quorvane
