#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace quorvane {
namespace {

MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}

QMessageBox::Icon IconOf(MsgType type) {
    switch (type) {
    case MsgType::Information:
        return QMessageBox::Information;
    case MsgType::Warning:
        return QMessageBox::Warning;
    case MsgType::Confirmation:
        return QMessageBox::Question;
    case MsgType::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::Yes:
        return QMessageBox::Yes;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

MsgAnswer AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

QString DefaultCaption(MsgType type) {
    switch (type) {
    case MsgType::Information:
        return QStringLiteral("Information");
    case MsgType::Warning:
        return QStringLiteral("Warning");
    case MsgType::Confirmation:
        return QStringLiteral("Confirm");
    case MsgType::Error:
        return QStringLiteral("Error");
    }
    return QString();
}

} // namespace

void SetMessageHook(MessageHook hook) {
    Hook() = std::move(hook);
}

MsgAnswer ShowMessage(QWidget* parent, MsgType type, MsgButtons buttons, const QString& text,
                      const QString& caption) {
    const QString title = caption.isEmpty() ? DefaultCaption(type) : caption;
    if (Hook())
        return Hook()(MessageRequest{type, buttons, title, text});
    // Lines are joined with a carriage return; show them as separate lines.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    QMessageBox box(IconOf(type), title, shown, ButtonsOf(buttons), parent);
    return AnswerOf(box.exec());
}

} // namespace quorvane
