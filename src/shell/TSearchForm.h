#pragma once
// The small "Searching Files.." window shown on top while a scan runs.
//
// It is not modal and deletes itself when closed (Qt::WA_DeleteOnClose): the
// main window keeps a QPointer<TSearchForm>, which clears itself when the
// window goes, creates the window when a scan starts and none exists, and
// closes it in SearchDone. Cancel (the button, Alt+C, Enter or Esc) only
// emits CancelRequested; the window stays until the scan has ended.

#include <QBasicTimer>
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace quorvane {

// A small spinning busy indicator that turns while it is shown.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {16, 16}; }
    bool IsSpinning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QBasicTimer m_timer;
    int m_step = 0;
};

class TSearchForm : public QDialog {
    Q_OBJECT
public:
    explicit TSearchForm(QWidget* parent = nullptr);

Q_SIGNALS:
    void CancelRequested();

public Q_SLOTS:
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void FormKeyUp(QKeyEvent* event);
    void CentreOnDesktop();

    // Named PanelMain, Animate1, Label1 and BtnCancel.
    QFrame* m_panelMain;
    BusyIndicator* m_animate;
    QLabel* m_label;
    QPushButton* m_btnCancel;
};

} // namespace quorvane
