#pragma once
// The renaming list: a read-only report view over FileListModel. Whole rows are
// selected (several at once), the selection stays visible without the focus,
// rows have one height so 100,000 of them scroll smoothly. Sorting is the
// window's business: a header click is only reported (HeaderClicked).

#include <QTreeView>

namespace quorvane {

class FileListModel;

class FileListView : public QTreeView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    // Sets the model, attaches its selection flags and applies the column widths.
    void SetFileModel(FileListModel* model);
    FileListModel* FileModel() const { return m_model; }

    // Shows the sort mark on the column's header; -1 hides it.
    void SetSortMark(int column, bool ascending);

signals:
    void KeyReleased(int key);
    void MouseReleased();
    void HeaderClicked(int column);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    FileListModel* m_model = nullptr;
};

} // namespace quorvane
