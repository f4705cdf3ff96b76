// The main window offscreen: named controls, the panel state machine, the
// View menu, help and links, the About box.
#include "shell/TMainForm.h"

#include "platform/Paths.h"
#include "shell/RulePages.h"
#include "shell/TAboutForm.h"
#include "shell/VendorLinks.h"
#include "support/Input.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
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
#include <vector>

namespace quorvane {
namespace {

using test::TempDir;

// Records the addresses handed to the desktop instead of opening them.
class UrlSpy : public QObject {
    Q_OBJECT
public:
    UrlSpy() {
        for (const char* scheme : {"file", "http", "https", "mailto"})
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlSpy() override {
        for (const char* scheme : {"file", "http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    std::vector<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

// A window whose settings file lives in a temporary folder.
struct Window {
    Window() { form.SettingsFolder = settings.Path(); }
    TempDir settings;
    TMainForm form;
};

template <typename T> T* Find(TMainForm& form, const char* name) {
    return form.findChild<T*>(QString::fromLatin1(name));
}

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

TEST(MainForm, NamedControlsShowTheirTexts) {
    Window window;
    struct Case {
        const char* name;
        const char* text;
    } cases[] = {
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
    for (const Case& c : cases) {
        QObject* object = window.form.findChild<QObject*>(c.name);
        ASSERT_NE(object, nullptr) << c.name;
        EXPECT_EQ(TextOf(object), c.text) << c.name;
    }
    for (const char* name : {"ToolBar1",
                             "ToolBarOperate",
                             "cbFavorite",
                             "cbFilter",
                             "Sp1",
                             "ShellTree",
                             "ListView",
                             "Dock971",
                             "StatusBar",
                             "PopupMenu1",
                             "ActPreview",
                             "ActRename",
                             "ActUndo",
                             "ActRefresh",
                             "ActSelectAll",
                             "ActSelectNone",
                             "ActionSelectInvert",
                             "ActDelete",
                             "ActHelp",
                             "ActRefreshTree",
                             "pgcGeneral",
                             "cbFormat"})
        EXPECT_NE(window.form.findChild<QObject*>(name), nullptr) << name;

    TMainForm& form = window.form;
    EXPECT_EQ(form.windowTitle(), "Quorvane");
    EXPECT_EQ(form.size(), QSize(667, 500));
    EXPECT_EQ(form.ListView->toolTip(), "Renaming file list");
    EXPECT_EQ(form.ListView->accessibleName(), "Renaming file list");
    EXPECT_EQ(form.ShellTree->accessibleName(), "Folder Tree");
    EXPECT_EQ(form.cbFilter->currentText(), "*.*");
    EXPECT_EQ(form.cbFilter->count(), 12);
    EXPECT_EQ(form.cbFilter->itemText(11), "*.RAM");
    EXPECT_EQ(form.TbPreview->toolTip(), "Preview New Name for current format setting ");
    EXPECT_EQ(form.TbMp3Refresh->toolTip(), "Refresh the File list ");
    EXPECT_EQ(form.TB97Rename->toolTip(),
              "Double click to locate the Floating Panel to the default Dock");
    form.show();
    EXPECT_EQ(form.Sp1->sizes().value(0), 117);
    const int widths[] = {120, 120, 200, 300};
    QLabel* panels[] = {form.StatusPanel0, form.StatusPanel1, form.StatusPanel2, form.StatusPanel3};
    // The last panel gives way in a narrow window and has its full width in a wide one.
    EXPECT_EQ(form.minimumSizeHint().width() <= 660, true) << form.minimumSizeHint().width();
    form.resize(1000, 500);
    QApplication::processEvents();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(panels[i]->width(), widths[i]);
    EXPECT_EQ(form.TbRenameFiles->minimumSize(), QSize(77, 52));
    EXPECT_EQ(form.ToolBarOperate->iconSize(), QSize(32, 32));
    // Every large button has a picture.
    for (QToolButton* button : {form.TbRenameFiles, form.TbRenameMp3, form.TbPreview, form.TbApply,
                                form.TbUndo, form.TbRefresh})
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
}

TEST(MainForm, ShortcutsBelongToTheActions) {
    Window window;
    TMainForm& form = window.form;
    struct Case {
        QAction* action;
        QKeySequence keys;
    } cases[] = {
        {form.ActSelectAll, QKeySequence("Ctrl+A")},
        {form.ActSelectNone, QKeySequence("Ctrl+Z")},
        {form.ActionSelectInvert, QKeySequence("Ctrl+I")},
        {form.ActHelp, QKeySequence("F1")},
        {form.ActRefreshTree, QKeySequence("F5")},
        {form.ActPreview, QKeySequence()},
        {form.ActUndo, QKeySequence()},
        {form.ActDelete, QKeySequence()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.action->shortcut(), c.keys) << c.action->objectName().toStdString();
        EXPECT_NE(c.action->shortcutContext(), Qt::WidgetShortcut);
    }
}

TEST(MainForm, ShortcutsReachTheActionsWhereverTheFocusIs) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    FileRow row;
    row.originalName = "a.txt";
    struct Case {
        QWidget* focus;
        QAction* action;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool runs;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Case cases[] = {
        {form.ListView, form.ActSelectNone, Qt::Key_Z, Qt::ControlModifier, true},
        {form.ListView, form.ActSelectAll, Qt::Key_A, Qt::ControlModifier, true},
        {form.ListView, form.ActionSelectInvert, Qt::Key_I, Qt::ControlModifier, true},
        {form.ListView, form.ActHelp, Qt::Key_F1, none, true},
        {form.ListView, form.ActRefreshTree, Qt::Key_F5, none, true},
        {form.ShellTree, form.ActSelectAll, Qt::Key_A, Qt::ControlModifier, true},
        {form.ShellTree, form.ActRefreshTree, Qt::Key_F5, none, true},
        {form.cbFilter, form.ActRefreshTree, Qt::Key_F5, none, true},
        {form.cbFilter, form.ActHelp, Qt::Key_F1, none, true},
        {form.cbFilter, form.ActionSelectInvert, Qt::Key_I, Qt::ControlModifier, true},
        // In a text box these keys keep their editing meaning: select the
        // text, take back the typing.
        {form.cbFavorite, form.ActSelectAll, Qt::Key_A, Qt::ControlModifier, false},
        {form.cbFavorite, form.ActSelectNone, Qt::Key_Z, Qt::ControlModifier, false},
        // The floating panels are windows of their own; the keys work there too.
        {form.Pages->meindex, form.ActRefreshTree, Qt::Key_F5, none, true},
        {form.Pages->MFRB2, form.ActSelectAll, Qt::Key_A, Qt::ControlModifier, true},
        {form.Pages->MFRB2, form.ActHelp, Qt::Key_F1, none, true},
    };
    for (const Case& c : cases) {
        const std::string what = test::NameOf(c.focus) + " " + test::NameOf(c.action);
        ASSERT_TRUE(test::Activate(c.focus->window())) << what;
        ASSERT_EQ(test::FocusByTab(c.focus), c.focus) << what;
        // F5 lists the (unchosen) folder again, which empties the list.
        if (form.ListModel->RowCount() == 0)
            form.ListModel->AppendRows({row});
        test::ReachIdle();
        ASSERT_TRUE(c.action->isEnabled()) << what;
        QSignalSpy triggered(c.action, &QAction::triggered);
        test::PressKey(c.key, c.modifiers);
        EXPECT_EQ(triggered.count(), c.runs ? 1 : 0) << what;
    }
}

QToolButton* CloseButtonOf(QDockWidget* panel) {
    return panel->findChild<QToolButton*>(panel->objectName() + "Close");
}

// The panel states as the user sees them.
struct PanelState {
    bool files; // TB97Rename shown, Rename File(s) pressed, "File   Panel Only" ticked
    bool mp3;   // TB97Mp3 shown, Rename MP3 pressed, "MP3  Panel Only" ticked
    const char* filter;
};

void ExpectState(TMainForm& form, const PanelState& state, const std::string& step) {
    EXPECT_EQ(form.PanelShown(form.TB97Rename), state.files) << step;
    EXPECT_EQ(form.TbRenameFiles->isChecked(), state.files) << step;
    EXPECT_EQ(form.FilesPanelsMenuItem->isChecked(), state.files) << step;
    EXPECT_EQ(form.PanelShown(form.TB97Mp3), state.mp3) << step;
    EXPECT_EQ(form.TbRenameMp3->isChecked(), state.mp3) << step;
    EXPECT_EQ(form.MP3PanelsMenuItem->isChecked(), state.mp3) << step;
    EXPECT_EQ(form.Mp3PanelVisible(), state.mp3) << step;
    EXPECT_EQ(form.cbFilter->currentText(), state.filter) << step;
    if (form.isVisible()) {
        EXPECT_EQ(form.TB97Rename->isVisible(), state.files) << step;
        EXPECT_EQ(form.TB97Mp3->isVisible(), state.mp3) << step;
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
            test::ClickAt(form.TbRenameFiles);
            break;
        case ClickMp3:
            test::ClickAt(form.TbRenameMp3);
            break;
        case MenuFiles:
            ASSERT_TRUE(test::ChooseFromMenuButton(form.TbView, {"FilesPanelsMenuItem"}));
            break;
        case MenuMp3:
            ASSERT_TRUE(test::ChooseFromMenuButton(form.TbView, {"MP3PanelsMenuItem"}));
            break;
        case CloseFiles:
            test::ClickAt(CloseButtonOf(form.TB97Rename));
            break;
        case CloseMp3:
            test::ClickAt(CloseButtonOf(form.TB97Mp3));
            break;
        }
        ExpectState(form, step.after, "step " + std::to_string(index++));
    }
}

TEST(MainForm, PanelCloseButtonRunsTheCloseHandler) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    form.cbFilter->setEditText("*.txt");
    test::ClickAt(CloseButtonOf(form.TB97Rename));
    ExpectState(form, {false, false, "*.txt"}, "closed");
}

TEST(MainForm, ViewMenuTogglesControlAndTick) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    struct Case {
        QAction* entry;
        QWidget* control;
    } cases[] = {
        {form.ViewButtonMenuItem, form.ToolBarOperate},
        {form.statusbarMenuItem, form.StatusBar},
        {form.PathMenuItem, form.cbFavorite},
        {form.FilterMenuItem, form.cbFilter},
        {form.IncludeSubfoldersMenuItem, form.TbIncludeSub},
    };
    for (const Case& c : cases) {
        const std::string name = c.entry->objectName().toStdString();
        ASSERT_TRUE(c.entry->isChecked()) << name;
        ASSERT_TRUE(form.ControlShown(c.control)) << name;
        ASSERT_TRUE(test::ChooseFromMenuButton(form.TbView, {c.entry->objectName()})) << name;
        EXPECT_FALSE(c.entry->isChecked()) << name;
        EXPECT_FALSE(form.ControlShown(c.control)) << name;
        EXPECT_FALSE(c.control->isVisible()) << name;
        ASSERT_TRUE(test::ChooseFromMenuButton(form.TbView, {c.entry->objectName()})) << name;
        EXPECT_TRUE(c.entry->isChecked()) << name;
        EXPECT_TRUE(c.control->isVisible()) << name;
    }
}

TEST(MainForm, HintLineFollowsTheMouse) {
    Window window;
    TMainForm& form = window.form;
    ASSERT_TRUE(test::Activate(&form));
    test::MoveMouseTo(form.TbRenameMp3);
    EXPECT_EQ(form.StatusPanel2->text(), "Show/Hide MP3 Tag Renaming Panel");
    test::MoveMouseTo(form.TbRenameFiles, QPoint(5, 5));
    test::MoveMouseTo(form.TbRenameFiles, QPoint(20, 20));
    EXPECT_EQ(form.StatusPanel2->text(), "Show/Hide File Renaming Panel");
    // The text stays until the other button replaces it.
    test::MoveMouseTo(form.ListView);
    EXPECT_EQ(form.StatusPanel2->text(), "Show/Hide File Renaming Panel");
}

TEST(MainForm, AboutIsAppendedOnceOnFirstShow) {
    Window window;
    TMainForm& form = window.form;
    EXPECT_EQ(form.mmiAbout, nullptr);
    form.show();
    form.hide();
    form.show();
    ASSERT_NE(form.mmiAbout, nullptr);
    const QList<QAction*> entries = form.mmHelp->actions();
    EXPECT_EQ(entries.last(), form.mmiAbout);
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
    window.form.ManualFolder = manual.Path();
    ASSERT_TRUE(test::ChooseFromMenuButton(window.form.TbHelp, {"mmiUserManual"}));
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
        ASSERT_TRUE(test::ChooseFromMenuButton(window.form.TbHelp, {entry})) << entry;
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
    ASSERT_TRUE(test::ChooseFromMenuButton(window.form.TbFile, {"ExitMenuItem"}));
    EXPECT_FALSE(window.form.isVisible());
    EXPECT_EQ(window.form.Id3Reader, nullptr); // released when the window closes
}

} // namespace
} // namespace quorvane

#include "MainFormTest.moc"
