#pragma once
// The window of the settings tests: it keeps its settings in a temporary
// folder and records the message boxes it would show.

#include "shell/MessageBoxes.h"
#include "shell/TMainForm.h"
#include "support/Combo.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace quorvane {

// The helpers every settings test uses.
using test::ControlShown;
using test::Find;
using test::ItemsOf;
using test::ReadFile;
using test::TempDir;

inline std::vector<std::string> Strings(const QStringList& list) {
    std::vector<std::string> result;
    for (const QString& item : list)
        result.push_back(item.toStdString());
    return result;
}

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() {
        SetMessageHook([this](const MessageRequest& request) {
            m_messages.push_back(request.text);
            return MsgAnswer::Ok;
        });
    }
    ~OptionsTest() override { SetMessageHook({}); }

    // A window that keeps its settings in `folder`, shown (which loads them).
    std::unique_ptr<TMainForm> Start(const std::string& folder) {
        auto window = std::make_unique<TMainForm>();
        window->SetSettingsFolder(folder);
        window->show();
        return window;
    }
    std::unique_ptr<TMainForm> StartWith(const std::string& fileText) {
        m_dir.Write("Options.ini", fileText);
        return Start(m_dir.Path());
    }

    TempDir m_dir;
    QStringList m_messages;
};

} // namespace quorvane
