#pragma once
// The user manual (an HTML page). A desktop's own program shows it when one
// can; otherwise, and when that program fails, a window of ours does, so F1
// always shows the manual.

#include <QString>

class QWidget;

namespace quorvane {

// Opens the manual at `path` (an existing index.html) for the window `owner`.
void OpenManual(QWidget* owner, const QString& path);

// Shows the manual in our own window, one per owner, raised when shown again.
void ShowManualWindow(QWidget* owner, const QString& path);

} // namespace quorvane
