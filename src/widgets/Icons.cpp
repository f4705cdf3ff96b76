#include "widgets/Icons.h"

#include <QApplication>
#include <QStyle>

namespace quorvane::icons {

namespace {

QIcon Themed(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name),
                            QApplication::style()->standardIcon(fallback));
}

} // namespace

QIcon Program() {
    return Themed("edit-rename", QStyle::SP_FileDialogDetailedView);
}
QIcon RenameFiles() {
    return Themed("edit-rename", QStyle::SP_FileIcon);
}
QIcon RenameMp3() {
    return Themed("audio-x-generic", QStyle::SP_DriveCDIcon);
}
QIcon Preview() {
    return Themed("document-preview", QStyle::SP_FileDialogContentsView);
}
QIcon Apply() {
    return Themed("dialog-ok-apply", QStyle::SP_DialogApplyButton);
}
QIcon Undo() {
    return Themed("edit-undo", QStyle::SP_ArrowBack);
}
QIcon Refresh() {
    return Themed("view-refresh", QStyle::SP_BrowserReload);
}
QIcon Delete() {
    return Themed("edit-delete", QStyle::SP_TrashIcon);
}
QIcon Manual() {
    return Themed("help-contents", QStyle::SP_DialogHelpButton);
}
QIcon WebSite() {
    return Themed("internet-web-browser", QStyle::SP_DriveNetIcon);
}
QIcon Mail() {
    return Themed("mail-message-new", QStyle::SP_FileDialogNewFolder);
}
QIcon Faq() {
    return Themed("help-faq", QStyle::SP_MessageBoxQuestion);
}
QIcon About() {
    return Themed("help-about", QStyle::SP_MessageBoxInformation);
}
QIcon Exit() {
    return Themed("application-exit", QStyle::SP_DialogCloseButton);
}

} // namespace quorvane::icons
