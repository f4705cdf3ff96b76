#pragma once
// A tool button that stands for an action: its own caption and tooltip, the
// action's picture, command and availability.

#include <QString>

class QAction;
class QToolButton;
class QWidget;

namespace quorvane {

QToolButton* MakeActionButton(QWidget* parent, const char* name, const QString& text,
                              const QString& tooltip, QAction* action);

} // namespace quorvane
