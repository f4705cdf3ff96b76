#include "widgets/FloatingPanel.h"

#include "widgets/ActionButton.h"
#include "widgets/DockPanelTitle.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace quorvane {

FloatingPanel::FloatingPanel(const QString& name, const QString& title, const QString& tooltip,
                             QMainWindow* dockArea, bool shown)
    : QDockWidget(title, dockArea), m_shown(shown) {
    setObjectName(name);
    setToolTip(tooltip);
    setAllowedAreas(Qt::BottomDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    // Our own title bar: a double click on it docks the panel on every
    // platform (a window manager's title bar would maximise it instead).
    auto* titleBar = new DockPanelTitle(this);
    setTitleBarWidget(titleBar);
    connect(titleBar, &DockPanelTitle::CloseClicked, this, &QWidget::close);
    dockArea->addDockWidget(Qt::BottomDockWidgetArea, this);
    m_body = new QWidget(this);
    m_body->setObjectName(name + "Body");
    setWidget(m_body);
}

void FloatingPanel::SetContents(QWidget* controls, const std::array<PanelCommand, 4>& commands) {
    auto* row = new QHBoxLayout(m_body);
    row->addWidget(controls, 1);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    for (const PanelCommand& command : commands) {
        QToolButton* button =
            MakeActionButton(m_body, command.name, command.text, command.tooltip, command.action);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setMinimumWidth(80);
        button->setAutoRaise(false);
        column->addWidget(button);
    }
    column->addStretch(1);
    row->addLayout(column);
}

void FloatingPanel::SetShown(bool shown) {
    m_shown = shown;
    if (m_appeared)
        setVisible(shown);
    Q_EMIT ShownChanged();
}

void FloatingPanel::AppearWithWindow() {
    m_appeared = true;
    m_owner = parentWidget() ? parentWidget()->window()->windowHandle() : nullptr;
    if (m_owner)
        m_owner->installEventFilter(this);
    setVisible(m_shown);
}

// The panel is a tool window of the main window (transient for it), but not
// every window manager keeps such a window above its owner: openbox raises
// the main window over it at every click. The panel therefore raises itself
// whenever the window comes up, is clicked or takes the focus. On Wayland the
// compositor keeps a window's children above it.
bool FloatingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_owner) {
        switch (event->type()) {
        case QEvent::Expose:
            if (!m_ownerExposed && m_owner->isExposed()) {
                m_ownerExposed = true;
                BecomeChildOnWayland();
            }
            KeepAboveOwner();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::FocusIn:
            KeepAboveOwner();
            break;
        default:
            break;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void FloatingPanel::KeepAboveOwner() {
    if (isVisible() && isFloating())
        raise();
}

// Shown with the window, the panel gets its Wayland surface before the
// window has one, and so no parent: the compositor stacks it as any window,
// below the window. Shown again once the window is up, it is its child.
void FloatingPanel::BecomeChildOnWayland() {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && isFloating()) {
            hide();
            show();
        }
    });
}

void FloatingPanel::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    if (event->isAccepted() && m_shown) {
        m_shown = false;
        Q_EMIT ShownChanged();
        Q_EMIT Closed();
    }
}

} // namespace quorvane
