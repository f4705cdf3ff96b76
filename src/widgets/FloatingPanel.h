#pragma once
// A renaming panel: a dockable panel that floats above the main window, with
// its controls on the left and a column of four command buttons on the right.
//
// Its shown state is its own. Before the main window is first shown, it is the
// state the panel will show with (a floating panel is a window of its own, so
// it appears with the main window, not before). Setting the state by code runs
// no close handler; the panel's close button hides it and reports Closed.

#include <QDockWidget>
#include <QPointer>
#include <QWindow>

#include <array>

class QMainWindow;
class QToolButton;

namespace quorvane {

// One of the panel's command buttons, standing for an action.
struct PanelCommand {
    const char* name;
    QString text;
    QString tooltip;
    QAction* action;
};

class FloatingPanel : public QDockWidget {
    Q_OBJECT
public:
    // Docks into the bottom of `dockArea` (by dragging or a double click on
    // the title) and floats there at first.
    FloatingPanel(const QString& name, const QString& title, const QString& tooltip,
                  QMainWindow* dockArea, bool shown);

    // The parent for the panel's controls.
    QWidget* Body() const { return m_body; }
    // Places the controls beside the four buttons, top to bottom.
    void SetContents(QWidget* controls, const std::array<PanelCommand, 4>& commands);

    bool Shown() const { return m_shown; }
    void SetShown(bool shown);
    // The main window is shown for the first time: the panel appears with it
    // when it is to be shown.
    void AppearWithWindow();

Q_SIGNALS:
    void ShownChanged();
    // The close button hid the panel.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepAboveOwner();
    void BecomeChildOnWayland();

    QWidget* m_body;
    bool m_shown;
    bool m_appeared = false;
    QPointer<QWindow> m_owner; // the main window's, once it is shown
    bool m_ownerExposed = false;
};

} // namespace quorvane
