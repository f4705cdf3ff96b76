#include "shell/ScanController.h"

#include "shell/TSearchForm.h"
#include "shell/TSearchThread.h"

#include <QWidget>

#include <algorithm>

namespace quorvane {

ScanController::ScanController(QWidget* window)
    : QObject(window), m_window(window), m_searchThread(new TSearchThread(this)) {
    setObjectName("ScanController");
    m_searchThread->setObjectName("SearchThread");
    connect(m_searchThread, &TSearchThread::RowsArrived, this, &ScanController::RowsArrived);
    connect(m_searchThread, &TSearchThread::SearchDone, this, &ScanController::WalkEnded);
}

ScanController::~ScanController() {
    // Its last signals must not reach a receiver that is going away.
    m_searchThread->disconnect(this);
    delete m_searchThread;
}

bool ScanController::Start(const ScanRequest& request) {
    SetSearchCount(1);
    if (!m_searchThread->Start(request)) {
        SetSearchCount(0);
        return false;
    }
    if (!m_searchForm)
        m_searchForm = new TSearchForm(m_window);
    connect(m_searchForm, &TSearchForm::CancelRequested, m_searchThread, &TSearchThread::Cancel,
            Qt::UniqueConnection);
    m_searchForm->show();
    return true;
}

void ScanController::WalkEnded() {
    if (m_searchCount - 1 != 0) {
        SetSearchCount(std::max(m_searchCount - 1, 0));
        return;
    }
    SetSearchCount(0);
    if (m_searchForm)
        m_searchForm->close();
    Q_EMIT SearchDone();
}

void ScanController::SetSearchCount(int count) {
    if (count == m_searchCount)
        return;
    m_searchCount = count;
    Q_EMIT SearchCountChanged();
}

} // namespace quorvane
