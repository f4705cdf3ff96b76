#include "widgets/FloatingPanel.h"

#include "widgets/ActionButton.h"
#include "widgets/DockPanelTitle.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QToolButton>
#include <QVBoxLayout>

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
    emit ShownChanged();
}

void FloatingPanel::AppearWithWindow() {
    m_appeared = true;
    setVisible(m_shown);
}

void FloatingPanel::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    if (event->isAccepted() && m_shown) {
        m_shown = false;
        emit ShownChanged();
        emit Closed();
    }
}

} // namespace quorvane
