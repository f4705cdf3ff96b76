// Building the main window: actions, menus, bars, the client area, the two
// renaming panels and the status bar. Entries and buttons that only run a
// handler are wired where they are made.
#include "shell/TMainForm.h"

#include "shell/Mp3PanelControls.h"
#include "shell/RulePages.h"
#include "widgets/ActionButton.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <array>
#include <string>
#include <tuple>
#include <utility>

namespace quorvane {

namespace {

const char* const kPreviewHint = "Preview New Name for current format setting ";
const char* const kApplyHint = "Process the selected files";
const char* const kUndoHint = "Undo last renaming operation";
const char* const kRefreshListHint = "Refresh the File list ";

QAction* MakeAction(QObject* parent, const char* name, const QString& text,
                    const QIcon& icon = {}) {
    auto* action = new QAction(icon, text, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* MakeMenu(const char* name, const QString& title, QWidget* parent) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* AddEntry(QMenu* menu, const char* name, const QString& text, const QIcon& icon = {}) {
    QAction* entry = menu->addAction(icon, text);
    entry->setObjectName(QString::fromLatin1(name));
    return entry;
}

// A menu entry that stands for an action: its own caption, the action's
// command and availability.
QAction* MirrorAction(QMenu* menu, const char* name, const QString& text, QAction* target) {
    QAction* entry = AddEntry(menu, name, text, target->icon());
    entry->setEnabled(target->isEnabled());
    QObject::connect(entry, &QAction::triggered, target, &QAction::trigger);
    QObject::connect(target, &QAction::enabledChanged, entry, &QAction::setEnabled);
    return entry;
}

// "Arrange Icons" of the View menu and of the pop-up menu: the same entries.
void AddArrangeMenu(QMenu* parent, const char* name, const QString& title,
                    const std::vector<QAction*>& entries) {
    QMenu* arrange = parent->addMenu(title);
    arrange->setObjectName(QString::fromLatin1(name));
    arrange->addActions({entries.begin(), entries.end() - 1});
    arrange->addSeparator();
    arrange->addAction(entries.back());
}

// A band of the cool bar holding a labelled box.
QComboBox* AddLabelledBox(QToolBar* band, const char* label, const QString& text, const char* name,
                          const QString& tooltip) {
    auto* caption = new QLabel(text, band);
    caption->setObjectName(QString::fromLatin1(label));
    auto* box = new QComboBox(band);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setToolTip(tooltip);
    caption->setBuddy(box);
    band->addWidget(caption);
    band->addWidget(box);
    return box;
}

} // namespace

void TMainForm::BuildActions() {
    ActPreview = MakeAction(this, "ActPreview", "Preview", icons::Preview());
    ActRename = MakeAction(this, "ActRename", "Apply", icons::Apply());
    ActUndo = MakeAction(this, "ActUndo", "Undo", icons::Undo());
    ActRefresh = MakeAction(this, "ActRefresh", "Refresh", icons::Refresh());
    ActSelectAll = MakeAction(this, "ActSelectAll", "Select &All");
    ActSelectNone = MakeAction(this, "ActSelectNone", "Select &None");
    ActionSelectInvert = MakeAction(this, "ActionSelectInvert", "&Invert Select ");
    ActDelete = MakeAction(this, "ActDelete", "&Delete", icons::Delete());
    ActHelp = MakeAction(this, "ActHelp", "User &Manual", icons::Manual());
    ActRefreshTree = MakeAction(this, "ActRefreshTree", "Refresh", icons::Refresh());
    ActEditNames = MakeAction(this, "ActEditNames", "Edit New Names...");

    ActPreview->setToolTip(kPreviewHint);
    ActRename->setToolTip(kApplyHint);
    ActUndo->setToolTip(kUndoHint);
    ActRefresh->setToolTip(kRefreshListHint);

    ActSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    ActSelectNone->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    ActionSelectInvert->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    ActHelp->setShortcut(QKeySequence(Qt::Key_F1));
    ActRefreshTree->setShortcut(QKeySequence(Qt::Key_F5));
    // The shortcuts work anywhere in the window, also while a panel has the focus.
    for (QAction* action : {ActPreview, ActRename, ActUndo, ActRefresh, ActSelectAll, ActSelectNone,
                            ActionSelectInvert, ActDelete, ActHelp, ActRefreshTree}) {
        action->setShortcutContext(Qt::ApplicationShortcut);
        addAction(action);
    }
}

void TMainForm::BuildMenus() {
    mmFile = MakeMenu("mmFile", "&File", this);
    connect(AddEntry(mmFile, "ExitMenuItem", "E&xit", icons::Exit()), &QAction::triggered, this,
            &TMainForm::ExitMenuItemClick);
    BuildArrangeEntries();
    mmView = BuildViewMenu();
    mmOperate = BuildOperateMenu();
    mmHelp = BuildHelpMenu();
    BuildPopupMenu();
}

void TMainForm::BuildArrangeEntries() {
    struct Entry {
        const char* name;
        const char* text;
        void (TMainForm::*handler)();
    };
    const Entry entries[] = {
        {"mmiByName", "By &Name", &TMainForm::ByCaptionClick},
        {"mmiByType", "By &Type", &TMainForm::byTypeClick},
        {"mmiBySize", "By &Size", &TMainForm::BySizeClick},
        {"mmiByDate", "By &Date", &TMainForm::ByDateClick},
        {"mmiAutoArrange", "&Auto Arrange", &TMainForm::ByAllClick},
    };
    for (const Entry& entry : entries) {
        m_arrangeEntries.push_back(MakeAction(this, entry.name, entry.text));
        connect(m_arrangeEntries.back(), &QAction::triggered, this, entry.handler);
    }
}

QMenu* TMainForm::BuildViewMenu() {
    QMenu* menu = MakeMenu("mmView", "&View", this);
    // These entries tick and untick only inside their handlers, so the
    // automatic flip of a checkable entry is taken back first.
    auto addToggle = [this, menu](const char* name, const QString& text, bool checked,
                                  void (TMainForm::*handler)()) {
        QAction* entry = AddEntry(menu, name, text);
        entry->setCheckable(true);
        entry->setChecked(checked);
        connect(entry, &QAction::triggered, this, [this, entry, handler] {
            entry->setChecked(!entry->isChecked());
            (this->*handler)();
        });
        return entry;
    };
    ViewButtonMenuItem =
        addToggle("ViewButtonMenuItem", "&Toolbars  ", true, &TMainForm::ViewButtonMenuItemClick);
    statusbarMenuItem =
        addToggle("statusbarMenuItem", "&Status Bar ", true, &TMainForm::statusbarMenuItemClick);
    PathMenuItem = addToggle("PathMenuItem", "Path", true, &TMainForm::PathMenuItemClick);
    FilterMenuItem = addToggle("FilterMenuItem", "Filter", true, &TMainForm::FilterMenuItemClick);
    IncludeSubfoldersMenuItem = addToggle("IncludeSubfoldersMenuItem", "Include Subfolders", true,
                                          &TMainForm::IncludeSubfoldersMenuItemClick);
    menu->addSeparator();
    FilesPanelsMenuItem = addToggle("FilesPanelsMenuItem", "File   Panel Only", true,
                                    &TMainForm::FilesPanelsMenuItemClick);
    MP3PanelsMenuItem = addToggle("MP3PanelsMenuItem", "MP3  Panel Only", false,
                                  &TMainForm::MP3PanelsMenuItemClick);
    menu->addSeparator();
    AddArrangeMenu(menu, "mmiArrangeIcons", "Arrange Icons", m_arrangeEntries);
    menu->addSeparator();
    MirrorAction(menu, "mmiViewRefresh", "Refresh", ActRefreshTree);
    connect(AddEntry(menu, "mmiLog", "Log(&L)"), &QAction::triggered, this,
            &TMainForm::mmiLogClick);
    menu->addSeparator();
    mmiLivePreview = AddEntry(menu, "mmiLivePreview", "Live Preview");
    mmiLivePreview->setCheckable(true);
    return menu;
}

// The selection commands, the same in the Operate menu and the list's own
// menu; the entries' names start "mmi" there and "pmi" here.
void TMainForm::AddSelectEntries(QMenu* menu, const char* prefix) {
    const std::tuple<const char*, const char*, QAction*> entries[] = {
        {"SelectAll", "Select &All", ActSelectAll},
        {"SelectNone", "Select &None", ActSelectNone},
        {"InvertSelect", "&Invert Select ", ActionSelectInvert}};
    for (const auto& [name, text, action] : entries)
        MirrorAction(menu, (std::string(prefix) + name).c_str(), text, action);
}

// Preview, Apply, Undo and Refresh, in both menus with captions of their own;
// Refresh lists the folder again in the Operate menu, the list in the other.
void TMainForm::AddRunEntries(QMenu* menu, const char* prefix,
                              const std::array<const char*, 4>& captions, QAction* refresh) {
    const std::pair<const char*, QAction*> entries[] = {
        {"Preview", ActPreview}, {"Apply", ActRename}, {"Undo", ActUndo}, {"Refresh", refresh}};
    for (std::size_t i = 0; i < captions.size(); ++i)
        MirrorAction(menu, (std::string(prefix) + entries[i].first).c_str(), captions[i],
                     entries[i].second);
}

QMenu* TMainForm::BuildOperateMenu() {
    QMenu* menu = MakeMenu("mmOperate", "&Operate", this);
    AddSelectEntries(menu, "mmi");
    menu->addSeparator();
    MirrorAction(menu, "mmiDelete", "&Delete", ActDelete);
    menu->addSeparator();
    AddRunEntries(menu, "mmi", {"Preview", "Apply", "Undo", "Refresh"}, ActRefreshTree);
    menu->addSeparator();
    MirrorAction(menu, "mmiEditNames", "Edit New Names...", ActEditNames);
    mmiRunHistory = AddEntry(menu, "mmiRunHistory", "Run &History...");
    connect(mmiRunHistory, &QAction::triggered, this, &TMainForm::mmiRunHistoryClick);
    return menu;
}

QMenu* TMainForm::BuildHelpMenu() {
    QMenu* menu = MakeMenu("mmHelp", "&Help", this);
    MirrorAction(menu, "mmiUserManual", "User &Manual", ActHelp);
    menu->addSeparator();
    connect(AddEntry(menu, "HomPageMenuItem", "Visit Web &Site", icons::WebSite()),
            &QAction::triggered, this, &TMainForm::HomPageMenuItemClick);
    connect(AddEntry(menu, "EmailMenuItem", "&Contact us", icons::Mail()), &QAction::triggered,
            this, &TMainForm::EmailMenuItemClick);
    connect(AddEntry(menu, "FAQinInternet1", "&FAQ in Internet", icons::Faq()), &QAction::triggered,
            this, &TMainForm::FAQinInternet1Click);
    menu->addSeparator();
    return menu;
}

void TMainForm::BuildPopupMenu() {
    PopupMenu1 = MakeMenu("PopupMenu1", QString(), this);
    AddSelectEntries(PopupMenu1, "pmi");
    PopupMenu1->addSeparator();
    AddArrangeMenu(PopupMenu1, "pmiArrangeIcons", "&Arrange Icons", m_arrangeEntries);
    PopupMenu1->addSeparator();
    AddRunEntries(PopupMenu1, "pmi", {"&Preview", "A&pply", "&Undo", "&Refresh"}, ActRefresh);
    MirrorAction(PopupMenu1, "pmiEditNames", "Edit New Names...", ActEditNames);
    PopupMenu1->addSeparator();
    MirrorAction(PopupMenu1, "pmiDelete", "&Delete", ActDelete);
    PopupMenu1->addSeparator();
}

void TMainForm::BuildToolBars() {
    QToolBar* menuBar = addToolBar("Menu");
    menuBar->setObjectName("ToolBar1");
    menuBar->setAllowedAreas(Qt::TopToolBarArea);
    const std::pair<const char*, QMenu*> buttons[] = {
        {"TbFile", mmFile}, {"TbView", mmView}, {"TbOperate", mmOperate}, {"TbHelp", mmHelp}};
    for (const auto& [name, menu] : buttons) {
        auto* button = new QToolButton(menuBar);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(menu->title());
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        // No drop-down arrow: these read as a menu bar.
        button->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0px; }");
        menuBar->addWidget(button);
    }
    BuildOperateBar();
    BuildBoxBars();
}

void TMainForm::BuildOperateBar() {
    // The large buttons get a row of their own, so all of them fit the
    // window's stored width of 660 pixels without an overflow menu.
    addToolBarBreak();
    ToolBarOperate = addToolBar("Operate");
    ToolBarOperate->setObjectName("ToolBarOperate");
    ToolBarOperate->setIconSize(QSize(32, 32));
    ToolBarOperate->setAllowedAreas(Qt::TopToolBarArea);
    auto addLarge = [this](QToolButton* button) {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        // 77 x 52, wider only where a caption would otherwise be cut.
        button->setMinimumSize(77, 52);
        button->setMaximumHeight(52);
        button->setAutoRaise(true);
        ToolBarOperate->addWidget(button);
        return button;
    };
    auto addToggle = [&](const char* name, const QString& text, const QString& tip,
                         const QIcon& icon, void (TMainForm::*click)()) {
        auto* button = new QToolButton(ToolBarOperate);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(text);
        button->setToolTip(tip);
        button->setIcon(icon);
        button->setCheckable(true);
        connect(button, &QToolButton::clicked, this, click);
        addLarge(button);
        ToolBarOperate->addSeparator();
        return button;
    };
    TbRenameFiles = addToggle("TbRenameFiles", "Rename File(s)", "Show/Hide File Renaming Panel",
                              icons::RenameFiles(), &TMainForm::TbRenameFilesClick);
    TbRenameFiles->setChecked(true);
    TbRenameMp3 = addToggle("TbRenameMp3", "Rename MP3", "Show/Hide MP3 Tag Renaming Panel",
                            icons::RenameMp3(), &TMainForm::TbRenameMp3Click);
    QWidget* bar = ToolBarOperate;
    addLarge(MakeActionButton(bar, "TbPreview", "Preview", kPreviewHint, ActPreview));
    addLarge(MakeActionButton(bar, "TbApply", "Apply", kApplyHint, ActRename));
    addLarge(MakeActionButton(bar, "TbUndo", "Undo", kUndoHint, ActUndo));
    addLarge(MakeActionButton(bar, "TbRefresh", "Refresh", QString(), ActRefreshTree));
}

void TMainForm::BuildBoxBars() {
    addToolBarBreak();
    ToolBarPath = addToolBar("Path");
    ToolBarPath->setObjectName("ToolBarPath");
    cbFavorite = AddLabelledBox(ToolBarPath, "lblPath", "Path:   ", "cbFavorite",
                                "Please type the path you want to open and press the Enter key. ");
    cbFavorite->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cbFavorite->setMinimumContentsLength(40);
    // Folder names differ by letter case here: completing a typed path from
    // the history must not respell it into another folder.
    cbFavorite->completer()->setCaseSensitivity(Qt::CaseSensitive);

    addToolBarBreak();
    ToolBarFilter = addToolBar("Filter");
    ToolBarFilter->setObjectName("ToolBarFilter");
    cbFilter = AddLabelledBox(ToolBarFilter, "lblFilter", "Filter:   ", "cbFilter",
                              "List only files of this type(Wildcard) ");
    cbFilter->addItems({"*.*", "*.BMP", "*.GIF", "*.JPEG", "*.JPG", "*.ICO", "*.HTM", "*.HTML",
                        "*.TXT", "*.MP3", "*.RM", "*.RAM"});
    cbFilter->setEditText("*.*");
    cbFilter->setMinimumContentsLength(12);
    // The box keeps the pattern as typed ("*.txt" stays so, also in the saved
    // file); the walk ignores letter case anyway.
    cbFilter->completer()->setCaseSensitivity(Qt::CaseSensitive);

    ToolBarIncludeSub = addToolBar("Include Subfolders");
    ToolBarIncludeSub->setObjectName("ToolBarIncludeSub");
    TbIncludeSub = new QCheckBox("Include Subfolders", ToolBarIncludeSub);
    TbIncludeSub->setObjectName("TbIncludeSub");
    TbIncludeSub->setToolTip("Search subfolders ");
    ToolBarIncludeSub->addWidget(TbIncludeSub);
    TbIncludeFolders = new QCheckBox("Include Folders", ToolBarIncludeSub);
    TbIncludeFolders->setObjectName("TbIncludeFolders");
    TbIncludeFolders->setToolTip("List folders as rows too ");
    ToolBarIncludeSub->addWidget(TbIncludeFolders);

    for (QToolBar* bar : {ToolBarPath, ToolBarFilter, ToolBarIncludeSub})
        bar->setAllowedAreas(Qt::TopToolBarArea);
}

void TMainForm::BuildClientArea() {
    Sp1 = new QSplitter(Qt::Horizontal, this);
    Sp1->setObjectName("Sp1");
    Sp1->setChildrenCollapsible(false);

    ShellTree = new FolderTree(Sp1);
    ShellTree->setObjectName("ShellTree");
    ShellTree->setToolTip("Folder Tree");
    ShellTree->setAccessibleName("Folder Tree");

    // The list sits in a window of its own so that the panels dock under the
    // list only, not under the folder tree.
    Dock971 = new QMainWindow(Sp1);
    Dock971->setObjectName("Dock971");
    Dock971->setWindowFlags(Qt::Widget);
    Dock971->setDockOptions(QMainWindow::AnimatedDocks);
    Dock971->setContextMenuPolicy(Qt::PreventContextMenu);

    ListModel = new FileListModel(this);
    ListModel->setObjectName("ListModel");
    ListView = new FileListView(Dock971);
    ListView->setObjectName("ListView");
    ListView->setToolTip("Renaming file list");
    ListView->setAccessibleName("Renaming file list");
    ListView->SetFileModel(ListModel);
    Dock971->setCentralWidget(ListView);

    Sp1->addWidget(ShellTree);
    Sp1->addWidget(Dock971);
    Sp1->setStretchFactor(0, 0);
    Sp1->setStretchFactor(1, 1);
    Sp1->setSizes({117, 550});
    setCentralWidget(Sp1);
}

void TMainForm::BuildPanels() {
    // Built-in state: both float above the window, the file renaming panel
    // shown.
    TB97Rename = new FloatingPanel("TB97Rename", "File Renaming Panel",
                                   "Double click to locate the Floating Panel to the default Dock",
                                   Dock971, true);
    Pages = new RulePages(TB97Rename->Body());
    TB97Rename->SetContents(Pages, {{{"TbRenamePreview", "Preview", kPreviewHint, ActPreview},
                                     {"TbRenameApply", "Apply", kApplyHint, ActRename},
                                     {"TbRenameUndo", "Undo", kUndoHint, ActUndo},
                                     {"TbRenameRefresh", "Refresh", QString(), ActRefreshTree}}});

    TB97Mp3 = new FloatingPanel("TB97Mp3", "MP3 Tag Renaming Panel",
                                "Double click to locate the floating panel to the default Dock",
                                Dock971, false);
    Mp3Controls = new Mp3PanelControls(TB97Mp3->Body());
    TB97Mp3->SetContents(Mp3Controls,
                         {{{"TbMp3Preview", "Preview", kPreviewHint, ActPreview},
                           {"TbMp3Apply", "Apply ", kApplyHint, ActRename},
                           {"TbMp3Undo", "Undo ", kUndoHint, ActUndo},
                           {"TbMp3Refresh", "Refresh", kRefreshListHint, ActRefresh}}});
    Dock971->splitDockWidget(TB97Rename, TB97Mp3, Qt::Horizontal);

    // A panel made floating while not hidden is shown as a window of its own
    // at once; hidden first, it gets its window when it is first shown, at
    // the position it holds by then (the stored one).
    for (FloatingPanel* panel : {TB97Rename, TB97Mp3}) {
        panel->hide();
        panel->setFloating(true);
    }
    TB97Rename->move(192, 176);
    TB97Mp3->move(144, 152);
    // Wide enough for all six page tabs.
    TB97Rename->resize(qMax(TB97Rename->sizeHint().width(), 640), TB97Rename->sizeHint().height());
    TB97Mp3->resize(qMax(TB97Mp3->sizeHint().width(), 560), TB97Mp3->sizeHint().height());
}

void TMainForm::BuildStatusBar() {
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(true);
    setStatusBar(StatusBar);
    QLabel** panels[5] = {&StatusPanel0, &StatusPanel1, &StatusPanel2, &StatusPanel3,
                          &StatusPanel4};
    const int widths[5] = {120, 120, 200, 300, 110};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // The last panel gives way when the window is narrow, so the status bar
        // never forces a window wider than the stored 660 pixels.
        panel->setMaximumWidth(widths[i]);
        if (i == 3) {
            panel->setMinimumWidth(0);
            panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        } else {
            panel->setMinimumWidth(widths[i]);
        }
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar->addWidget(panel, i == 3 ? 1 : 0);
        *panels[i] = panel;
    }
    // No fixed accessible names: a label without one is read by its text, and
    // the text ("Total files : 3") is what a screen reader must hear.
}

} // namespace quorvane
