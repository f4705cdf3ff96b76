#pragma once
// The renaming list: a read-only report view over FileListModel. Whole rows are
// selected (several at once), the selection stays visible without the focus.
// A table view: rows have one fixed height and appending a batch costs nothing
// per row already listed, so a scan of a million files stays smooth (a tree
// view lays out every row again after each batch). Sorting is the window's
// business: a header click is only reported (HeaderClicked).

#include <QTableView>

#include <functional>

class QHeaderView;

namespace quorvane {

class FileListModel;

class FileListView : public QTableView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    // Sets the model, attaches its selection flags and applies the column widths.
    void SetFileModel(FileListModel* model);
    FileListModel* FileModel() const { return m_model; }

    // The column header.
    QHeaderView* header() const;

    // Shows the sort mark on the column's header; -1 hides it.
    void SetSortMark(int column, bool ascending);
    // Runs a change of the model's rows after which the selection is rebuilt
    // from the rows' flags.
    void RebuildSelection(const std::function<void()>& change);

Q_SIGNALS:
    void KeyReleased(int key);
    void MouseReleased();
    void HeaderClicked(int column);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void ScrollOnlyWithRows();

    FileListModel* m_model = nullptr;
};

} // namespace quorvane
