#pragma once
// "Run History": the recorded runs, newest first, with "Undo Run" and "Close".
// The window only lists and asks; giving a run back is the main window's.

#include "history/HistoryStore.h"

#include <QDialog>
#include <functional>
#include <vector>

class QPushButton;
class QTableWidget;

namespace quorvane {

class TRunHistoryForm : public QDialog {
    Q_OBJECT
public:
    // `undoRun` gives the chosen run back (with its summary box).
    using UndoRun = std::function<void(std::int64_t run)>;
    TRunHistoryForm(HistoryStore* store, UndoRun undoRun, QWidget* parent = nullptr);

    // Reads the runs again from the history.
    void Reload();
    // The texts of a run's row: time, folder, kind, files done, state.
    static QStringList RowTexts(const HistoryRun& run);

    QTableWidget* lvRuns = nullptr;
    QPushButton* btnUndoRun = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void UndoRunClick();
    int SelectedRow() const;
    void UpdateButtons();

    HistoryStore* m_store;
    UndoRun m_undoRun;
    std::vector<HistoryRun> m_runs;
};

} // namespace quorvane
