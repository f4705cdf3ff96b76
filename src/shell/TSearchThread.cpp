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

TSearchThread::~TSearchThread() {
    // Join before the QObject part goes: the worker posts to this object.
    // Events it posted meanwhile are discarded with the object.
    m_scan.RequestStop();
    m_scan.Wait();
}

bool TSearchThread::Start(const ScanRequest& request) {
    if (m_running)
        return false;
    m_running = m_scan.Start(request);
    return m_running;
}

void TSearchThread::Cancel() {
    if (m_running)
        m_scan.RequestStop();
}

void TSearchThread::HandOver(FileRows&& rows) {
    // The lambda owns the batch until the owner's thread emits it; Qt's own
    // queued signal would copy every row once more.
    QMetaObject::invokeMethod(
        this, [this, batch = std::move(rows)]() mutable { emit RowsArrived(batch); },
        Qt::QueuedConnection);
}

void TSearchThread::Finish() {
    m_scan.Wait(); // the worker is past its last hand-over; reap it
    m_running = false;
    emit SearchDone();
}

} // namespace quorvane
