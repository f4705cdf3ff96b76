#pragma once
// The folder tree: every folder from "/" down, hidden ones included, names not
// editable. QFileSystemModel lists folders on its own thread; directoryLoaded
// tells when a folder's rows are final.

#include <QTreeView>
#include <string>

class QFileSystemModel;

namespace quorvane {

class FolderTree : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The selected folder, ending in "/"; empty when nothing is selected.
    std::string SelectedPath() const;
    // Expands the tree to the folder and selects it (raises FolderChanged when
    // the selection moves). False when the path names no folder.
    bool SetPath(const QString& path);
    // Re-reads the folders, selects again the folder selected before and then
    // raises FolderChanged once (also when the folder is gone: the selection is
    // then empty).
    void Refresh();

    QFileSystemModel* FileSystemModel() const { return m_model; }

Q_SIGNALS:
    void FolderChanged();
    void DirectoryLoaded(const QString& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AttachModel();
    void OnCurrentChanged();

    QFileSystemModel* m_model = nullptr;
    bool m_silent = false;
    // Folders load on their own thread; until the selected one's parents have
    // loaded, its row keeps moving, so the view follows it.
    bool m_followSelection = false;
};

} // namespace quorvane
