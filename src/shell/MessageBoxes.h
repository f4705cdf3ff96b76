#pragma once
// Every message box of the program goes through here, so tests can read the
// type, buttons and text of each box and answer it.

#include <QString>
#include <functional>

class QWidget;

namespace quorvane {

enum class MsgType { Information, Warning, Confirmation, Error };
enum class MsgButtons { Ok, OkCancel, Yes, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    MsgType type;
    MsgButtons buttons;
    QString caption;
    QString text; // lines joined by a carriage return, as the program builds them
    MsgAnswer defaultAnswer = MsgAnswer::Ok; // the button Enter presses; the first one unless said
};

// Shows a modal box (or hands it to the test hook) and returns the answer.
MsgAnswer ShowMessage(QWidget* parent, MsgType type, MsgButtons buttons, const QString& text,
                      const QString& caption = QString());
// The same with a chosen default button (No for a question whose Yes is risky).
MsgAnswer ShowMessage(QWidget* parent, MsgType type, MsgButtons buttons, const QString& text,
                      MsgAnswer defaultAnswer);

// Tests install a hook that records the request and answers it; pass an
// empty function to go back to real boxes.
using MessageHook = std::function<MsgAnswer(const MessageRequest&)>;
void SetMessageHook(MessageHook hook);

} // namespace quorvane
