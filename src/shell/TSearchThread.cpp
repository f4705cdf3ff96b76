#include "shell/TSearchThread.h"

#include <utility>

namespace quorvane {

TSearchThread::TSearchThread(QObject* parent, ScanOptions options)
    : QObject(parent), m_scan([this](FileRows&& rows) { HandOver(std::move(rows)); },
                              [this] {
                                  // Posted after the last batch to the same object, so it is
                                  // delivered after it.
                                  QMetaObject::invokeMethod(
                                      this, [this] { Finish(); }, Qt::QueuedConnection);
                              },
                              options) {
    qRegisterMetaType<FileRows>("quorvane::FileRows");
}

namespace {

constexpr int kMaxQueuedBatches = 2;

} // namespace

TSearchThread::~TSearchThread() {
    // Join before the QObject part goes: the worker posts to this object.
    // Events it posted meanwhile are discarded with the object.
    m_scan.RequestStop();
    StopWaiting();
    m_scan.Wait();
}

bool TSearchThread::Start(const ScanRequest& request) {
    if (m_running)
        return false;
    {
        const std::lock_guard<std::mutex> lock(m_queueMutex);
        m_queued = 0; // every batch of the last scan was emitted before its SearchDone
        m_stopWaiting = false;
    }
    m_running = m_scan.Start(request);
    return m_running;
}

void TSearchThread::Cancel() {
    if (!m_running)
        return;
    m_scan.RequestStop();
    StopWaiting();
}

void TSearchThread::StopWaiting() {
    {
        const std::lock_guard<std::mutex> lock(m_queueMutex);
        m_stopWaiting = true;
    }
    m_queueRoom.notify_all();
}

void TSearchThread::HandOver(FileRows&& rows) {
    {
        std::unique_lock<std::mutex> lock(m_queueMutex);
        m_queueRoom.wait(lock, [this] { return m_queued < kMaxQueuedBatches || m_stopWaiting; });
        ++m_queued;
    }
    // The lambda owns the batch until the owner's thread emits it; Qt's own
    // queued signal would copy every row once more.
    QMetaObject::invokeMethod(
        this,
        [this, batch = std::move(rows)]() mutable {
            {
                const std::lock_guard<std::mutex> lock(m_queueMutex);
                --m_queued;
            }
            m_queueRoom.notify_all();
            Q_EMIT RowsArrived(batch);
        },
        Qt::QueuedConnection);
}

void TSearchThread::Finish() {
    m_scan.Wait(); // the worker is past its last hand-over; reap it
    m_running = false;
    Q_EMIT SearchDone();
}

} // namespace quorvane
