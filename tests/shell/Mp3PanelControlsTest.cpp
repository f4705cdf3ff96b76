// The MP3 panel's format controls: captions, initial states, the option boxes
// that follow their ticks, "Add Format", the number filter and what Preview reads.
#include "shell/Mp3PanelControls.h"

#include "mp3/Mp3NameFormatter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "support/Combo.h"
#include "support/Input.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::ItemsOf;

TEST(Mp3PanelControlsTest, InitialStates) {
    struct Case {
        const char* name;
        bool editable;
        bool enabled;
        QString text;
        QStringList items;
    };
    const Case cases[] = {
        {"cbFormat", true, true, "%1 %3 %2", {"%2", "%1 %2", "%3 %2", "%1 %3 %2"}},
        {"cbSpace",
         false,
         false,
         "",
         {"Replace with Hyphen ", "Replace with underscores", "Delete Spaces"}},
        {"cbCase",
         false,
         false,
         "",
         {"Capitalize First Letters", "ALL UPPER CASE", "all lower case"}},
        {"cbEmulation", true, false, "001", {"01", "001", "0001", "00001", "000001", "0000001"}},
    };
    Mp3PanelControls panel;
    for (const Case& c : cases) {
        auto* combo = panel.findChild<QComboBox*>(c.name);
        ASSERT_NE(combo, nullptr) << c.name;
        EXPECT_EQ(combo->isEditable(), c.editable) << c.name;
        EXPECT_EQ(combo->isEnabled(), c.enabled) << c.name;
        EXPECT_EQ(combo->currentText(), c.text) << c.name;
        EXPECT_EQ(ItemsOf(combo), c.items) << c.name;
    }
    EXPECT_EQ(panel.cbSpace->currentIndex(), -1);
    EXPECT_EQ(panel.cbCase->currentIndex(), -1);

    const std::pair<const char*, const char*> checks[] = {
        {"ChkSpace", "Spaces"}, {"ChkCase", "Case"}, {"chkAddPre", "Add number at the beginning"}};
    for (const auto& [name, text] : checks) {
        auto* box = panel.findChild<QCheckBox*>(name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->text(), text);
        EXPECT_FALSE(box->isChecked()) << name;
    }
    auto* addFormat = panel.findChild<QToolButton*>("Image2");
    ASSERT_NE(addFormat, nullptr);
    EXPECT_EQ(addFormat->toolTip(), "Add Format");
}

TEST(Mp3PanelControlsTest, LabelAndLegend) {
    Mp3PanelControls panel;
    bool labelled = false;
    for (const QLabel* label : panel.findChildren<QLabel*>())
        labelled |= label->text() == "Format :      " && label->buddy() == panel.cbFormat;
    EXPECT_TRUE(labelled);

    ASSERT_NE(panel.grpFormatSetting, nullptr);
    EXPECT_EQ(panel.grpFormatSetting->title(), "Format Setting");
    QStringList legend;
    for (const QLabel* label : panel.grpFormatSetting->findChildren<QLabel*>())
        legend << label->text();
    EXPECT_EQ(legend, QStringList({"%1 = ID3 Artist", "%2 = ID3 Title", "%3 = ID3 Album",
                                   "%4 = ID3 Year", "%5 = ID3 Genre", "%6 = ID3 Comment",
                                   "%7 = ID3 Track", "%N = File Name"}));
}

TEST(Mp3PanelControlsTest, OptionBoxesFollowTheirTicks) {
    Mp3PanelControls panel;
    ASSERT_TRUE(test::Activate(&panel));
    const std::pair<QCheckBox*, QComboBox*> pairs[] = {
        {panel.ChkSpace, panel.cbSpace},
        {panel.ChkCase, panel.cbCase},
        {panel.chkAddPre, panel.cbEmulation},
    };
    for (const auto& [tick, option] : pairs) {
        test::ClickButton(tick);
        EXPECT_TRUE(option->isEnabled()) << tick->objectName().toStdString();
        test::ClickButton(tick);
        EXPECT_FALSE(option->isEnabled()) << tick->objectName().toStdString();
        tick->setChecked(true); // as the settings load does
        EXPECT_TRUE(option->isEnabled()) << tick->objectName().toStdString();
    }
    // Space on the focused tick works the same, press after press.
    panel.ChkSpace->setChecked(false);
    ASSERT_EQ(test::FocusByTab(panel.ChkSpace), panel.ChkSpace);
    for (bool ticked : {true, false, true, false}) {
        test::PressKey(Qt::Key_Space);
        EXPECT_EQ(panel.ChkSpace->isChecked(), ticked);
        EXPECT_EQ(panel.cbSpace->isEnabled(), ticked);
    }
}

TEST(Mp3PanelControlsTest, AddFormatKeepsANewFormatOnce) {
    struct Case {
        const char* typed;
        bool added;
    };
    const Case cases[] = {
        {"%1 - %2", true}, {"%1 - %2", false}, // already there
        {"%n", true},      {"%N", false},      // same without regard to letter case
        {"", false},       {"%1 %2", false},   // a built-in item
    };
    Mp3PanelControls panel;
    ASSERT_TRUE(test::Activate(&panel));
    for (const Case& c : cases) {
        const int before = panel.cbFormat->count();
        panel.cbFormat->setEditText(c.typed);
        test::ClickAt(panel.Image2);
        EXPECT_EQ(panel.cbFormat->count(), before + (c.added ? 1 : 0)) << c.typed;
        EXPECT_EQ(panel.cbFormat->currentText(), c.typed);
        if (c.added) {
            EXPECT_EQ(panel.cbFormat->itemText(before), c.typed);
        }
    }
}

TEST(Mp3PanelControlsTest, NumberBoxTakesDigitsOnly) {
    Mp3PanelControls panel;
    ASSERT_TRUE(test::Activate(&panel));
    panel.chkAddPre->setChecked(true);
    panel.cbEmulation->setEditText("");
    ASSERT_EQ(test::FocusByTab(panel.cbEmulation), panel.cbEmulation);
    test::TypeText("0a5-x.9");
    EXPECT_EQ(panel.cbEmulation->currentText(), "059");
    test::PressKey(Qt::Key_Backspace);
    EXPECT_EQ(panel.cbEmulation->currentText(), "05");
}

TEST(Mp3PanelControlsTest, EnterDoesNotAddTheFormat) {
    Mp3PanelControls panel;
    ASSERT_TRUE(test::Activate(&panel));
    panel.cbFormat->setEditText("");
    ASSERT_EQ(test::FocusByTab(panel.cbFormat), panel.cbFormat);
    test::TypeText("%7 %2");
    test::PressKey(Qt::Key_Return);
    EXPECT_EQ(panel.cbFormat->currentText(), "%7 %2");
    EXPECT_EQ(panel.cbFormat->count(), 4);
}

TEST(Mp3PanelControlsTest, ReadsTheSettingsPreviewUses) {
    Mp3PanelControls panel;
    Mp3NameSettings initial = panel.ReadMp3Settings();
    EXPECT_EQ(initial.format, "%1 %3 %2");
    EXPECT_FALSE(initial.caseOn);
    EXPECT_EQ(initial.caseIndex, -1);
    EXPECT_FALSE(initial.numberOn);
    EXPECT_EQ(initial.numberText, "001");
    EXPECT_FALSE(initial.spaceOn);
    EXPECT_EQ(initial.spaceIndex, -1);

    panel.cbFormat->setEditText("%N");
    panel.ChkCase->setChecked(true);
    panel.cbCase->setCurrentIndex(kMp3CaseUpper);
    panel.chkAddPre->setChecked(true);
    panel.cbEmulation->setEditText("05");
    panel.ChkSpace->setChecked(true);
    panel.cbSpace->setCurrentIndex(kMp3SpaceDelete);
    const Mp3NameSettings s = panel.ReadMp3Settings();
    EXPECT_EQ(s.format, "%N");
    EXPECT_TRUE(s.caseOn);
    EXPECT_EQ(s.caseIndex, kMp3CaseUpper);
    EXPECT_TRUE(s.numberOn);
    EXPECT_EQ(s.numberText, "05");
    EXPECT_TRUE(s.spaceOn);
    EXPECT_EQ(s.spaceIndex, kMp3SpaceDelete);
}

} // namespace
} // namespace quorvane
