// "Read ID3v2 tags" on the MP3 panel, "Regular expression" on the Replace page
// and "Live Preview" in the View menu, as a user works them: clicked, kept in
// "Options.ini", and what they change in "New Name" and the hint panel.
#include "platform/IniFile.h"
#include "shell/TMainForm.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/RecordedBoxes.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace quorvane {
namespace {

using test::Find;

class TagAndPatternOptionsTest : public ::testing::Test {
protected:
    std::unique_ptr<TMainForm> Start() {
        auto window = std::make_unique<TMainForm>();
        window->SetSettingsFolder(m_settings.Path());
        window->show();
        return window;
    }
    static void Click(QAbstractButton* button) {
        ASSERT_TRUE(test::Reach(button));
        test::ClickButton(button);
    }
    static std::vector<std::string> NewNames(const TMainForm& form) {
        std::vector<std::string> names;
        for (const FileRow& row : test::ListOf(form).Rows())
            names.push_back(row.newName);
        return names;
    }

    test::RecordedBoxes m_boxes;
    test::TempDir m_settings;
};

TEST_F(TagAndPatternOptionsTest, TheThreeChoicesStartAtTheirDefaultsAndComeBack) {
    struct Choice {
        const char* control;
        bool byDefault;
        const char* section;
        const char* key;
    };
    const Choice choices[] = {
        {"chkReadId3v2", true, "Mp3Panel", "ReadId3v2"},
        {"chkRegExp", false, "Replace", "RegExp"},
        {"mmiLivePreview", false, "Main", "LivePreview"},
    };
    const auto ticked = [](const TMainForm& form, const char* name) {
        if (auto* entry = form.findChild<QAction*>(name))
            return entry->isChecked();
        return Find<QCheckBox>(form, name)->isChecked();
    };
    {
        const auto window = Start();
        for (const Choice& c : choices)
            EXPECT_EQ(ticked(*window, c.control), c.byDefault) << c.control;
        test::ClickAt(Find<QToolButton>(*window, "TbRenameMp3"));
        Click(Find<QCheckBox>(*window, "chkReadId3v2"));
        test::ClickAt(Find<QToolButton>(*window, "TbRenameFiles"));
        Click(Find<QCheckBox>(*window, "chkRegExp"));
        ASSERT_TRUE(test::Activate(window.get()));
        ASSERT_TRUE(
            test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbView"), {"mmiLivePreview"}));
        ASSERT_TRUE(
            test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbFile"), {"ExitMenuItem"}));
    }
    IniFile saved(m_settings.Path() + "Options.ini");
    ASSERT_TRUE(saved.Load());
    const auto window = Start();
    for (const Choice& c : choices) {
        EXPECT_EQ(saved.ReadString(c.section, c.key, "missing"), c.byDefault ? "0" : "1") << c.key;
        EXPECT_EQ(ticked(*window, c.control), !c.byDefault) << c.control;
    }
    EXPECT_TRUE(m_boxes.texts.isEmpty()) << m_boxes.texts.join(" | ").toStdString();
}

TEST_F(TagAndPatternOptionsTest, ReadId3v2TagsDecidesWhichTagNamesTheFile) {
    // mutagen writes an ID3v2.3 tag and an ID3v1 block that disagree.
    test::TempDir made;
    const int status = test::Shell(std::string("/usr/bin/python3 '") + QUORVANE_MP3_FIXTURE_SCRIPT +
                                   "' '" + made.Path() + "'");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        GTEST_SKIP() << "python3-mutagen is not installed (scripts/install-deps.sh installs it)";
    test::TempDir files;
    std::filesystem::copy_file(made.Path() + "both.mp3", files.Path() + "both.mp3");
    const auto window = Start();
    ASSERT_TRUE(test::ScanBySelecting(*window, files.Path()));
    ASSERT_TRUE(test::Activate(window.get()));
    test::ClickAt(Find<QToolButton>(*window, "TbRenameMp3"));

    auto* box = Find<QCheckBox>(*window, "chkReadId3v2");
    auto* preview = Find<QAbstractButton>(*window, "TbMp3Preview");
    struct Step {
        bool click; // on "Read ID3v2 tags" first
        bool ticked;
        const char* newName;
    };
    const Step steps[] = {
        {false, true, "Band Two-Tag Two.mp3"},
        {true, false, "Band One-Tag One.mp3"},
        {true, true, "Band Two-Tag Two.mp3"},
    };
    for (const Step& step : steps) {
        if (step.click)
            Click(box);
        ASSERT_EQ(box->isChecked(), step.ticked);
        Click(preview);
        EXPECT_EQ(NewNames(*window), std::vector<std::string>{step.newName}) << step.ticked;
    }
    // With "Live Preview" on, the click alone is enough.
    ASSERT_TRUE(test::Activate(window.get()));
    ASSERT_TRUE(
        test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbView"), {"mmiLivePreview"}));
    for (const Step& step : steps) {
        if (!step.click)
            continue;
        Click(box);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return NewNames(*window) == std::vector<std::string>{step.newName}; }, 5000))
            << step.ticked;
    }
}

TEST_F(TagAndPatternOptionsTest, AFaultyPatternLeavesNoNamesAndTellsWhereInTheHintPanel) {
    test::TempDir files;
    for (const char* name : {"ab.txt", "cd.txt"})
        files.Write(name);
    const auto window = Start();
    ASSERT_TRUE(test::ScanBySelecting(*window, files.Path()));
    Click(Find<QCheckBox>(*window, "chkRegExp"));
    auto* search = Find<QLineEdit>(*window, "edsource");
    auto* replacement = Find<QLineEdit>(*window, "edTarget");
    auto* hint = Find<QLabel>(*window, "StatusPanel2");
    struct Case {
        const char* search;
        const char* replacement;
        std::vector<std::string> newNames;
        const char* hint;
    };
    const Case cases[] = {
        {"(ab", "x", {"", ""}, "Regular expression error at offset 3: missing closing parenthesis"},
        {"a)",
         "x",
         {"", ""},
         "Regular expression error at offset 1: unmatched closing parenthesis"},
        {"(a)b", "$2", {"", ""}, "Replacement error at offset 0: there is no group 2"},
        // A sound pattern again takes the error away.
        {"^(.)(.)", "$2$1", {"ba.txt", "dc.txt"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        for (const auto& [edit, text] :
             {std::pair{search, c.search}, {replacement, c.replacement}}) {
            ASSERT_TRUE(test::Reach(edit));
            test::ClickAt(edit);
            test::PressKey(Qt::Key_A, Qt::ControlModifier);
            test::PressKey(Qt::Key_Backspace);
            test::TypeText(text);
            ASSERT_EQ(edit->text().toStdString(), text);
        }
        Click(Find<QAbstractButton>(*window, "TbRenamePreview"));
        EXPECT_EQ(NewNames(*window), c.newNames);
        EXPECT_EQ(hint->text().toStdString(), c.hint);
        QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(hint);
        EXPECT_EQ(panel->text(QAccessible::Name).toStdString(), c.hint);
    }
    EXPECT_TRUE(m_boxes.texts.isEmpty()) << m_boxes.texts.join(" | ").toStdString();
}

TEST_F(TagAndPatternOptionsTest, ARunawayPatternGivesUpOnItsNamesAndSaysHowMany) {
    // "(a+)+$" backtracks about 2^40 times on each of these 3,000 names before
    // it fails; "aa" and "b.txt" it answers at once.
    const std::string runaway = std::string(40, 'a') + "b";
    test::TempDir files;
    for (int i = 0; i < 3000; ++i)
        files.Write(runaway + std::to_string(i) + ".txt");
    files.Write("aa");
    files.Write("b.txt");
    const auto window = Start();
    ASSERT_TRUE(test::ScanBySelecting(*window, files.Path()));
    Click(Find<QCheckBox>(*window, "chkRegExp"));
    const auto type = [](QLineEdit* edit, const char* text) {
        ASSERT_TRUE(test::Reach(edit));
        test::ClickAt(edit);
        test::PressKey(Qt::Key_End);
        test::TypeText(text);
    };
    auto* search = Find<QLineEdit>(*window, "edsource");
    type(search, "(a+)+$");
    type(Find<QLineEdit>(*window, "edTarget"), "X");
    auto* hint = Find<QLabel>(*window, "StatusPanel2");
    // Rows the pattern gave up on get no name; the others theirs.
    const auto answered = [&] {
        const FileRows& rows = test::ListOf(*window).Rows();
        return std::all_of(rows.begin(), rows.end(), [](const FileRow& row) {
            if (row.originalName == "aa")
                return row.newName == "X";
            if (row.originalName == "b.txt")
                return row.newName == "b.txt";
            return row.newName.empty();
        });
    };
    const std::string said = "The pattern gave up on 3000 names.";
    Click(Find<QAbstractButton>(*window, "TbRenamePreview"));
    EXPECT_TRUE(answered());
    EXPECT_EQ(hint->text().toStdString(), said);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(hint)->text(QAccessible::Name).toStdString(),
              said);

    // Live preview takes the same way: without the "$" the pattern answers
    // every name and the hint goes; with it again the hint comes back.
    ASSERT_TRUE(test::Activate(window.get()));
    ASSERT_TRUE(
        test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbView"), {"mmiLivePreview"}));
    ASSERT_TRUE(test::Reach(search));
    test::ClickAt(search);
    test::PressKey(Qt::Key_End);
    test::PressKey(Qt::Key_Backspace);
    EXPECT_TRUE(QTest::qWaitFor([&] { return hint->text().isEmpty(); }, 60000));
    const FileRows& rows = test::ListOf(*window).Rows();
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(),
                             [](const FileRow& row) { return row.newName.empty(); }));
    test::TypeText("$");
    EXPECT_TRUE(QTest::qWaitFor([&] { return hint->text().toStdString() == said; }, 60000));
    EXPECT_TRUE(answered());
    EXPECT_TRUE(m_boxes.texts.isEmpty()) << m_boxes.texts.join(" | ").toStdString();
}

} // namespace
} // namespace quorvane
