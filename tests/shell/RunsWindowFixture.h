#pragma once
// The main window of the run tests, its settings and files in temporary
// folders, with the message boxes and log windows it would show recorded.

#include "runs/RunFileSystem.h"
#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/ScanController.h"
#include "shell/TFrmLog.h"
#include "shell/TMainForm.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FolderTree.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace quorvane {

inline const QString kAllWell = "All the selected files have been processed successfully!";

// The real file system with a hook before every rename and a time stamp that
// can be made to fail.
class HookedFileSystem final : public RunFileSystem {
public:
    std::function<void()> beforeRename;
    bool failTimeStamps = false;

    int Rename(const std::string& folder, const std::string& from, const std::string& to) override {
        if (beforeRename)
            beforeRename();
        return m_real.Rename(folder, from, to);
    }
    std::optional<std::uint32_t> ReadAttributes(const std::string& path) override {
        return m_real.ReadAttributes(path);
    }
    int WriteAttributes(const std::string& path, std::uint32_t attributes) override {
        return m_real.WriteAttributes(path, attributes);
    }
    int SetTimeStamp(const std::string& path, std::uint32_t packedLocal) override {
        return failTimeStamps ? EPERM : m_real.SetTimeStamp(path, packedLocal);
    }
    int SetLinkTimeStamp(const std::string& path, std::uint32_t packedLocal) override {
        return m_real.SetLinkTimeStamp(path, packedLocal);
    }
    void ExpectFolder(const std::string& folder, const FileIdentity& identity) override {
        m_real.ExpectFolder(folder, identity);
    }
    void ExpectFile(const std::string& path, const FileIdentity& identity) override {
        m_real.ExpectFile(path, identity);
    }
    void RunEnded() override { m_real.RunEnded(); }

private:
    PlatformFileSystem m_real;
};

class RunsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_form.SetSettingsFolder(m_settings.Path());
        SetMessageHook([this](const MessageRequest& request) {
            m_boxes.push_back(request);
            return m_answer;
        });
        TFrmLog::SetShowHook([this](TFrmLog& window) {
            EXPECT_EQ(window.objectName(), "FrmLog");
            EXPECT_EQ(window.windowTitle(), "Log");
            EXPECT_TRUE(window.mmLog->isReadOnly());
            EXPECT_EQ(window.Button1->text(), "OK");
            m_logTexts.push_back(window.mmLog->toPlainText());
        });
    }
    void TearDown() override {
        SetWindowRunFileSystem(nullptr);
        SetMessageHook({});
        TFrmLog::SetShowHook({});
    }

    // Lists the folder through the tree, as a user choosing it would.
    void Scan(std::size_t expectedRows) {
        test::Find<FolderTree>(m_form, "ShellTree")
            ->SetPath(QString::fromStdString(m_files.Path()));
        test::RunCommand(m_form, "ActRefresh");
        WaitForRows(expectedRows);
    }
    // Empty files of these names, listed.
    void ScanNewFiles(std::initializer_list<const char*> names) {
        for (const char* name : names)
            m_files.Write(name);
        Scan(names.size());
    }
    // Until the scan has ended with that many rows.
    void WaitForRows(std::size_t expectedRows) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return SearchCount() == 0 &&
                       test::Find<FileListModel>(m_form, "ListModel")->Rows().size() ==
                           expectedRows;
            },
            10000));
    }
    void ShowPage(RulePage page) {
        test::Find<QTabWidget>(m_form, "pgcGeneral")->setCurrentIndex(TabIndexOf(page));
    }
    void Tick(const char* box) { test::Find<QCheckBox>(m_form, box)->setChecked(true); }
    std::string LogFileText() const { return test::ReadFile(m_settings.Path() + "Log.txt"); }

    int SearchCount() const {
        return test::Find<ScanController>(m_form, "ScanController")->SearchCount();
    }
    bool Enabled(const char* action) const {
        return test::Find<QAction>(m_form, action)->isEnabled();
    }

    // Insert page: "new_" before every name.
    void PreviewPrefix() { PreviewPrefix(m_form); }
    static void PreviewPrefix(TMainForm& form) {
        test::Find<QTabWidget>(form, "pgcGeneral")->setCurrentIndex(TabIndexOf(RulePage::Insert));
        test::Find<QLineEdit>(form, "meSource")->setText("new_");
        test::Find<QSpinBox>(form, "meindex")->setValue(1);
        test::ReachIdle();
        ASSERT_TRUE(test::Find<QAction>(form, "ActPreview")->isEnabled());
        test::RunCommand(form, "ActPreview");
    }

    QString Header(int column) const {
        return test::Find<FileListModel>(m_form, "ListModel")
            ->headerData(column, Qt::Horizontal)
            .toString();
    }

    const FileRow* RowNamed(const std::string& name) const {
        for (const FileRow& row : test::Find<FileListModel>(m_form, "ListModel")->Rows())
            if (row.originalName == name)
                return &row;
        return nullptr;
    }

    // New names of the test's choosing, by original name (the other rows get
    // none), with no row selected, as after a scan. A preview first, so Apply
    // is offered as it is to a user.
    void NameRows(const std::map<std::string, std::string>& names) {
        PreviewPrefix();
        auto* model = test::Find<FileListModel>(m_form, "ListModel");
        for (std::size_t row = 0; row < model->Rows().size(); ++row) {
            const auto named = names.find(model->Rows()[row].originalName);
            model->SetNewName(row, named == names.end() ? std::string() : named->second);
        }
        model->ChangeSelection([](FileRows& rows) {
            for (FileRow& row : rows)
                row.selected = false;
        });
        test::ReachIdle();
    }

    bool ProgressBarLeft() const {
        return m_form.findChild<QProgressBar*>("RunProgressBar") == nullptr;
    }

    test::TempDir m_files;
    test::TempDir m_settings;
    TMainForm m_form;
    std::vector<MessageRequest> m_boxes;
    std::vector<QString> m_logTexts;
    MsgAnswer m_answer = MsgAnswer::Ok;
};

} // namespace quorvane
