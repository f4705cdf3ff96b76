#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include <cstddef>
#include <utility>

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

// Each answer and its button; a box closed without a button counts as Cancel.
const std::pair<MsgAnswer, QMessageBox::StandardButton> kAnswerButtons[] = {
    {MsgAnswer::Ok, QMessageBox::Ok},
    {MsgAnswer::Yes, QMessageBox::Yes},
    {MsgAnswer::No, QMessageBox::No},
    {MsgAnswer::Cancel, QMessageBox::Cancel}};

MsgAnswer AnswerOf(int button) {
    for (const auto& [answer, standard] : kAnswerButtons) {
        if (standard == button)
            return answer;
    }
    return MsgAnswer::Cancel;
}

QMessageBox::StandardButton ButtonOf(MsgAnswer answer) {
    for (const auto& [known, standard] : kAnswerButtons) {
        if (known == answer)
            return standard;
    }
    return QMessageBox::Ok;
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
