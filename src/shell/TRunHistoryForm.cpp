#include "shell/TRunHistoryForm.h"

#include <QDateTime>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quorvane {
namespace {

QString StateText(const HistoryRun& run) {
    switch (run.state) {
    case HistoryRunState::Finished:
        return "finished";
    case HistoryRunState::Interrupted:
        return "interrupted";
    case HistoryRunState::Undone:
        return "undone";
    case HistoryRunState::PartlyUndone:
        return QStringLiteral("partly undone (%1 of %2 back)")
            .arg(run.filesBack)
            .arg(run.filesDone);
    case HistoryRunState::Damaged:
        return "damaged";
    default:
        return "running";
    }
}

} // namespace

QStringList TRunHistoryForm::RowTexts(const HistoryRun& run) {
    return {QDateTime::fromSecsSinceEpoch(run.startedUtc).toString("yyyy/MM/dd,hh:mm:ss"),
            QFile::decodeName(QByteArray::fromStdString(run.folder)),
            run.kind == HistoryRunKind::Undo ? "Undo" : "Rename",
            QString::number(run.filesDone) + " of " + QString::number(run.files), StateText(run)};
}

TRunHistoryForm::TRunHistoryForm(HistoryStore* store, UndoRun undoRun, QWidget* parent)
    : QDialog(parent), m_store(store), m_undoRun(std::move(undoRun)) {
    setObjectName("RunHistoryForm");
    setWindowTitle("Run History");
    resize(640, 360);
    lvRuns = new QTableWidget(0, 5, this);
    lvRuns->setObjectName("lvRuns");
    lvRuns->setAccessibleName("Run History");
    lvRuns->setHorizontalHeaderLabels({"Time", "Folder", "Kind", "Files", "State"});
    lvRuns->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvRuns->setSelectionMode(QAbstractItemView::SingleSelection);
    lvRuns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvRuns->verticalHeader()->hide();
    lvRuns->horizontalHeader()->setStretchLastSection(true);
    btnUndoRun = new QPushButton("Undo Run", this);
    btnUndoRun->setObjectName("btnUndoRun");
    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnUndoRun);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvRuns);
    layout->addLayout(buttons);

    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnUndoRun, &QPushButton::clicked, this, &TRunHistoryForm::UndoRunClick);
    connect(lvRuns, &QTableWidget::itemSelectionChanged, this, &TRunHistoryForm::UpdateButtons);
    Reload();
}

void TRunHistoryForm::Reload() {
    m_runs = m_store ? m_store->Runs() : std::vector<HistoryRun>{};
    lvRuns->setRowCount(static_cast<int>(m_runs.size()));
    for (int row = 0; row < static_cast<int>(m_runs.size()); ++row) {
        const QStringList texts = RowTexts(m_runs[static_cast<std::size_t>(row)]);
        for (int column = 0; column < texts.size(); ++column)
            lvRuns->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    if (!m_runs.empty())
        lvRuns->selectRow(0);
    UpdateButtons();
}

// The selected run, not the current cell: a selection made otherwise than by
// a click (a screen reader, selectRow) need not move the current cell.
int TRunHistoryForm::SelectedRow() const {
    const QModelIndexList rows = lvRuns->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
}

void TRunHistoryForm::UpdateButtons() {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_runs.size())) {
        btnUndoRun->setEnabled(false);
        return;
    }
    // A run already given back has nothing left to undo, and one another
    // program is still carrying out is not ours to give back.
    const HistoryRun& run = m_runs[static_cast<std::size_t>(row)];
    btnUndoRun->setEnabled(run.state != HistoryRunState::Undone &&
                           !(m_store && m_store->MayBeGoingOn(run)));
}

void TRunHistoryForm::UndoRunClick() {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_runs.size()) || !m_undoRun)
        return;
    m_undoRun(m_runs[static_cast<std::size_t>(row)].id);
    Reload();
}

} // namespace quorvane
