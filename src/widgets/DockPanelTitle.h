#pragma once
// Title bar of a floating renaming panel: its title and a close button. Mouse
// presses fall through to the panel, which drags it; a double click docks it.

#include <QWidget>

class QDockWidget;
class QLabel;
class QToolButton;

namespace quorvane {

class DockPanelTitle : public QWidget {
    Q_OBJECT
public:
    explicit DockPanelTitle(QDockWidget* panel);

    QToolButton* CloseButton() const { return m_close; }

Q_SIGNALS:
    void CloseClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QDockWidget* m_panel;
    QLabel* m_title;
    QToolButton* m_close;
};

} // namespace quorvane
