// The main window offscreen: named controls, the panel state machine, the
// View menu, help and links, the About box.
#include "shell/TMainForm.h"

#include "platform/Paths.h"
#include "shell/RulePages.h"
#include "shell/TAboutForm.h"
#include "shell/VendorLinks.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"
#include "widgets/HyperlinkLabel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

using test::Find;

using test::TempDir;
using test::UrlSpy;
using test::Window;

QString TextOf(QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object))
        return action->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(object))
        return label->text();
    if (auto* menu = qobject_cast<QMenu*>(object))
        return menu->title();
    if (auto* dock = qobject_cast<QDockWidget*>(object))
        return dock->windowTitle();
    return QString();
}

// Controls with a text of their own: the name, the text.
const std::pair<const char*, const char*> kNamedTexts[] = {
    {"TbFile", "&File"},
    {"TbView", "&View"},
    {"TbOperate", "&Operate"},
    {"TbHelp", "&Help"},
    {"TbRenameFiles", "Rename File(s)"},
    {"TbRenameMp3", "Rename MP3"},
    {"TbPreview", "Preview"},
    {"TbApply", "Apply"},
    {"TbUndo", "Undo"},
    {"TbRefresh", "Refresh"},
    {"lblPath", "Path:   "},
    {"lblFilter", "Filter:   "},
    {"TbIncludeSub", "Include Subfolders"},
    {"TB97Rename", "File Renaming Panel"},
    {"TB97Mp3", "MP3 Tag Renaming Panel"},
    {"TbRenameApply", "Apply"},
    {"TbMp3Apply", "Apply "},
    {"TbMp3Undo", "Undo "},
    {"ExitMenuItem", "E&xit"},
    {"ViewButtonMenuItem", "&Toolbars  "},
    {"statusbarMenuItem", "&Status Bar "},
    {"PathMenuItem", "Path"},
    {"FilterMenuItem", "Filter"},
    {"IncludeSubfoldersMenuItem", "Include Subfolders"},
    {"FilesPanelsMenuItem", "File   Panel Only"},
    {"MP3PanelsMenuItem", "MP3  Panel Only"},
    {"mmiArrangeIcons", "Arrange Icons"},
    {"pmiArrangeIcons", "&Arrange Icons"},
    {"mmiByName", "By &Name"},
    {"mmiAutoArrange", "&Auto Arrange"},
    {"mmiLog", "Log(&L)"},
    {"mmiInvertSelect", "&Invert Select "},
    {"mmiUserManual", "User &Manual"},
    {"HomPageMenuItem", "Visit Web &Site"},
    {"EmailMenuItem", "&Contact us"},
    {"FAQinInternet1", "&FAQ in Internet"},
    {"pmiPreview", "&Preview"},
    {"pmiApply", "A&pply"},
    {"pmiRefresh", "&Refresh"},
};

// Named parts of the window without a text to check.
const char* const kNamedParts[] = {
    "ToolBar1",      "ToolBarOperate",     "cbFavorite", "cbFilter",   "Sp1",
    "ShellTree",     "ListView",           "Dock971",    "StatusBar",  "PopupMenu1",
    "ActPreview",    "ActRename",          "ActUndo",    "ActRefresh", "ActSelectAll",
    "ActSelectNone", "ActionSelectInvert", "ActDelete",  "ActHelp",    "ActRefreshTree",
    "pgcGeneral",    "cbFormat",
};

TEST(MainForm, NamedControlsShowTheirTexts) {
    Window window;
    for (const auto& [name, text] : kNamedTexts) {
        QObject* object = window.form.findChild<QObject*>(name);
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(TextOf(object), text) << name;
    }
    for (const char* name : kNamedParts)
        EXPECT_NE(window.form.findChild<QObject*>(name), nullptr) << name;

    TMainForm& form = window.form;
    EXPECT_EQ(form.windowTitle(), "Quorvane");
    EXPECT_EQ(form.size(), QSize(667, 500));
    EXPECT_EQ(Find<FileListView>(form, "ListView")->toolTip(), "Renaming file list");
    EXPECT_EQ(Find<FileListView>(form, "ListView")->accessibleName(), "Renaming file list");
    EXPECT_EQ(Find<FolderTree>(form, "ShellTree")->accessibleName(), "Folder Tree");
    EXPECT_EQ(Find<QComboBox>(form, "cbFilter")->currentText(), "*.*");
    EXPECT_EQ(Find<QComboBox>(form, "cbFilter")->count(), 12);
    EXPECT_EQ(Find<QComboBox>(form, "cbFilter")->itemText(11), "*.RAM");
    EXPECT_EQ(Find<QToolButton>(form, "TbPreview")->toolTip(),
              "Preview New Name for current format setting ");
    EXPECT_EQ(Find<QToolButton>(form, "TbMp3Refresh")->toolTip(), "Refresh the File list ");
    EXPECT_EQ(Find<FloatingPanel>(form, "TB97Rename")->toolTip(),
              "Double click to locate the Floating Panel to the default Dock");
    form.show();
    EXPECT_EQ(Find<QSplitter>(form, "Sp1")->sizes().value(0), 117);
    const int widths[] = {120, 120, 200, 300};
    QLabel* panels[] = {Find<QLabel>(form, "StatusPanel0"), Find<QLabel>(form, "StatusPanel1"),
                        Find<QLabel>(form, "StatusPanel2"), Find<QLabel>(form, "StatusPanel3")};
    // The last panel gives way in a narrow window and has its full width in a wide one.
    EXPECT_EQ(form.minimumSizeHint().width() <= 660, true) << form.minimumSizeHint().width();
    form.resize(1000, 500);
    QApplication::processEvents();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(panels[i]->width(), widths[i]);
    EXPECT_EQ(Find<QToolButton>(form, "TbRenameFiles")->minimumSize(), QSize(77, 52));
    EXPECT_EQ(Find<QToolBar>(form, "ToolBarOperate")->iconSize(), QSize(32, 32));
    // Every large button has a picture.
    for (QToolButton* button :
         {Find<QToolButton>(form, "TbRenameFiles"), Find<QToolButton>(form, "TbRenameMp3"),
          Find<QToolButton>(form, "TbPreview"), Find<QToolButton>(form, "TbApply"),
          Find<QToolButton>(form, "TbUndo"), Find<QToolButton>(form, "TbRefresh")})
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
}

TEST(MainForm, ShortcutsBelongToTheActions) {
    Window window;
    TMainForm& form = window.form;
    struct Case {
        QAction* action;
        QKeySequence keys;
    } cases[] = {
        {Find<QAction>(form, "ActSelectAll"), QKeySequence("Ctrl+A")},
        {Find<QAction>(form, "ActSelectNone"), QKeySequence("Ctrl+Z")},
        {Find<QAction>(form, "ActionSelectInvert"), QKeySequence("Ctrl+I")},
        {Find<QAction>(form, "ActHelp"), QKeySequence("F1")},
        {Find<QAction>(form, "ActRefreshTree"), QKeySequence("F5")},
        {Find<QAction>(form, "ActPreview"), QKeySequence()},
        {Find<QAction>(form, "ActUndo"), QKeySequence()},
        {Find<QAction>(form, "ActDelete"), QKeySequence()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.action->shortcut(), c.keys) << c.action->objectName().toStdString();
        EXPECT_NE(c.action->shortcutContext(), Qt::WidgetShortcut);
    }
}

// A key pressed with the focus on a control, by their names.
struct ShortcutCase {
    const char* focus;
    const char* action;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool runs;
};

const ShortcutCase kShortcutCases[] = {
    {"ListView", "ActSelectNone", Qt::Key_Z, Qt::ControlModifier, true},
    {"ListView", "ActSelectAll", Qt::Key_A, Qt::ControlModifier, true},
    {"ListView", "ActionSelectInvert", Qt::Key_I, Qt::ControlModifier, true},
    {"ListView", "ActHelp", Qt::Key_F1, Qt::NoModifier, true},
    {"ListView", "ActRefreshTree", Qt::Key_F5, Qt::NoModifier, true},
    {"ShellTree", "ActSelectAll", Qt::Key_A, Qt::ControlModifier, true},
    {"ShellTree", "ActRefreshTree", Qt::Key_F5, Qt::NoModifier, true},
    {"cbFilter", "ActRefreshTree", Qt::Key_F5, Qt::NoModifier, true},
    {"cbFilter", "ActHelp", Qt::Key_F1, Qt::NoModifier, true},
    {"cbFilter", "ActionSelectInvert", Qt::Key_I, Qt::ControlModifier, true},
    // In a text box these keys keep their editing meaning: select the
    // text, take back the typing.
    {"cbFavorite", "ActSelectAll", Qt::Key_A, Qt::ControlModifier, false},
    {"cbFavorite", "ActSelectNone", Qt::Key_Z, Qt::ControlModifier, false},
    // The floating panels are windows of their own; the keys work there too.
    {"meindex", "ActRefreshTree", Qt::Key_F5, Qt::NoModifier, true},
    {"MFRB2", "ActSelectAll", Qt::Key_A, Qt::ControlModifier, true},
    {"MFRB2", "ActHelp", Qt::Key_F1, Qt::NoModifier, true},
};

TEST(MainForm, ShortcutsReachTheActionsWhereverTheFocusIs) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    FileRow row;
    row.originalName = "a.txt";
    for (const ShortcutCase& c : kShortcutCases) {
        QWidget* focus = Find<QWidget>(form, c.focus);
        QAction* action = Find<QAction>(form, c.action);
        const std::string what = std::string(c.focus) + " " + c.action;
        ASSERT_TRUE(test::Activate(focus->window())) << what;
        ASSERT_EQ(test::FocusByTab(focus), focus) << what;
        // F5 lists the (unchosen) folder again, which empties the list.
        if (Find<FileListModel>(form, "ListModel")->RowCount() == 0)
            Find<FileListModel>(form, "ListModel")->AppendRows({row});
        test::ReachIdle();
        ASSERT_TRUE(action->isEnabled()) << what;
        QSignalSpy triggered(action, &QAction::triggered);
        test::PressKey(c.key, c.modifiers);
        EXPECT_EQ(triggered.count(), c.runs ? 1 : 0) << what;
    }
}

QToolButton* CloseButtonOf(FloatingPanel* panel) {
    return panel->findChild<QToolButton*>(panel->objectName() + "Close");
}

// The panel states as the user sees them.
struct PanelState {
    bool files; // TB97Rename shown, Rename File(s) pressed, "File   Panel Only" ticked
    bool mp3;   // TB97Mp3 shown, Rename MP3 pressed, "MP3  Panel Only" ticked
    const char* filter;
};

void ExpectState(TMainForm& form, const PanelState& state, const std::string& step) {
    EXPECT_EQ(Find<FloatingPanel>(form, "TB97Rename")->Shown(), state.files) << step;
    EXPECT_EQ(Find<QToolButton>(form, "TbRenameFiles")->isChecked(), state.files) << step;
    EXPECT_EQ(Find<QAction>(form, "FilesPanelsMenuItem")->isChecked(), state.files) << step;
    EXPECT_EQ(Find<FloatingPanel>(form, "TB97Mp3")->Shown(), state.mp3) << step;
    EXPECT_EQ(Find<QToolButton>(form, "TbRenameMp3")->isChecked(), state.mp3) << step;
    EXPECT_EQ(Find<QAction>(form, "MP3PanelsMenuItem")->isChecked(), state.mp3) << step;
    EXPECT_EQ(Find<QComboBox>(form, "cbFilter")->currentText(), state.filter) << step;
    if (form.isVisible()) {
        EXPECT_EQ(Find<FloatingPanel>(form, "TB97Rename")->isVisible(), state.files) << step;
        EXPECT_EQ(Find<FloatingPanel>(form, "TB97Mp3")->isVisible(), state.mp3) << step;
    }
}

TEST(MainForm, PanelStateMachine) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    // Without a settings file the file renaming panel is shown.
    ExpectState(form, {true, false, "*.*"}, "start");

    enum Event { ClickFiles, ClickMp3, MenuFiles, MenuMp3, CloseFiles, CloseMp3 };
    struct Step {
        Event event;
        PanelState after;
    } steps[] = {
        {ClickMp3, {false, true, "*.mp3"}},  // file panel -> MP3 panel
        {ClickMp3, {false, false, "*.mp3"}}, // MP3 panel -> neither
        {ClickFiles, {true, false, "*.*"}},  // neither -> file panel
        {ClickFiles, {false, false, "*.*"}}, // file panel -> neither
        {MenuMp3, {false, true, "*.mp3"}},   // neither -> MP3 panel
        {MenuFiles, {true, false, "*.*"}},   // MP3 panel -> file panel
        {CloseFiles, {false, false, "*.*"}}, // close button keeps the filter
        {MenuMp3, {false, true, "*.mp3"}},
        {CloseMp3, {false, false, "*.mp3"}},
        {MenuFiles, {true, false, "*.*"}},
        {MenuMp3, {false, true, "*.mp3"}},  // file panel -> MP3 panel
        {MenuMp3, {false, false, "*.mp3"}}, // MP3 panel -> neither
    };
    int index = 0;
    for (const Step& step : steps) {
        switch (step.event) {
        case ClickFiles:
            test::ClickAt(Find<QToolButton>(form, "TbRenameFiles"));
            break;
        case ClickMp3:
            test::ClickAt(Find<QToolButton>(form, "TbRenameMp3"));
            break;
        case MenuFiles:
            ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(form, "TbView"),
                                                   {"FilesPanelsMenuItem"}));
            break;
        case MenuMp3:
            ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(form, "TbView"),
                                                   {"MP3PanelsMenuItem"}));
            break;
        case CloseFiles:
            test::ClickAt(CloseButtonOf(Find<FloatingPanel>(form, "TB97Rename")));
            break;
        case CloseMp3:
            test::ClickAt(CloseButtonOf(Find<FloatingPanel>(form, "TB97Mp3")));
            break;
        }
        ExpectState(form, step.after, "step " + std::to_string(index++));
    }
}

TEST(MainForm, PanelCloseButtonRunsTheCloseHandler) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    Find<QComboBox>(form, "cbFilter")->setEditText("*.txt");
    test::ClickAt(CloseButtonOf(Find<FloatingPanel>(form, "TB97Rename")));
    ExpectState(form, {false, false, "*.txt"}, "closed");
}

TEST(MainForm, ViewMenuTogglesControlAndTick) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    // A box is shown and hidden with the band that holds it.
    struct Case {
        const char* entry;
        const char* control;
        const char* band;
    } cases[] = {
        {"ViewButtonMenuItem", "ToolBarOperate", "ToolBarOperate"},
        {"statusbarMenuItem", "StatusBar", "StatusBar"},
        {"PathMenuItem", "cbFavorite", "ToolBarPath"},
        {"FilterMenuItem", "cbFilter", "ToolBarFilter"},
        {"IncludeSubfoldersMenuItem", "TbIncludeSub", "ToolBarIncludeSub"},
    };
    QToolButton* view = Find<QToolButton>(form, "TbView");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        auto* entry = Find<QAction>(form, c.entry);
        auto* control = Find<QWidget>(form, c.control);
        auto* band = Find<QWidget>(form, c.band);
        ASSERT_TRUE(entry->isChecked());
        ASSERT_FALSE(band->isHidden());
        ASSERT_TRUE(test::ChooseFromMenuButton(view, {c.entry}));
        EXPECT_FALSE(entry->isChecked());
        EXPECT_TRUE(band->isHidden());
        EXPECT_FALSE(control->isVisible());
        ASSERT_TRUE(test::ChooseFromMenuButton(view, {c.entry}));
        EXPECT_TRUE(entry->isChecked());
        EXPECT_TRUE(control->isVisible());
    }
}

TEST(MainForm, HintLineFollowsTheMouse) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    test::MoveMouseTo(Find<QToolButton>(form, "TbRenameMp3"));
    EXPECT_EQ(Find<QLabel>(form, "StatusPanel2")->text(), "Show/Hide MP3 Tag Renaming Panel");
    test::MoveMouseTo(Find<QToolButton>(form, "TbRenameFiles"), QPoint(5, 5));
    test::MoveMouseTo(Find<QToolButton>(form, "TbRenameFiles"), QPoint(20, 20));
    EXPECT_EQ(Find<QLabel>(form, "StatusPanel2")->text(), "Show/Hide File Renaming Panel");
    // The text stays until the other button replaces it.
    test::MoveMouseTo(Find<FileListView>(form, "ListView"));
    EXPECT_EQ(Find<QLabel>(form, "StatusPanel2")->text(), "Show/Hide File Renaming Panel");
}

TEST(MainForm, AboutIsAppendedOnceOnFirstShow) {
    Window window;
    TMainForm& form = window.form;
    EXPECT_EQ(form.findChild<QAction*>("mmiAbout"), nullptr);
    form.show();
    form.hide();
    form.show();
    QAction* about = Find<QAction>(form, "mmiAbout");
    const QList<QAction*> entries = Find<QMenu>(form, "mmHelp")->actions();
    EXPECT_EQ(entries.last(), about);
    EXPECT_EQ(entries.last()->text(), "About");
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](QAction* a) { return a->text() == "About"; }),
              1);
}

TEST(MainForm, HelpOpensTheManualOnlyWhenItExists) {
    Window window;
    ASSERT_TRUE(test::Activate(&window.form));
    UrlSpy spy;
    const TempDir manual;
    window.form.SetManualFolder(manual.Path());
    ASSERT_TRUE(
        test::ChooseFromMenuButton(Find<QToolButton>(window.form, "TbHelp"), {"mmiUserManual"}));
    EXPECT_TRUE(spy.opened.empty());
    const std::string index = manual.Write("index.html", "<html></html>");
    test::PressKey(Qt::Key_F1);
    ASSERT_EQ(spy.opened.size(), 1u);
    EXPECT_EQ(spy.opened[0], QUrl::fromLocalFile(QString::fromStdString(index)));
}

TEST(MainForm, VendorLinks) {
    Window window;
    ASSERT_TRUE(test::Activate(&window.form));
    UrlSpy spy;
    for (const char* entry : {"HomPageMenuItem", "FAQinInternet1", "EmailMenuItem"})
        ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(window.form, "TbHelp"), {entry}))
            << entry;
    ASSERT_EQ(spy.opened.size(), 3u);
    EXPECT_EQ(spy.opened[0].toString(), VendorWebSiteUrl().toString());
    EXPECT_EQ(spy.opened[1].toString(), VendorFaqUrl().toString());
    EXPECT_EQ(spy.opened[2].scheme(), "mailto");
    EXPECT_EQ(spy.opened[2].path(), VendorSupportAddress());
    EXPECT_EQ(QUrlQuery(spy.opened[2]).queryItemValue("subject", QUrl::FullyDecoded),
              "About QuorvaneV2.2");
}

TEST(AboutForm, TextsAndLinks) {
    UrlSpy spy;
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), "About Quorvane");
    EXPECT_EQ(about.size(), QSize(385, 308));
    EXPECT_EQ(about.GroupBox1->title(), "About");
    EXPECT_EQ(about.lblVersion->text(), "Quorvane V2.3 Bulid06182013");
    EXPECT_EQ(about.lblSupport->text(), "For support please visit our Support Page");
    EXPECT_EQ(about.lblWebSite->text(), "Web Site :");
    EXPECT_EQ(about.lblMailLine->text(), "questions,bug reports,comments?send mail to ");
    EXPECT_EQ(about.lblTechSupport->text(), "Tech Support:");
    EXPECT_EQ(about.ToolbarButton971->text(), "OK");
    EXPECT_EQ(about.ToolbarButton971->size(), QSize(65, 33));
    for (HyperlinkLabel* link : {about.KvLabelHome, about.KvLabelEMail}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::red));
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    ASSERT_TRUE(test::Activate(&about));
    test::ClickAt(about.KvLabelHome);
    test::ClickAt(about.KvLabelEMail);
    ASSERT_EQ(spy.opened.size(), 2u);
    EXPECT_EQ(spy.opened[0].toString(), VendorWebSiteUrl().toString());
    EXPECT_EQ(spy.opened[1].scheme(), "mailto");
    test::ClickAt(about.ToolbarButton971);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(MainForm, ExitClosesTheWindow) {
    Window window;
    ASSERT_TRUE(test::Activate(&window.form));
    ASSERT_TRUE(
        test::ChooseFromMenuButton(Find<QToolButton>(window.form, "TbFile"), {"ExitMenuItem"}));
    EXPECT_FALSE(window.form.isVisible());
}

} // namespace
} // namespace quorvane
