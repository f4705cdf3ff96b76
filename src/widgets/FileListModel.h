#pragma once
// The renaming list as a Qt table model over the rows the core works on.
//
// Columns: 0 "Original Name", 1 "New Name", 2 "Type", 3 "Attribute",
// 4 "Size" (right-aligned), 5 "Modified", 6 "Path". Texts are derived from the
// raw row fields when a cell is drawn, so 100,000 rows cost no formatting up
// front.
//
// Selection. The rows' `selected` flag is what the core reads and writes.
// Once a selection model is attached (FileListView does it), the flags follow
// the view: every selection change made by the user or by code through the
// selection model is written into the flags at once, and SelectedCount() is
// kept up to date without scanning the rows. Core code changes the rows only
// through ChangeRows, ReorderRows and ChangeSelection, which tell the views and
// push the flags back into the view's selection afterwards; nobody has to
// remember a notification. SyncSelectionFromView() rebuilds the flags from the
// view from scratch; it is only needed if the selection model was changed
// with its signals blocked.

#include "rules/FileRow.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

class QItemSelection;
class QItemSelectionModel;

namespace quorvane {

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColOriginalName = 0,
        ColNewName,
        ColType,
        ColAttribute,
        ColSize,
        ColModified,
        ColPath,
        ColumnCount
    };
    static int DefaultWidth(int column); // 120, 120, 50, 80, 80, 120, 50

    explicit FileListModel(QObject* parent = nullptr);

    // The rows in list order.
    const FileRows& Rows() const { return m_rows; }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    std::size_t SelectedCount() const { return m_selectedCount; }

    // Appends a batch of rows at the end (one insertion per batch).
    void AppendRows(FileRows&& rows);
    // Empties the list. A large list is freed on a thread of its own.
    void Clear();
    // Lets `change` rewrite the rows in place (names, marks, selection flags;
    // never their number or order). The views hear of it afterwards, also
    // when `change` throws.
    void ChangeRows(const std::function<void(FileRows&)>& change);
    // Lets `reorder` put the rows in another order (a sort); the views and
    // the selection follow.
    void ReorderRows(const std::function<void(FileRows&)>& reorder);
    // Lets `change` set the rows' selection flags; the view's selection follows.
    void ChangeSelection(const std::function<void(FileRows&)>& change);
    // One row's "New Name", shown at once.
    void SetNewName(std::size_t row, std::string name);
    // Merges the attribute bits a Samba share stores into the rows from
    // `first` on, once, so they sort by them.
    void MergeStoredAttributes(std::size_t first = 0);
    // New names given by hand, row i of `rows` taking `names[i]` as it is
    // (rows outside the list are passed over); reports NewNamesEdited.
    void SetNewNames(const std::vector<std::size_t>& rows, const std::vector<std::string>& names);
    // Whether the "New Name" cells can be edited in place (while a preview
    // could be made: never during a scan or after Apply).
    void SetNewNamesEditable(bool editable);
    bool NewNamesEditable() const { return m_newNamesEditable; }
    // The conflicts of the last Preview, one text per row of `listRow`
    // (empty for a row without a conflict); cleared by a new list.
    void SetConflictNotes(const std::vector<std::size_t>& listRow,
                          const std::vector<std::string>& texts);
    void ClearConflictNotes();

    // Apply swaps the captions of columns 0 and 1; a scan sets them back.
    void SetHeaderCaption(int column, const QString& text);
    void ResetHeaderCaptions();

    // Selection: see the comment at the top of this file.
    void AttachSelectionModel(QItemSelectionModel* selection);
    void SyncSelectionFromView();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The editor of a "New Name" cell: a typed name goes through
    // NewNameFromLine, as a line of "Edit New Names" does.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Display text of one cell.
    QString CellText(int row, int column) const;

Q_SIGNALS:
    // The number of selected rows changed (cheap to connect to).
    void SelectedCountChanged(int count);
    // Names were given by hand (an edited cell, or SetNewNames).
    void NewNamesEdited();

private:
    void NotifyRowsChanged();
    void SyncSelectionToView();
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void RecountSelected();
    QVariant NewNameLook(const FileRow& row, int role) const;
    // The row with the bits a Samba share stores merged in (read once).
    const FileRow& WithStoredAttributes(int row) const;

    FileRows m_rows;
    std::size_t m_selectedCount = 0;
    QString m_captions[ColumnCount];
    // By folder and name, which stay with a row however the list is sorted;
    // only rows with a conflict are in it.
    std::unordered_map<std::string, QString> m_conflictNotes;
    QPointer<QItemSelectionModel> m_selection;
    bool m_pushingSelection = false;
    bool m_newNamesEditable = false;
    // Frees the rows of a large list that was cleared (see Clear).
    std::jthread m_disposer;
};

} // namespace quorvane
