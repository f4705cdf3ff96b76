// The rule pages: captions, initial states, enabling handlers and what the
// window reads from them. Controls are found by their objectNames.
#include "shell/RulePages.h"

#include "platform/DirectorySearch.h"
#include "rules/InsertRule.h"
#include "rules/Preview.h"
#include "runs/AttributeRun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimeEdit>

#include "support/Combo.h"
#include "support/Input.h"

#include <gtest/gtest.h>
#include <utility>

namespace quorvane {
namespace {

template <typename T> T* Find(const QWidget& root, const char* name) {
    T* widget = root.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

using test::ItemsOf;

// A click on a control of the shown pages, its page brought to the front first.
void Click(QAbstractButton* button) {
    ASSERT_TRUE(test::Reach(button)) << test::NameOf(button);
    test::ClickButton(button);
}

const QStringList kExtensions = {"gif", "bmp", "jpeg", "jpg", "ogg", "ttf", "ipg", "doc",
                                 "txt", "htm", "html", "rar", "zip", "wma", "vqf", "mp3"};

TEST(RulePagesTest, PagesStandInOrder) {
    RulePages pages;
    auto* tabs = Find<QTabWidget>(pages, "pgcGeneral");
    ASSERT_NE(tabs, nullptr);
    const QStringList expected = {"Case/Extension", "Insert",      "Delete",   "Replace",
                                  "Attributes",     "Enumeration", "Date/Time"};
    ASSERT_EQ(tabs->count(), expected.size());
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(tabs->tabText(i), expected[i]);
    EXPECT_EQ(pages.ActivePage(), RulePage::Case);
}

TEST(RulePagesTest, ButtonCaptionsAndInitialStates) {
    struct Case {
        const char* name;
        const char* text;
        bool enabled;
        bool checked;
    };
    const Case cases[] = {
        {"MFRB1", "keep as is", true, true},
        {"MFRB2", "lower", true, false},
        {"MFRB3", "UPPER", true, false},
        {"MFRB4", "Capitalize First Letters", true, false},
        {"RB1", "keep as is", true, true},
        {"RB2", "lower", true, false},
        {"RB3", "UPPER", true, false},
        {"RB4", "New Extension :", true, false},
        {"cbFromEnd", "From  The End  Of  Filename.", true, false},
        {"cbEnd", "From  The End  Of  Filename.", true, false},
        {"rdbReplace", "Replace with", true, true},
        {"rdbRemove", "Remove", true, false},
        {"chkAllSub", "All occurrences  ", true, true},
        {"chkEntireName", "Change To Entire FileName", true, true},
        {"ChkChangeAttr", "Change Attributes", true, false},
        {"ChkReadOnly", "Read only ", false, false},
        {"chkArchive", "Archive", false, false},
        {"chkHidden", "Hidden", false, false},
        {"chksysfile", "System", false, false},
        {"TBSelect", "Select All", false, false},
        {"TbNo", "Select None", false, false},
        {"ChkSetTimeStamp", "Change Time Stamp", true, false},
        {"tb97TimeNow", "Current", false, false},
        {"rdbDateBefore", "Before the name", true, true},
        {"rdbDateAfter", "After the name", true, false},
        {"rdbDateInstead", "Instead of the name", true, false},
        {"chkDateFallback", "Use the modified time when a file has no date taken", true, true},
    };
    RulePages pages;
    for (const Case& c : cases) {
        auto* button = Find<QAbstractButton>(pages, c.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), c.text) << c.name;
        EXPECT_EQ(button->isEnabled(), c.enabled) << c.name;
        EXPECT_EQ(button->isChecked(), c.checked) << c.name;
    }
}

TEST(RulePagesTest, BoxesCarryTheirLabelsAsBuddies) {
    // The text of a label and the name of the box it is the buddy of.
    const std::pair<const char*, const char*> cases[] = {
        {"String   To   Insert  : ", "meSource"},
        {"At  Character  Position  : ", "meindex"},
        {"At Character Position : ", "edtIndex"},
        {"Number Of Character(s) :   ", "edtCount"},
        {" Search :", "edsource"},
        {"Set  Date:", "DateTimePicker1"},
        {"Set Time :", "DateTimePicker2"},
        {"Apply to :", "CBApplyTo"},
        {"Serial :", "CBAlpha"},
        {"Step : ", "mestep"},
        {"Prefix :", "edtTemplate"},
        {"Suffix :", "edtLast"},
        {"Start with : ", "meStartFrom"},
        {"Extension : ", "cbExt"},
        {"Example :", "EdtExample"},
        {"Date :", "cbDateSource"},
        {"Format :", "cbDateFormat"},
        {"Separator :", "edtDateSeparator"},
        {"Example :", "EdtDateExample"},
    };
    RulePages pages;
    const auto labels = pages.findChildren<QLabel*>();
    for (const auto& [text, buddy] : cases) {
        const QLabel* found = nullptr;
        for (const QLabel* label : labels) {
            if (label->text() == text && label->buddy() && label->buddy()->objectName() == buddy)
                found = label;
        }
        EXPECT_NE(found, nullptr) << text << " -> " << buddy;
    }
    EXPECT_EQ(Find<QLabel>(pages, "lblFileName")->buddy(), Find<QWidget>(pages, "cbExt"));
    // Boxes without a label of their own are named for screen readers.
    for (const char* name : {"cbCaseEXT", "edTarget"})
        EXPECT_FALSE(Find<QWidget>(pages, name)->accessibleName().isEmpty()) << name;
}

TEST(RulePagesTest, SpinBoxRangesAndStartValues) {
    struct Case {
        const char* name;
        int minimum;
        int maximum;
        int value;
    };
    const Case cases[] = {
        {"meindex", 1, 50, 1},
        {"edtIndex", 1, 50, 1},
        {"edtCount", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0},
        {"mestep", 1, 50, 1},
    };
    RulePages pages;
    for (const Case& c : cases) {
        auto* spin = Find<QSpinBox>(pages, c.name);
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(spin->minimum(), c.minimum) << c.name;
        EXPECT_EQ(spin->maximum(), c.maximum) << c.name;
        EXPECT_EQ(spin->value(), c.value) << c.name;
    }
}

// The rules parse the boxes' texts as ASCII digits, so a locale with digits of
// its own must not change what the boxes show.
TEST(RulePagesTest, NumberBoxesShowPlainDigitsInAnyLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    RulePages pages;
    Find<QSpinBox>(pages, "meindex")->setValue(12);
    QLocale::setDefault(saved);
    EXPECT_EQ(Find<QSpinBox>(pages, "meindex")->cleanText(), "12");
    EXPECT_EQ(pages.ReadPreviewSettings().insert.position, "12");
}

TEST(RulePagesTest, ComboItemsAndStartTexts) {
    RulePages pages;
    auto* caseExt = Find<QComboBox>(pages, "cbCaseEXT");
    EXPECT_TRUE(caseExt->isEditable());
    EXPECT_FALSE(caseExt->isEnabled());
    EXPECT_EQ(ItemsOf(caseExt), kExtensions);
    EXPECT_EQ(caseExt->currentText(), "");

    auto* fixedPart = Find<QComboBox>(pages, "cbExt");
    EXPECT_TRUE(fixedPart->isEditable());
    EXPECT_EQ(ItemsOf(fixedPart), kExtensions);
    EXPECT_EQ(fixedPart->currentText(), "");

    auto* applyTo = Find<QComboBox>(pages, "CBApplyTo");
    EXPECT_FALSE(applyTo->isEditable());
    EXPECT_EQ(ItemsOf(applyTo), QStringList({"FileName", "Extension"}));
    EXPECT_EQ(applyTo->currentIndex(), 0);

    auto* alpha = Find<QComboBox>(pages, "CBAlpha");
    EXPECT_FALSE(alpha->isEditable());
    EXPECT_EQ(ItemsOf(alpha),
              QStringList({"Numerical(001)", "Alphabetical(aa)", "Alphabetical(AA)"}));
    EXPECT_EQ(alpha->currentIndex(), 0);

    auto* start = Find<QComboBox>(pages, "meStartFrom");
    EXPECT_TRUE(start->isEditable());
    EXPECT_EQ(start->currentText(), "001");
    EXPECT_EQ(Find<QLabel>(pages, "lblFileName")->text(), "Extension : ");

    auto* example = Find<QLineEdit>(pages, "EdtExample");
    EXPECT_TRUE(example->isReadOnly());
    EXPECT_EQ(example->palette().color(QPalette::Base), QColor(182, 205, 231));
    EXPECT_EQ(example->text(), "001.");

    auto* dateSource = Find<QComboBox>(pages, "cbDateSource");
    EXPECT_FALSE(dateSource->isEditable());
    EXPECT_EQ(ItemsOf(dateSource), QStringList({"Date taken", "Modified", "Now"}));
    EXPECT_EQ(dateSource->currentIndex(), 0);
    auto* dateFormat = Find<QComboBox>(pages, "cbDateFormat");
    EXPECT_TRUE(dateFormat->isEditable());
    EXPECT_EQ(ItemsOf(dateFormat),
              QStringList({"%Y-%m-%d", "%Y%m%d_%H%M%S", "%Y-%m-%d %H.%M.%S", "%d.%m.%Y"}));
    EXPECT_EQ(dateFormat->currentText(), "%Y-%m-%d");
    EXPECT_EQ(Find<QLineEdit>(pages, "edtDateSeparator")->text(), " ");
    EXPECT_TRUE(Find<QLineEdit>(pages, "EdtDateExample")->isReadOnly());
}

// Enter in a free-text box must not add what was typed to its list.
TEST(RulePagesTest, EnterDoesNotGrowTheLists) {
    RulePages pages;
    for (const char* name : {"cbCaseEXT", "cbExt", "meStartFrom"}) {
        auto* combo = Find<QComboBox>(pages, name);
        combo->setEnabled(true);
        const int before = combo->count();
        combo->setEditText("7");
        ASSERT_TRUE(test::Reach(combo)) << name;
        ASSERT_EQ(test::FocusByTab(combo), combo) << name;
        test::PressKey(Qt::Key_Return);
        EXPECT_EQ(combo->count(), before) << name;
    }
}

TEST(RulePagesTest, NewExtensionBoxFollowsTheExtensionChoice) {
    RulePages pages;
    Click(Find<QRadioButton>(pages, "RB4"));
    EXPECT_TRUE(Find<QComboBox>(pages, "cbCaseEXT")->isEnabled());
    for (QRadioButton* other : {Find<QRadioButton>(pages, "RB1"), Find<QRadioButton>(pages, "RB2"),
                                Find<QRadioButton>(pages, "RB3")}) {
        Click(Find<QRadioButton>(pages, "RB4"));
        Click(other);
        EXPECT_FALSE(Find<QComboBox>(pages, "cbCaseEXT")->isEnabled())
            << other->objectName().toStdString();
    }
    // Setting a button by code, as the settings load does, runs the same reaction.
    Find<QRadioButton>(pages, "RB4")->setChecked(true);
    EXPECT_TRUE(Find<QComboBox>(pages, "cbCaseEXT")->isEnabled());
}

// The example puts the page's clock on a sample name as the rule would.
TEST(RulePagesTest, DateExampleFollowsFormatAndPosition) {
    RulePages pages;
    pages.SetClock([] { return QDateTime(QDate(2024, 5, 17), QTime(10, 30, 45)); });
    auto* format = Find<QComboBox>(pages, "cbDateFormat");
    auto* example = Find<QLineEdit>(pages, "EdtDateExample");
    EXPECT_EQ(example->text(), "2024-05-17 IMG_0001.jpg");
    ASSERT_TRUE(test::Reach(format));
    test::ClickAt(format->lineEdit());
    test::PressKey(Qt::Key_A, Qt::ControlModifier);
    test::TypeText("%d.%m.%Y_%H%M%S%%");
    EXPECT_EQ(example->text(), "17.05.2024_103045% IMG_0001.jpg");
    Click(Find<QRadioButton>(pages, "rdbDateAfter"));
    EXPECT_EQ(example->text(), "IMG_0001 17.05.2024_103045%.jpg");
    Click(Find<QRadioButton>(pages, "rdbDateInstead"));
    EXPECT_EQ(example->text(), "17.05.2024_103045%.jpg");
}

TEST(RulePagesTest, RemoveDisablesAndTintsTheReplacement) {
    RulePages pages;
    const QColor editColour =
        Find<QLineEdit>(pages, "edTarget")->palette().color(QPalette::Active, QPalette::Base);
    Click(Find<QRadioButton>(pages, "rdbRemove"));
    EXPECT_FALSE(Find<QRadioButton>(pages, "rdbReplace")->isChecked());
    EXPECT_FALSE(Find<QLineEdit>(pages, "edTarget")->isEnabled());
    EXPECT_NE(Find<QLineEdit>(pages, "edTarget")->palette().color(QPalette::Active, QPalette::Base),
              editColour);
    Click(Find<QRadioButton>(pages, "rdbReplace"));
    EXPECT_FALSE(Find<QRadioButton>(pages, "rdbRemove")->isChecked());
    EXPECT_TRUE(Find<QLineEdit>(pages, "edTarget")->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(pages, "edTarget")->palette().color(QPalette::Active, QPalette::Base),
              editColour);
}

TEST(RulePagesTest, ShownPageTakesTheFocusInItsFirstBox) {
    struct Case {
        RulePage page;
        const char* focused;
    };
    const Case cases[] = {
        {RulePage::Insert, "meSource"},
        {RulePage::Delete, "edtCount"},
        {RulePage::Replace, "edsource"},
    };
    RulePages pages;
    pages.show();
    pages.activateWindow();
    QApplication::setActiveWindow(&pages);
    for (const Case& c : cases) {
        pages.pgcGeneral->setCurrentIndex(TabIndexOf(RulePage::Case));
        pages.pgcGeneral->setCurrentIndex(TabIndexOf(c.page));
        ASSERT_NE(QApplication::focusWidget(), nullptr) << c.focused;
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focused);
    }
}

// ---------------------------------------------------------------- Attributes

TEST(RulePagesTest, ChangeAttributesEnablesItsSixControlsAndKeepsTheirTicks) {
    RulePages pages;
    const std::vector<QWidget*> six = {
        Find<QCheckBox>(pages, "ChkReadOnly"), Find<QCheckBox>(pages, "chkHidden"),
        Find<QCheckBox>(pages, "chkArchive"),  Find<QCheckBox>(pages, "chksysfile"),
        Find<QPushButton>(pages, "TBSelect"),  Find<QPushButton>(pages, "TbNo")};
    Click(Find<QCheckBox>(pages, "ChkChangeAttr"));
    for (QWidget* w : six)
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(Find<QPushButton>(pages, "tb97TimeNow")->isEnabled());

    Click(Find<QPushButton>(pages, "TBSelect"));
    EXPECT_EQ(pages.ReadAttributeRunSettings().attributes,
              kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    Click(Find<QCheckBox>(pages, "ChkChangeAttr"));
    for (QWidget* w : six)
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(Find<QCheckBox>(pages, "chkHidden")->isChecked());

    Click(Find<QCheckBox>(pages, "ChkChangeAttr"));
    Click(Find<QPushButton>(pages, "TbNo"));
    EXPECT_EQ(pages.ReadAttributeRunSettings().attributes, 0u);
}

TEST(RulePagesTest, CheckedAttributesIsTheWordOfTheFourBoxes) {
    struct Case {
        const char* box;
        std::uint32_t bit;
    };
    const Case cases[] = {{"ChkReadOnly", kAttrReadOnly},
                          {"chkHidden", kAttrHidden},
                          {"chksysfile", kAttrSystem},
                          {"chkArchive", kAttrArchive}};
    for (const Case& c : cases) {
        RulePages pages;
        Find<QCheckBox>(pages, c.box)->setChecked(true);
        EXPECT_EQ(pages.ReadAttributeRunSettings().attributes, c.bit) << c.box;
    }
}

TEST(RulePagesTest, ChangeTimeStampEnablesThePickersAndCurrentReadsTheClock) {
    RulePages pages;
    pages.SetClock([] { return QDateTime(QDate(2024, 5, 17), QTime(10, 30, 45)); });
    Click(Find<QCheckBox>(pages, "ChkSetTimeStamp"));
    for (QWidget* w : std::initializer_list<QWidget*>{Find<QDateEdit>(pages, "DateTimePicker1"),
                                                      Find<QTimeEdit>(pages, "DateTimePicker2"),
                                                      Find<QPushButton>(pages, "tb97TimeNow")})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(Find<QPushButton>(pages, "TBSelect")->isEnabled());

    Click(Find<QPushButton>(pages, "tb97TimeNow"));
    EXPECT_EQ(Find<QDateEdit>(pages, "DateTimePicker1")->date(), QDate(2024, 5, 17));
    EXPECT_EQ(Find<QTimeEdit>(pages, "DateTimePicker2")->time(), QTime(10, 30, 45));

    Click(Find<QCheckBox>(pages, "ChkSetTimeStamp"));
    EXPECT_FALSE(Find<QDateEdit>(pages, "DateTimePicker1")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(pages, "tb97TimeNow")->isEnabled());
}

TEST(RulePagesTest, TimeStampIsPackedFromBothPickers) {
    struct Case {
        QDate date;
        QTime time;
        std::uint32_t packed;
    };
    const Case cases[] = {
        // 2024-05-17: (44 << 9) | (5 << 5) | 17; 10:30:45 keeps 44 seconds.
        {QDate(2024, 5, 17), QTime(10, 30, 45),
         (((44u << 9) | (5u << 5) | 17u) << 16) | (10u << 11) | (30u << 5) | 22u},
        {QDate(1980, 1, 1), QTime(0, 0, 0), ((1u << 5) | 1u) << 16},
        {QDate(1979, 12, 31), QTime(23, 59, 59), 0u},
    };
    RulePages pages;
    for (const Case& c : cases) {
        Find<QDateEdit>(pages, "DateTimePicker1")->setDate(c.date);
        Find<QTimeEdit>(pages, "DateTimePicker2")->setTime(c.time);
        EXPECT_EQ(pages.ReadAttributeRunSettings().packedTimeStamp, c.packed)
            << c.date.toString().toStdString();
    }
}

TEST(RulePagesTest, AttributeRunSettingsFollowThePage) {
    RulePages pages;
    Find<QCheckBox>(pages, "ChkSetTimeStamp")->setChecked(true);
    Find<QCheckBox>(pages, "chkArchive")->setChecked(true);
    Find<QDateEdit>(pages, "DateTimePicker1")->setDate(QDate(2000, 2, 29));
    Find<QTimeEdit>(pages, "DateTimePicker2")->setTime(QTime(12, 0, 0));
    const AttributeRunSettings settings = pages.ReadAttributeRunSettings();
    EXPECT_FALSE(settings.changeAttributes);
    EXPECT_EQ(settings.attributes, kAttrArchive);
    EXPECT_TRUE(settings.changeTimeStamp);
    EXPECT_EQ(settings.packedTimeStamp, pages.ReadAttributeRunSettings().packedTimeStamp);
    EXPECT_NE(settings.packedTimeStamp, 0u);
}

} // namespace
} // namespace quorvane
