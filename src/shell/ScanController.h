#pragma once
// The folder scan as the main window runs it: one worker object for the
// window's life (TSearchThread, reused by every scan), the counter of running
// scans (`SearchCount`) and the "Searching Files.." window while a scan runs.
//
// A scan request made while a scan runs is the caller's to refuse (Refresh is
// unavailable while SearchCount is not 0); the worker refuses it too.

#include "filelist/FolderScan.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace quorvane {

class TSearchForm;
class TSearchThread;

class ScanController : public QObject {
    Q_OBJECT
public:
    // `window` owns the controller and is the parent of the progress window.
    explicit ScanController(QWidget* window);
    // Stops a running walk and waits for its worker; what it had not
    // delivered yet is dropped.
    ~ScanController() override;

    // Starts a walk and shows the progress window. False when the worker
    // refused: then nothing runs and nothing will arrive.
    bool Start(const ScanRequest& request);
    // 1 from Start until the walk has ended, else 0.
    int SearchCount() const { return m_searchCount; }

Q_SIGNALS:
    // A batch of rows, in walk order. The batch is lent: the one receiver
    // may take the rows out of it (the list does, without copying them).
    void RowsArrived(quorvane::FileRows& rows);
    // The walk has ended (completed or cancelled) and the progress window is
    // closed; SearchCount is 0 again.
    void SearchDone();
    void SearchCountChanged();

private:
    void WalkEnded();
    void SetSearchCount(int count);

    QWidget* m_window;
    TSearchThread* m_searchThread;
    QPointer<TSearchForm> m_searchForm;
    int m_searchCount = 0;
};

} // namespace quorvane
