#include "widgets/Icons.h"

#include <QApplication>
#include <QStyle>

// The icon resource lives in a static library, where nothing else would pull
// its registration into the program.
static void RegisterIconResource() {
    Q_INIT_RESOURCE(icons);
}

namespace quorvane::icons {

namespace {

QIcon Themed(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name),
                            QApplication::style()->standardIcon(fallback));
}

} // namespace

// Our own icon, built in at every installed size, so the window shows the
// same picture as the menu entry whether or not the program is installed.
QIcon Program() {
    static const bool registered = (RegisterIconResource(), true);
    Q_UNUSED(registered);
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quorvane-%1.png").arg(size), QSize(size, size));
    return icon;
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
