#include "widgets/FolderTree.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScopedValueRollback>

namespace quorvane {

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setAnimated(false);
    // The pane is narrow; a small indent leaves room for the names of deep folders.
    setIndentation(10);
    AttachModel();
}

void FolderTree::AttachModel() {
    QFileSystemModel* old = m_model;
    m_model = new QFileSystemModel(this);
    // Hidden folders stay out of the tree, as the scan leaves them out of a
    // walk; SetPath still reaches one.
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_model->setRootPath(QStringLiteral("/"));
    connect(m_model, &QFileSystemModel::directoryLoaded, this, &FolderTree::DirectoryLoaded);
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] {
        if (m_followSelection && currentIndex().isValid())
            scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    setModel(m_model);
    // Only the name column: size, type and date mean nothing for a folder tree.
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    setRootIndex(m_model->index(QStringLiteral("/")).parent());
    expand(m_model->index(QStringLiteral("/")));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderTree::OnCurrentChanged);
    delete old;
}

std::string FolderTree::SelectedPath() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return {};
    const QString path = m_model->filePath(current);
    if (path.isEmpty() || !m_model->isDir(current))
        return {};
    std::string bytes = QFile::encodeName(path).toStdString();
    if (bytes.back() != '/')
        bytes += '/';
    return bytes;
}

bool FolderTree::SetPath(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    QModelIndex target = m_model->index(clean);
    if (!target.isValid()) {
        // A hidden folder the model has already read and filtered out: a
        // fresh model lets a path through to it (it shows the folders on the
        // way to a path it is asked for, hidden or not).
        const QScopedValueRollback<bool> silent(m_silent, true);
        AttachModel();
        target = m_model->index(clean);
    }
    if (!target.isValid())
        return false;
    for (QModelIndex parent = target.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    setCurrentIndex(target);
    scrollTo(target, QAbstractItemView::PositionAtCenter);
    m_followSelection = true;
    return true;
}

void FolderTree::Refresh() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string before = SelectedPath();
    {
        const QScopedValueRollback<bool> silent(m_silent, true);
        AttachModel();
        if (!before.empty())
            SetPath(QFile::decodeName(QByteArray::fromStdString(before)));
    }
    QApplication::restoreOverrideCursor();
    Q_EMIT FolderChanged();
}

// Once the user moves around in the tree, the view stays where the user put it.
void FolderTree::mousePressEvent(QMouseEvent* event) {
    m_followSelection = false;
    QTreeView::mousePressEvent(event);
}

void FolderTree::wheelEvent(QWheelEvent* event) {
    m_followSelection = false;
    QTreeView::wheelEvent(event);
}

void FolderTree::keyPressEvent(QKeyEvent* event) {
    m_followSelection = false;
    QTreeView::keyPressEvent(event);
}

void FolderTree::OnCurrentChanged() {
    if (!m_silent)
        Q_EMIT FolderChanged();
}

} // namespace quorvane
