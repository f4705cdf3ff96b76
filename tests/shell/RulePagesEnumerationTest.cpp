// The enumeration page's live example, start values and key filter, and what
// Preview reads from the pages and writes back into them.
#include "shell/RulePages.h"

#include "rules/Preview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include "support/Combo.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/Rows.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::Find;
using test::ItemsOf;

// Keys typed into a box of the shown pages: it gets the focus as Tab gives it
// (which selects its text), the cursor goes to the end, and the keys go to
// whatever holds the focus, as they arrive from the keyboard.
void Type(QComboBox* box, const QString& text, bool backspaceFirst = false) {
    ASSERT_TRUE(test::Reach(box));
    ASSERT_EQ(test::FocusByTab(box), box) << test::NameOf(QApplication::focusWidget());
    test::PressKey(Qt::Key_End);
    if (backspaceFirst)
        test::PressKey(Qt::Key_Backspace);
    test::TypeText(text);
}

void ClearSpinText(QSpinBox* spin) {
    // What the user gets by selecting the number and pressing Delete.
    spin->findChild<QLineEdit*>()->clear();
}

using test::RowsNamed;

TEST(RulePagesEnumerationTest, SerialKindRefillsTheFiveStartValues) {
    struct Case {
        int kind;
        QStringList items;
        QString text;
    };
    const Case cases[] = {
        {1, {"a", "aa", "aaa", "aaaa", "aaaaa"}, "a"},
        {2, {"A", "AA", "AAA", "AAAA", "AAAAA"}, "A"},
        {0, {"1", "01", "001", "0001", "00001"}, "001"},
    };
    RulePages pages;
    Find<QLineEdit>(pages, "edtTemplate")->setText("img_");
    Find<QComboBox>(pages, "cbExt")->setEditText("jpg");
    for (const Case& c : cases) {
        Find<QComboBox>(pages, "meStartFrom")->setEditText("xyz");
        Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(c.kind);
        EXPECT_EQ(ItemsOf(Find<QComboBox>(pages, "meStartFrom")), c.items) << c.kind;
        EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), c.text) << c.kind;
        EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "img_" + c.text + ".jpg") << c.kind;
    }
}

TEST(RulePagesEnumerationTest, NoSerialKindEmptiesTheListButKeepsTheText) {
    RulePages pages;
    Find<QComboBox>(pages, "meStartFrom")->setEditText("0098");
    Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(-1);
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->count(), 0);
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), "0098");
}

TEST(RulePagesEnumerationTest, ExampleFollowsPrefixSuffixStartAndFixedPart) {
    RulePages pages;
    Find<QLineEdit>(pages, "edtTemplate")->setText("img_");
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "img_001.");
    Find<QLineEdit>(pages, "edtLast")->setText("_x");
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "img_001_x.");
    Find<QComboBox>(pages, "cbExt")->setEditText("jpg");
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "img_001_x.jpg");
    Find<QComboBox>(pages, "meStartFrom")->setEditText("5");
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "img_5_x.jpg");
    Find<QComboBox>(pages, "cbExt")
        ->setCurrentIndex(Find<QComboBox>(pages, "cbExt")->findText("mp3"));
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "img_5_x.mp3");

    Find<QComboBox>(pages, "CBApplyTo")->setCurrentIndex(1);
    EXPECT_EQ(Find<QLabel>(pages, "lblFileName")->text(), "FileName");
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "mp3.img_5_x");
    Find<QComboBox>(pages, "CBApplyTo")->setCurrentIndex(0);
    EXPECT_EQ(Find<QLabel>(pages, "lblFileName")->text(), "Extension");
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "img_5_x.mp3");
}

TEST(RulePagesEnumerationTest, StepDoesNotTouchTheExample) {
    RulePages pages;
    Find<QLineEdit>(pages, "edtTemplate")->setText("a");
    Find<QLineEdit>(pages, "EdtExample")->setText("left alone");
    Find<QSpinBox>(pages, "mestep")->setValue(7);
    EXPECT_EQ(Find<QLineEdit>(pages, "EdtExample")->text(), "left alone");
}

TEST(RulePagesEnumerationTest, StartBoxTakesOnlyCharactersOfTheSerialKind) {
    struct Case {
        int kind;
        const char* typed;
        const char* expected; // typed into an emptied box
    };
    const Case cases[] = {
        {0, "x", ""},    {0, "7", "7"},  {0, "1a2", "12"}, {1, "7", ""},     {1, "aB", "a"},
        {1, "zz", "zz"}, {2, "aB", "B"}, {2, "7Q", "Q"},   {-1, "x7", "x7"},
    };
    for (const Case& c : cases) {
        RulePages pages;
        Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(c.kind);
        Find<QComboBox>(pages, "meStartFrom")->setEditText("");
        Type(Find<QComboBox>(pages, "meStartFrom"), c.typed);
        EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), c.expected)
            << "kind " << c.kind << " typed " << c.typed;
    }
}

TEST(RulePagesEnumerationTest, BackspaceWorksInEveryKind) {
    RulePages pages;
    Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(1);
    Find<QComboBox>(pages, "meStartFrom")->setEditText("ab");
    Type(Find<QComboBox>(pages, "meStartFrom"), "", true);
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), "a");
}

// A start text from the stored list may hold characters of another kind; the
// user can still shorten and fix it, but not add more of them.
TEST(RulePagesEnumerationTest, ForeignStartTextCanBeEditedButNotExtended) {
    RulePages pages;
    Find<QComboBox>(pages, "meStartFrom")->setEditText("ab");
    Type(Find<QComboBox>(pages, "meStartFrom"), "", true);
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), "a");
    Type(Find<QComboBox>(pages, "meStartFrom"), "c5");
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), "a5");

    // After a change of kind the filter judges the new start text.
    Find<QComboBox>(pages, "meStartFrom")->setEditText("abc");
    Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(1);
    Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(0);
    Type(Find<QComboBox>(pages, "meStartFrom"), "x");
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), "001");
}

// ------------------------------------------------------------------ Preview

TEST(RulePagesEnumerationTest, PreviewSettingsReflectTheControls) {
    RulePages pages;
    pages.pgcGeneral->setCurrentIndex(TabIndexOf(RulePage::Replace));
    Find<QRadioButton>(pages, "MFRB4")->setChecked(true);
    Find<QRadioButton>(pages, "RB4")->setChecked(true);
    Find<QComboBox>(pages, "cbCaseEXT")->setEditText("jpg");
    Find<QLineEdit>(pages, "meSource")->setText(" v2");
    Find<QSpinBox>(pages, "meindex")->setValue(5);
    Find<QCheckBox>(pages, "cbFromEnd")->setChecked(true);
    Find<QSpinBox>(pages, "edtIndex")->setValue(3);
    Find<QSpinBox>(pages, "edtCount")->setValue(10);
    Find<QLineEdit>(pages, "edsource")->setText("a");
    Find<QLineEdit>(pages, "edTarget")->setText("b ");
    Find<QRadioButton>(pages, "rdbRemove")->setChecked(true);
    Find<QCheckBox>(pages, "chkAllSub")->setChecked(false);
    Find<QCheckBox>(pages, "chkEntireName")->setChecked(false);
    Find<QComboBox>(pages, "CBApplyTo")->setCurrentIndex(1);
    Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(2);
    Find<QSpinBox>(pages, "mestep")->setValue(3);
    Find<QLineEdit>(pages, "edtTemplate")->setText("P");
    Find<QLineEdit>(pages, "edtLast")->setText("X");
    Find<QComboBox>(pages, "cbExt")->setEditText("photo");

    const PreviewSettings s = pages.ReadPreviewSettings();
    EXPECT_EQ(s.activePage, RulePage::Replace);
    EXPECT_EQ(s.caseAndExtension.nameCase, NameCase::CapitalizeWords);
    EXPECT_EQ(s.caseAndExtension.extensionCase, ExtensionCase::NewExtension);
    EXPECT_EQ(s.caseAndExtension.newExtension, "jpg");
    EXPECT_EQ(s.insert.text, " v2");
    EXPECT_EQ(s.insert.position, "5");
    EXPECT_TRUE(s.insert.fromEnd);
    EXPECT_EQ(s.deletion.position, "3");
    EXPECT_EQ(s.deletion.count, "10");
    EXPECT_FALSE(s.deletion.fromEnd);
    EXPECT_EQ(s.replace.search, "a");
    EXPECT_EQ(s.replace.replacement, "b ");
    EXPECT_EQ(s.replace.mode, ReplaceMode::Remove);
    EXPECT_FALSE(s.replace.allOccurrences);
    EXPECT_FALSE(s.replace.entireName);
    EXPECT_EQ(s.enumeration.applyTo, 1);
    EXPECT_EQ(s.enumeration.serialKind, 2);
    EXPECT_EQ(s.enumeration.step, "3");
    EXPECT_EQ(s.enumeration.prefix, "P");
    EXPECT_EQ(s.enumeration.suffix, "X");
    EXPECT_EQ(s.enumeration.startFrom, "A");
    EXPECT_EQ(s.enumeration.fixedPart, "photo");
}

TEST(RulePagesEnumerationTest, NoRadioCheckedReadsAsNone) {
    RulePages pages;
    for (QRadioButton* b : {Find<QRadioButton>(pages, "MFRB1"), Find<QRadioButton>(pages, "RB1"),
                            Find<QRadioButton>(pages, "rdbReplace")}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
    }
    const PreviewSettings s = pages.ReadPreviewSettings();
    EXPECT_EQ(s.caseAndExtension.nameCase, NameCase::None);
    EXPECT_EQ(s.caseAndExtension.extensionCase, ExtensionCase::None);
    EXPECT_EQ(s.replace.mode, ReplaceMode::None);
}

TEST(RulePagesEnumerationTest, EmptiedNumberBoxesAreReadEmptyAndRefilled) {
    struct Case {
        RulePage page;
        int kind;
        std::vector<const char*> emptied;
        std::vector<std::pair<const char*, const char*>> refilled; // box, text afterwards
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {RulePage::Enumeration,
         0,
         {"meStartFrom", "mestep"},
         {{"meStartFrom", "1"}, {"mestep", "1"}},
         {"1.", "2."}},
        {RulePage::Enumeration,
         1,
         {"meStartFrom", "mestep"},
         {{"meStartFrom", "a"}, {"mestep", "1"}},
         {"a.", "b."}},
        {RulePage::Enumeration, 2, {"meStartFrom"}, {{"meStartFrom", "A"}}, {"A.", "B."}},
        {RulePage::Insert, 0, {"meindex"}, {{"meindex", "1"}}, {"x.txt", "y.txt"}},
        {RulePage::Delete,
         0,
         {"edtIndex", "edtCount"},
         {{"edtIndex", "1"}, {"edtCount", "0"}},
         {"x.txt", "y.txt"}},
    };
    for (const Case& c : cases) {
        RulePages pages;
        Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(c.kind);
        pages.pgcGeneral->setCurrentIndex(TabIndexOf(c.page));
        for (const char* name : c.emptied) {
            if (auto* spin = pages.findChild<QSpinBox*>(name))
                ClearSpinText(spin);
            else
                pages.findChild<QComboBox*>(name)->setEditText("");
        }
        const PreviewSettings settings = pages.ReadPreviewSettings();
        if (c.page == RulePage::Enumeration) {
            EXPECT_EQ(settings.enumeration.startFrom, "");
        }

        FileRows rows = RowsNamed({"x.txt", "y.txt"});
        const PreviewResult result = PreviewFileRows(rows, settings);
        pages.ApplyRefills(result);
        for (const auto& [name, text] : c.refilled) {
            QWidget* box = pages.findChild<QWidget*>(name);
            const QString shown = qobject_cast<QSpinBox*>(box)
                                      ? qobject_cast<QSpinBox*>(box)->text()
                                      : qobject_cast<QComboBox*>(box)->currentText();
            EXPECT_EQ(shown, text) << "page " << TabIndexOf(c.page) << " box " << name;
        }
        ASSERT_EQ(rows.size(), c.names.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].newName, c.names[i]) << "page " << TabIndexOf(c.page) << " row " << i;
    }
}

TEST(RulePagesEnumerationTest, RefillsChooseMissingKindAndApplyTo) {
    RulePages pages;
    Find<QComboBox>(pages, "CBApplyTo")->setCurrentIndex(-1);
    Find<QComboBox>(pages, "CBAlpha")->setCurrentIndex(-1);
    PreviewResult result;
    result.outcome.enumeration.applyToResetToFileName = true;
    result.outcome.enumeration.serialKindResetToNumeric = true;
    pages.ApplyRefills(result);
    EXPECT_EQ(Find<QComboBox>(pages, "CBApplyTo")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>(pages, "CBAlpha")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->count(), 5);
}

} // namespace
} // namespace quorvane
