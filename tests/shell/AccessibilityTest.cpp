// What a screen reader hears of the window: roles, names and the status
// texts through QAccessible, as the platform's accessibility bridge reads them.
#include "shell/Mp3PanelControls.h"
#include "shell/RulePages.h"
#include "shell/TMainForm.h"
#include "shell/TSearchThread.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/TempDir.h"
#include "widgets/FolderTree.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::Find;
using test::Window;

using test::TempDir;

bool IsTextBox(QAccessible::Role role) {
    return role == QAccessible::ComboBox || role == QAccessible::EditableText ||
           role == QAccessible::SpinBox;
}

// The name a screen reader gives a control. A text box is named by the
// label it is labelled by (a combo box's own name is its text here), any
// other control by its own name.
QString SpokenName(QWidget* widget) {
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
    if (!control)
        return QString();
    if (IsTextBox(control->role())) {
        const auto labels = control->relations(QAccessible::Label);
        if (!labels.isEmpty())
            return labels.first().first->text(QAccessible::Name).simplified();
    }
    return control->text(QAccessible::Name).simplified();
}

QAccessible::Role RoleOf(QWidget* widget) {
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
    return control ? control->role() : QAccessible::NoRole;
}

// No control a user can work is left without a name, whatever its page; a
// combo box is named by its label even when it shows a text.
void ExpectEveryControlNamed(TMainForm& form) {
    Find<QComboBox>(form, "cbFilter")->setEditText("*.txt");
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QAbstractItemView*>(widget) ||
            (qobject_cast<QLineEdit*>(widget) && widget->focusProxy() == nullptr &&
             !qobject_cast<QAbstractSpinBox*>(widget->parentWidget()));
        if (!control || widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
            continue;
        EXPECT_FALSE(SpokenName(widget).isEmpty()) << test::NameOf(widget);
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable()) {
            EXPECT_NE(SpokenName(widget).toStdString(), combo->currentText().toStdString())
                << test::NameOf(widget);
        }
    }
}

// A control by its name, with the role and the name a screen reader gives it.
struct SpokenControl {
    const char* name;
    QAccessible::Role role;
    const char* spoken;
};

TEST(Accessibility, NamedControlsHaveTheirRolesAndNames) {
    Window window;
    TMainForm& form = window.form;
    form.show();
    const SpokenControl cases[] = {
        {"TbFile", QAccessible::ButtonMenu, "File"},
        {"TbHelp", QAccessible::ButtonMenu, "Help"},
        {"TbRenameFiles", QAccessible::CheckBox, "Rename File(s)"},
        {"TbRenameMp3", QAccessible::CheckBox, "Rename MP3"},
        {"TbPreview", QAccessible::Button, "Preview"},
        {"TbApply", QAccessible::Button, "Apply"},
        {"TbUndo", QAccessible::Button, "Undo"},
        {"TbRefresh", QAccessible::Button, "Refresh"},
        {"cbFavorite", QAccessible::ComboBox, "Path:"},
        {"cbFilter", QAccessible::ComboBox, "Filter:"},
        {"TbIncludeSub", QAccessible::CheckBox, "Include Subfolders"},
        {"TbIncludeFolders", QAccessible::CheckBox, "Include Folders"},
        {"ShellTree", QAccessible::Tree, "Folder Tree"},
        {"ListView", QAccessible::Table, "Renaming file list"},
        {"TbRenamePreview", QAccessible::Button, "Preview"},
        {"TbMp3Apply", QAccessible::Button, "Apply"},
        {"TbMp3Refresh", QAccessible::Button, "Refresh"},
        {"TB97RenameClose", QAccessible::Button, "Close"},
        {"MFRB4", QAccessible::RadioButton, "Capitalize First Letters"},
        {"RB4", QAccessible::RadioButton, "New Extension :"},
        {"cbCaseEXT", QAccessible::ComboBox, "New Extension :"},
        {"meSource", QAccessible::EditableText, "String To Insert :"},
        {"meindex", QAccessible::SpinBox, "At Character Position :"},
        {"cbFromEnd", QAccessible::CheckBox, "From The End Of Filename."},
        {"edtIndex", QAccessible::SpinBox, "At Character Position :"},
        {"edtCount", QAccessible::SpinBox, "Number Of Character(s) :"},
        {"edsource", QAccessible::EditableText, "Search :"},
        {"edTarget", QAccessible::EditableText, "Replace with"},
        {"chkRegExp", QAccessible::CheckBox, "Regular expression"},
        {"ChkChangeAttr", QAccessible::CheckBox, "Change Attributes"},
        {"DateTimePicker1", QAccessible::SpinBox, "Set Date:"},
        {"TBSelect", QAccessible::Button, "Select All"},
        {"CBApplyTo", QAccessible::ComboBox, "Apply to :"},
        {"CBAlpha", QAccessible::ComboBox, "Serial :"},
        {"mestep", QAccessible::SpinBox, "Step :"},
        {"meStartFrom", QAccessible::ComboBox, "Start with :"},
        {"cbExt", QAccessible::ComboBox, "Extension"},
        {"EdtExample", QAccessible::EditableText, "Example :"},
        {"cbFormat", QAccessible::ComboBox, "Format :"},
        {"Image2", QAccessible::Button, "Add Format"},
        {"ChkCase", QAccessible::CheckBox, "Case"},
        {"cbCase", QAccessible::ComboBox, "Case"},
        {"cbSpace", QAccessible::ComboBox, "Spaces"},
        {"cbEmulation", QAccessible::ComboBox, "Add number at the beginning"},
        {"chkReadId3v2", QAccessible::CheckBox, "Read ID3v2 tags"},
    };
    for (const SpokenControl& c : cases) {
        auto* widget = form.findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(RoleOf(widget), c.role) << c.name;
        EXPECT_EQ(SpokenName(widget).toStdString(), c.spoken) << c.name;
    }

    ExpectEveryControlNamed(form);
}

TEST(Accessibility, StatusPanelsAreReadByTheirTexts) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        dir.Write(name);
    Window window;
    TMainForm& form = window.form;
    form.show();
    ASSERT_TRUE(test::ScanBySelecting(form, dir.Path()));
    ASSERT_TRUE(test::Activate(&form)); // the progress window had the focus
    test::MoveMouseTo(Find<QToolButton>(form, "TbRenameMp3"));

    struct Case {
        QLabel* panel;
        const char* text;
    };
    const Case cases[] = {
        {Find<QLabel>(form, "StatusPanel0"), "Total files : 3"},
        {Find<QLabel>(form, "StatusPanel1"), "Selectd files : 0"},
        {Find<QLabel>(form, "StatusPanel2"), "Show/Hide MP3 Tag Renaming Panel"},
        {Find<QLabel>(form, "StatusPanel3"), ""},
        {Find<QLabel>(form, "StatusPanel4"), ""},
    };
    for (const Case& c : cases) {
        QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(c.panel);
        ASSERT_NE(panel, nullptr) << c.text;
        EXPECT_EQ(panel->role(), QAccessible::StaticText) << c.text;
        EXPECT_EQ(panel->text(QAccessible::Name).toStdString(), c.text);
        EXPECT_EQ(c.panel->text().toStdString(), c.text);
    }
}

} // namespace
} // namespace quorvane
