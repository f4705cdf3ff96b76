#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include <cstddef>

namespace quorvane {
namespace {

MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}

// Indexed by MsgType and MsgButtons, in their order.
const QMessageBox::Icon kIcons[] = {QMessageBox::Information, QMessageBox::Warning,
                                    QMessageBox::Question, QMessageBox::Critical};
const char* const kCaptions[] = {"Information", "Warning", "Confirm", "Error"};
const QMessageBox::StandardButtons kButtons[] = {
    QMessageBox::Ok, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Yes,
    QMessageBox::Yes | QMessageBox::No};

template <typename Table, typename Enum> const auto& Entry(const Table& table, Enum value) {
    return table[static_cast<std::size_t>(value)];
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

} // namespace

void SetMessageHook(MessageHook hook) {
    Hook() = std::move(hook);
}

namespace {

MsgAnswer FirstAnswer(MsgButtons buttons) {
    return buttons == MsgButtons::Yes || buttons == MsgButtons::YesNo ? MsgAnswer::Yes
                                                                      : MsgAnswer::Ok;
}

QMessageBox::StandardButton ButtonOf(MsgAnswer answer) {
    switch (answer) {
    case MsgAnswer::Yes:
        return QMessageBox::Yes;
    case MsgAnswer::No:
        return QMessageBox::No;
    case MsgAnswer::Cancel:
        return QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

MsgAnswer Show(QWidget* parent, MsgType type, MsgButtons buttons, const QString& text,
               const QString& caption, MsgAnswer defaultAnswer) {
    const QString title = caption.isEmpty() ? QString::fromLatin1(Entry(kCaptions, type)) : caption;
    if (Hook())
        return Hook()(MessageRequest{type, buttons, title, text, defaultAnswer});
    // Lines are joined with a carriage return; show them as separate lines.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    QMessageBox box(Entry(kIcons, type), title, shown, Entry(kButtons, buttons), parent);
    if (defaultAnswer != FirstAnswer(buttons))
        box.setDefaultButton(ButtonOf(defaultAnswer));
    return AnswerOf(box.exec());
}

} // namespace

MsgAnswer ShowMessage(QWidget* parent, MsgType type, MsgButtons buttons, const QString& text,
                      const QString& caption) {
    return Show(parent, type, buttons, text, caption, FirstAnswer(buttons));
}

MsgAnswer ShowMessage(QWidget* parent, MsgType type, MsgButtons buttons, const QString& text,
                      MsgAnswer defaultAnswer) {
    return Show(parent, type, buttons, text, QString(), defaultAnswer);
}

} // namespace quorvane
