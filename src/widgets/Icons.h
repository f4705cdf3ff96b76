#pragma once
// Icons from the desktop theme, each with a built-in fallback so that no
// button is ever blank.

#include <QIcon>

namespace quorvane::icons {

QIcon Program();
QIcon RenameFiles();
QIcon RenameMp3();
QIcon Preview();
QIcon Apply();
QIcon Undo();
QIcon Refresh();
QIcon Delete();
QIcon Manual();
QIcon WebSite();
QIcon Mail();
QIcon Faq();
QIcon About();
QIcon Exit();

} // namespace quorvane::icons
