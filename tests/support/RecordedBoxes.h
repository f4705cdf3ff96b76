#pragma once
// Message boxes a window test expects none of, or only a few: answered with
// OK and their texts kept, so a stray box shows up in an assertion instead of
// waiting for a click that never comes.

#include "shell/MessageBoxes.h"

#include <QStringList>

namespace quorvane::test {

class RecordedBoxes {
public:
    RecordedBoxes() {
        SetMessageHook([this](const MessageRequest& request) {
            texts.push_back(request.text);
            return MsgAnswer::Ok;
        });
    }
    ~RecordedBoxes() { SetMessageHook({}); }
    RecordedBoxes(const RecordedBoxes&) = delete;
    RecordedBoxes& operator=(const RecordedBoxes&) = delete;

    QStringList texts;
};

} // namespace quorvane::test
