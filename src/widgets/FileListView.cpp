#include "widgets/FileListView.h"

#include "widgets/FileListModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

namespace quorvane {

FileListView::FileListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);

    // The selection keeps its colours when the list loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &FileListView::HeaderClicked);
}

void FileListView::SetFileModel(FileListModel* model) {
    m_model = model;
    setModel(model);
    model->AttachSelectionModel(selectionModel());
    for (int column = 0; column < FileListModel::ColumnCount; ++column)
        setColumnWidth(column, FileListModel::DefaultWidth(column));
    // The time stamp has a fixed format; with a large font its column grows
    // so the seconds are not cut off.
    const int stampWidth =
        fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00,00:00:00")) + 12;
    setColumnWidth(FileListModel::ColModified,
                   qMax(FileListModel::DefaultWidth(FileListModel::ColModified), stampWidth));
}

void FileListView::SetSortMark(int column, bool ascending) {
    if (column < 0) {
        header()->setSortIndicatorShown(false);
        return;
    }
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void FileListView::keyReleaseEvent(QKeyEvent* event) {
    QTreeView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit KeyReleased(event->key());
}

void FileListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    emit MouseReleased();
}

} // namespace quorvane
