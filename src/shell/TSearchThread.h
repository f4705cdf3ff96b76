#pragma once
// Runs a folder scan on a worker thread and delivers its rows on the
// user-interface thread.
//
// Ownership: the main window owns one TSearchThread for its whole life (a
// QObject child) and reuses it for every scan, so its reference can never
// dangle; Cancel() on an idle object does nothing, so a late Cancel cannot
// reach anything but a running scan. Destroying it stops a running walk and
// waits for the worker; batches still queued are dropped with the object.
//
// Usage (ScanController does this for the main window):
//
//     auto* search = new TSearchThread(this);
//     connect(search, &TSearchThread::RowsArrived, this,
//             [this](quorvane::FileRows& rows) { m_model->AppendRows(std::move(rows)); });
//     connect(search, &TSearchThread::SearchDone, this, &Owner::WalkEnded);
//     connect(searchForm, &TSearchForm::CancelRequested, search, &TSearchThread::Cancel);
//     ...
//     search->Start({WithTrailingSlash(folder), filter, includeSubfolders});
//
// RowsArrived comes in batches (every 50 ms or a few thousand rows), in walk
// order, each file exactly once; SearchDone follows the last batch, also after
// a cancel. Both are emitted on the thread that owns this object, so receivers
// are called directly. The batch is moved, not copied, from the worker into
// the signal and lent to the receivers by reference: the last receiver may
// move the rows out of it, so a scan never copies a row. At most two batches
// wait for the owner's thread at a time: a walk faster than the window waits
// for it instead of piling rows up in memory.

#include "filelist/FolderScan.h"

#include <QMetaType>
#include <QObject>
#include <condition_variable>
#include <mutex>

Q_DECLARE_METATYPE(quorvane::FileRows)

namespace quorvane {

class TSearchThread : public QObject {
    Q_OBJECT
public:
    explicit TSearchThread(QObject* parent = nullptr, ScanOptions options = {});
    ~TSearchThread() override;

    // Starts a scan; refused (false) while the previous one has not delivered
    // SearchDone yet.
    bool Start(const ScanRequest& request);
    // True from Start until SearchDone has been emitted.
    bool IsRunning() const { return m_running; }

public Q_SLOTS:
    // Ends a running walk after the file at hand; its rows so far still arrive,
    // then SearchDone.
    void Cancel();

Q_SIGNALS:
    void RowsArrived(quorvane::FileRows& rows);
    void SearchDone();

private:
    void HandOver(FileRows&& rows); // worker thread
    void Finish();                  // owner's thread
    void StopWaiting();             // lets a worker that waits for room go on

    bool m_running = false;
    // Batches posted but not yet emitted, guarded by m_queueMutex.
    std::mutex m_queueMutex;
    std::condition_variable m_queueRoom;
    int m_queued = 0;
    bool m_stopWaiting = false;
    FolderScan m_scan;
};

} // namespace quorvane
