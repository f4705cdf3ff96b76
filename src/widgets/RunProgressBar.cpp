#include "widgets/RunProgressBar.h"

#include <QProgressBar>
#include <algorithm>
#include <climits>

namespace quorvane {

RunProgressBar::RunProgressBar(QWidget* parent, const QRect& area, std::size_t rowCount)
    : m_bar(new QProgressBar(parent)) {
    m_bar->setObjectName("RunProgressBar");
    m_bar->setTextVisible(false);
    m_bar->setRange(0, static_cast<int>(std::min<std::size_t>(rowCount, INT_MAX)));
    m_bar->setValue(0);
    m_bar->setGeometry(area);
    m_bar->show();
    m_bar->raise();
    m_bar->repaint();
    m_sinceRepaint.start();
}

RunProgressBar::~RunProgressBar() {
    delete m_bar.data();
}

void RunProgressBar::Advance(std::size_t done, std::size_t total) {
    // Looking at the clock costs little, but only every 64th row needs to.
    if (!m_bar || ((done & 63) != 0 && done != total))
        return;
    if (done != total && m_sinceRepaint.elapsed() < kRepaintIntervalMs)
        return;
    m_bar->setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
    m_bar->repaint();
    m_sinceRepaint.restart();
}

RunProgress RunProgressBar::Callback() {
    return [this](std::size_t done, std::size_t total) { Advance(done, total); };
}

} // namespace quorvane
