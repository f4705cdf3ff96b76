#include "widgets/DockPanelTitle.h"

#include <QApplication>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

namespace quorvane {

DockPanelTitle::DockPanelTitle(QDockWidget* panel) : QWidget(panel), m_panel(panel) {
    setObjectName(panel->objectName() + "Title");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Highlight);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 2, 2);
    m_title = new QLabel(panel->windowTitle(), this);
    m_title->setForegroundRole(QPalette::HighlightedText);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_close = new QToolButton(this);
    m_close->setObjectName(panel->objectName() + "Close");
    m_close->setIcon(QApplication::style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    // A framed button: a flat grey cross is lost on the highlight colour.
    m_close->setAutoRaise(false);
    m_close->setIconSize(QSize(10, 10));
    m_close->setFixedSize(18, 18);
    m_close->setAccessibleName("Close");
    m_close->setToolTip("Close");
    row->addWidget(m_title, 1);
    row->addWidget(m_close);
    connect(m_close, &QToolButton::clicked, this, &DockPanelTitle::CloseClicked);
    connect(panel, &QDockWidget::windowTitleChanged, m_title, &QLabel::setText);
}

void DockPanelTitle::mouseDoubleClickEvent(QMouseEvent* event) {
    // Docks a floating panel; a docked one stays docked (it is dragged out).
    if (event->button() == Qt::LeftButton) {
        if (m_panel->isFloating())
            m_panel->setFloating(false);
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace quorvane
