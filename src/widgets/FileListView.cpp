#include "widgets/FileListView.h"

#include "widgets/FileListModel.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QUrl>

namespace quorvane {

namespace {

// The editor of a "New Name" cell, named for screen readers and tests.
class NewNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName("NewNameEditor");
        editor->setAccessibleName("New Name");
        return editor;
    }
    // The editor takes the row's name once, when it opens. The list redraws
    // its rows while the user types (the conflicts of a name arrive a moment
    // after it was given), and each redraw would put the row's name back in
    // place of what was typed.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (editor->property(kFilled).toBool())
            return;
        QStyledItemDelegate::setEditorData(editor, index);
        editor->setProperty(kFilled, true);
    }

private:
    static constexpr const char* kFilled = "quorvaneFilled";
};

// The local paths of a drag, in its order; none when it carries anything else.
std::vector<std::string> LocalPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

} // namespace

FileListView::FileListView(QWidget* parent) : QTableView(parent) {
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    setItemDelegateForColumn(FileListModel::ColNewName, new NewNameDelegate(this));
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
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
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, &FileListView::ScrollOnlyWithRows);
    connect(model, &QAbstractItemModel::modelReset, this, &FileListView::ScrollOnlyWithRows);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FileListView::ScrollOnlyWithRows);
    ScrollOnlyWithRows();
}

// The columns together are wider than a narrow list: with rows that is worth
// a scroll bar, with none it would only scroll the captions.
void FileListView::ScrollOnlyWithRows() {
    const bool empty = !m_model || m_model->rowCount() == 0;
    setHorizontalScrollBarPolicy(empty ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

QHeaderView* FileListView::header() const {
    return horizontalHeader();
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
    QTableView::keyReleaseEvent(event);
    // A key the cell editor passed on is the editor's (Delete there deletes
    // a character, never a file).
    if (!event->isAutoRepeat() && state() != EditingState)
        Q_EMIT KeyReleased(event->key());
}

bool FileListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // F2 names the row, whichever of its cells is the current one.
    if (trigger == EditKeyPressed && index.isValid() && index.column() != FileListModel::ColNewName)
        return QTableView::edit(index.siblingAtColumn(FileListModel::ColNewName), trigger, event);
    return QTableView::edit(index, trigger, event);
}

void FileListView::dragEnterEvent(QDragEnterEvent* event) {
    if (LocalPaths(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileListView::dragMoveEvent(QDragMoveEvent* event) {
    if (LocalPaths(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileListView::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths = LocalPaths(event->mimeData());
    if (paths.empty()) {
        event->ignore();
        return;
    }
    // A copy for the file manager: it must never delete what it dragged here.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    Q_EMIT FilesDropped(paths);
}

void FileListView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    Q_EMIT MouseReleased();
}

bool FileListView::viewportEvent(QEvent* event) {
    // Here the pop-up menu opens at the right button's press, so its release
    // goes to the menu, not to the list; the list reports it as it opens the
    // menu, as a release over the list.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse)
        Q_EMIT MouseReleased();
    return QTableView::viewportEvent(event);
}

// Qt compares an old and a new selection range by range, which takes minutes
// for tens of thousands of scattered rows (an inverted selection); emptying
// the selection first, quietly, keeps the rebuild linear. The flags are the
// truth meanwhile, so nothing needs to hear about the emptying.
void FileListView::RebuildSelection(const std::function<void()>& change) {
    QItemSelectionModel* selection = selectionModel();
    {
        const QSignalBlocker quiet(selection);
        selection->clearSelection();
        change();
    }
    viewport()->update();
}

} // namespace quorvane
