#pragma once
// The progress bar a run lays over the fourth status panel. It exists for one
// run: made when the run starts, gone with the object (also when the run ends
// with an exception). The run reports every row; the bar is redrawn at most
// every 50 ms so drawing never slows the run down.

#include "runs/RunResult.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QRect>
#include <cstddef>

class QWidget;

namespace quorvane {

class RunProgressBar {
public:
    static constexpr int kRepaintIntervalMs = 50;

    // `parent` is the status bar, `area` the panel's rectangle in its coordinates.
    RunProgressBar(QWidget* parent, const QRect& area, std::size_t rowCount);
    ~RunProgressBar();
    RunProgressBar(const RunProgressBar&) = delete;
    RunProgressBar& operator=(const RunProgressBar&) = delete;

    void Advance(std::size_t done, std::size_t total);
    // A callback for the core runs that forwards to Advance.
    RunProgress Callback();
    QProgressBar* Bar() const { return m_bar; }

private:
    QPointer<QProgressBar> m_bar;
    QElapsedTimer m_sinceRepaint;
};

} // namespace quorvane
