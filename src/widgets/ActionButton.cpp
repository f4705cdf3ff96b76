#include "widgets/ActionButton.h"

#include <QAction>
#include <QToolButton>

namespace quorvane {

QToolButton* MakeActionButton(QWidget* parent, const char* name, const QString& text,
                              const QString& tooltip, QAction* action) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(tooltip);
    button->setIcon(action->icon());
    button->setAutoRaise(true);
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    return button;
}

} // namespace quorvane
