// Building the main window: actions, menus, bars, the client area, the two
// renaming panels and the status bar, and wiring them to the handlers.
#include "shell/TMainForm.h"

#include "mp3/TID3v1.h"
#include "shell/Mp3PanelControls.h"
#include "shell/RulePages.h"
#include "shell/TSearchThread.h"
#include "shell/Trash.h"
#include "widgets/DockPanelTitle.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FolderTree.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace quorvane {

namespace {

const char* const kPreviewHint = "Preview New Name for current format setting ";
const char* const kApplyHint = "Process the selected files";
const char* const kUndoHint = "Undo last renaming operation";
const char* const kRefreshListHint = "Refresh the File list ";
const char* const kRenameFilesHint = "Show/Hide File Renaming Panel";
const char* const kRenameMp3Hint = "Show/Hide MP3 Tag Renaming Panel";

QAction* MakeAction(QObject* parent, const char* name, const QString& text,
                    const QIcon& icon = {}) {
    auto* action = new QAction(icon, text, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// A menu entry that stands for an action: its own caption, the action's
// command and availability.
QAction* MirrorAction(QMenu* menu, const char* name, const QString& text, QAction* target) {
    QAction* entry = menu->addAction(target->icon(), text);
    entry->setObjectName(QString::fromLatin1(name));
    entry->setEnabled(target->isEnabled());
    QObject::connect(entry, &QAction::triggered, target, &QAction::trigger);
    QObject::connect(target, &QAction::enabledChanged, entry, &QAction::setEnabled);
    return entry;
}

// A button that stands for an action, with its own caption and tooltip.
QToolButton* MirrorButton(QWidget* parent, const char* name, const QString& text,
                          const QString& tooltip, QAction* target) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(tooltip);
    button->setIcon(target->icon());
    button->setAutoRaise(true);
    button->setEnabled(target->isEnabled());
    QObject::connect(button, &QToolButton::clicked, target, &QAction::trigger);
    QObject::connect(target, &QAction::enabledChanged, button, &QWidget::setEnabled);
    return button;
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle("Quorvane");
    setWindowIcon(icons::Program());
    resize(667, 500);
    // Bars and panels are shown and hidden through the View menu and the panel
    // buttons only; Qt's own bar menu would bypass their check marks.
    setContextMenuPolicy(Qt::PreventContextMenu);

    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildClientArea();
    BuildPanels();
    BuildStatusBar();

    m_idleTimer = new QTimer(this);
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(0);
    connect(m_idleTimer, &QTimer::timeout, this, &TMainForm::UpdateActions);
    WireSignals();

    FormCreate();
    UpdateActions();
}

TMainForm::~TMainForm() {
    // A scan still running is stopped here, while the window is whole; its
    // last signals must not reach a half-destroyed window.
    SearchThread->disconnect(this);
    delete SearchThread;
    SearchThread = nullptr;
    FormDestroy();
}

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
    mmFile = new QMenu("&File", this);
    mmFile->setObjectName("mmFile");
    ExitMenuItem = mmFile->addAction(icons::Exit(), "E&xit");
    ExitMenuItem->setObjectName("ExitMenuItem");

    mmView = new QMenu("&View", this);
    mmView->setObjectName("mmView");
    auto addToggle = [this](const char* name, const QString& text, bool checked) {
        QAction* entry = mmView->addAction(text);
        entry->setObjectName(QString::fromLatin1(name));
        entry->setCheckable(true);
        entry->setChecked(checked);
        return entry;
    };
    ViewButtonMenuItem = addToggle("ViewButtonMenuItem", "&Toolbars  ", true);
    statusbarMenuItem = addToggle("statusbarMenuItem", "&Status Bar ", true);
    PathMenuItem = addToggle("PathMenuItem", "Path", true);
    FilterMenuItem = addToggle("FilterMenuItem", "Filter", true);
    IncludeSubfoldersMenuItem = addToggle("IncludeSubfoldersMenuItem", "Include Subfolders", true);
    mmView->addSeparator();
    FilesPanelsMenuItem = addToggle("FilesPanelsMenuItem", "File   Panel Only", true);
    MP3PanelsMenuItem = addToggle("MP3PanelsMenuItem", "MP3  Panel Only", false);
    mmView->addSeparator();
    mmiArrangeIcons = mmView->addMenu("Arrange Icons");
    mmiArrangeIcons->setObjectName("mmiArrangeIcons");
    mmiByName = MakeAction(this, "mmiByName", "By &Name");
    mmiByType = MakeAction(this, "mmiByType", "By &Type");
    mmiBySize = MakeAction(this, "mmiBySize", "By &Size");
    mmiByDate = MakeAction(this, "mmiByDate", "By &Date");
    mmiAutoArrange = MakeAction(this, "mmiAutoArrange", "&Auto Arrange");
    auto fillArrange = [this](QMenu* menu) {
        menu->addActions({mmiByName, mmiByType, mmiBySize, mmiByDate});
        menu->addSeparator();
        menu->addAction(mmiAutoArrange);
    };
    fillArrange(mmiArrangeIcons);
    mmView->addSeparator();
    mmiViewRefresh = MirrorAction(mmView, "mmiViewRefresh", "Refresh", ActRefreshTree);
    mmiLog = mmView->addAction("Log(&L)");
    mmiLog->setObjectName("mmiLog");

    mmOperate = new QMenu("&Operate", this);
    mmOperate->setObjectName("mmOperate");
    mmiSelectAll = MirrorAction(mmOperate, "mmiSelectAll", "Select &All", ActSelectAll);
    mmiSelectNone = MirrorAction(mmOperate, "mmiSelectNone", "Select &None", ActSelectNone);
    mmiInvertSelect =
        MirrorAction(mmOperate, "mmiInvertSelect", "&Invert Select ", ActionSelectInvert);
    mmOperate->addSeparator();
    mmiDelete = MirrorAction(mmOperate, "mmiDelete", "&Delete", ActDelete);
    mmOperate->addSeparator();
    mmiPreview = MirrorAction(mmOperate, "mmiPreview", "Preview", ActPreview);
    mmiApply = MirrorAction(mmOperate, "mmiApply", "Apply", ActRename);
    mmiUndo = MirrorAction(mmOperate, "mmiUndo", "Undo", ActUndo);
    mmiRefresh = MirrorAction(mmOperate, "mmiRefresh", "Refresh", ActRefreshTree);

    mmHelp = new QMenu("&Help", this);
    mmHelp->setObjectName("mmHelp");
    mmiUserManual = MirrorAction(mmHelp, "mmiUserManual", "User &Manual", ActHelp);
    mmHelp->addSeparator();
    HomPageMenuItem = mmHelp->addAction(icons::WebSite(), "Visit Web &Site");
    HomPageMenuItem->setObjectName("HomPageMenuItem");
    EmailMenuItem = mmHelp->addAction(icons::Mail(), "&Contact us");
    EmailMenuItem->setObjectName("EmailMenuItem");
    FAQinInternet1 = mmHelp->addAction(icons::Faq(), "&FAQ in Internet");
    FAQinInternet1->setObjectName("FAQinInternet1");
    mmHelp->addSeparator();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    MirrorAction(PopupMenu1, "pmiSelectAll", "Select &All", ActSelectAll);
    MirrorAction(PopupMenu1, "pmiSelectNone", "Select &None", ActSelectNone);
    MirrorAction(PopupMenu1, "pmiInvertSelect", "&Invert Select ", ActionSelectInvert);
    PopupMenu1->addSeparator();
    pmiArrangeIcons = PopupMenu1->addMenu("&Arrange Icons");
    pmiArrangeIcons->setObjectName("pmiArrangeIcons");
    fillArrange(pmiArrangeIcons);
    PopupMenu1->addSeparator();
    MirrorAction(PopupMenu1, "pmiPreview", "&Preview", ActPreview);
    MirrorAction(PopupMenu1, "pmiApply", "A&pply", ActRename);
    MirrorAction(PopupMenu1, "pmiUndo", "&Undo", ActUndo);
    MirrorAction(PopupMenu1, "pmiRefresh", "&Refresh", ActRefresh);
    PopupMenu1->addSeparator();
    MirrorAction(PopupMenu1, "pmiDelete", "&Delete", ActDelete);
    PopupMenu1->addSeparator();
}

void TMainForm::BuildToolBars() {
    ToolBar1 = addToolBar("Menu");
    ToolBar1->setObjectName("ToolBar1");
    auto addMenuButton = [this](const char* name, QMenu* menu) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(menu->title());
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        // No drop-down arrow: these read as a menu bar.
        button->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0px; }");
        ToolBar1->addWidget(button);
        return button;
    };
    TbFile = addMenuButton("TbFile", mmFile);
    TbView = addMenuButton("TbView", mmView);
    TbOperate = addMenuButton("TbOperate", mmOperate);
    TbHelp = addMenuButton("TbHelp", mmHelp);

    // The large buttons get a row of their own, so all of them fit the
    // window's stored width of 660 pixels without an overflow menu.
    addToolBarBreak();
    ToolBarOperate = addToolBar("Operate");
    ToolBarOperate->setObjectName("ToolBarOperate");
    ToolBarOperate->setIconSize(QSize(32, 32));
    auto addLarge = [this](QToolButton* button) {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        // 77 x 52, wider only where a caption would otherwise be cut.
        button->setMinimumSize(77, 52);
        button->setMaximumHeight(52);
        button->setAutoRaise(true);
        ToolBarOperate->addWidget(button);
    };
    TbRenameFiles = new QToolButton(ToolBarOperate);
    TbRenameFiles->setObjectName("TbRenameFiles");
    TbRenameFiles->setText("Rename File(s)");
    TbRenameFiles->setToolTip(kRenameFilesHint);
    TbRenameFiles->setIcon(icons::RenameFiles());
    TbRenameFiles->setCheckable(true);
    TbRenameFiles->setChecked(true);
    addLarge(TbRenameFiles);
    ToolBarOperate->addSeparator();
    TbRenameMp3 = new QToolButton(ToolBarOperate);
    TbRenameMp3->setObjectName("TbRenameMp3");
    TbRenameMp3->setText("Rename MP3");
    TbRenameMp3->setToolTip(kRenameMp3Hint);
    TbRenameMp3->setIcon(icons::RenameMp3());
    TbRenameMp3->setCheckable(true);
    addLarge(TbRenameMp3);
    ToolBarOperate->addSeparator();
    TbPreview = MirrorButton(ToolBarOperate, "TbPreview", "Preview", kPreviewHint, ActPreview);
    addLarge(TbPreview);
    TbApply = MirrorButton(ToolBarOperate, "TbApply", "Apply", kApplyHint, ActRename);
    addLarge(TbApply);
    TbUndo = MirrorButton(ToolBarOperate, "TbUndo", "Undo", kUndoHint, ActUndo);
    addLarge(TbUndo);
    TbRefresh = MirrorButton(ToolBarOperate, "TbRefresh", "Refresh", QString(), ActRefreshTree);
    addLarge(TbRefresh);

    addToolBarBreak();
    ToolBarPath = addToolBar("Path");
    ToolBarPath->setObjectName("ToolBarPath");
    lblPath = new QLabel("Path:   ", ToolBarPath);
    lblPath->setObjectName("lblPath");
    cbFavorite = new QComboBox(ToolBarPath);
    cbFavorite->setObjectName("cbFavorite");
    cbFavorite->setEditable(true);
    cbFavorite->setInsertPolicy(QComboBox::NoInsert);
    cbFavorite->setToolTip("Please type the path you want to open and press the Enter key. ");
    cbFavorite->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cbFavorite->setMinimumContentsLength(40);
    // Folder names differ by letter case here: completing a typed path from
    // the history must not respell it into another folder.
    cbFavorite->completer()->setCaseSensitivity(Qt::CaseSensitive);
    lblPath->setBuddy(cbFavorite);
    ToolBarPath->addWidget(lblPath);
    ToolBarPath->addWidget(cbFavorite);

    addToolBarBreak();
    ToolBarFilter = addToolBar("Filter");
    ToolBarFilter->setObjectName("ToolBarFilter");
    lblFilter = new QLabel("Filter:   ", ToolBarFilter);
    lblFilter->setObjectName("lblFilter");
    cbFilter = new QComboBox(ToolBarFilter);
    cbFilter->setObjectName("cbFilter");
    cbFilter->setEditable(true);
    cbFilter->setInsertPolicy(QComboBox::NoInsert);
    cbFilter->setToolTip("List only files of this type(Wildcard) ");
    cbFilter->addItems({"*.*", "*.BMP", "*.GIF", "*.JPEG", "*.JPG", "*.ICO", "*.HTM", "*.HTML",
                        "*.TXT", "*.MP3", "*.RM", "*.RAM"});
    cbFilter->setEditText("*.*");
    cbFilter->setMinimumContentsLength(12);
    // The box keeps the pattern as typed ("*.txt" stays so, also in the saved
    // file); the walk ignores letter case anyway.
    cbFilter->completer()->setCaseSensitivity(Qt::CaseSensitive);
    lblFilter->setBuddy(cbFilter);
    ToolBarFilter->addWidget(lblFilter);
    ToolBarFilter->addWidget(cbFilter);

    ToolBarIncludeSub = addToolBar("Include Subfolders");
    ToolBarIncludeSub->setObjectName("ToolBarIncludeSub");
    TbIncludeSub = new QCheckBox("Include Subfolders", ToolBarIncludeSub);
    TbIncludeSub->setObjectName("TbIncludeSub");
    TbIncludeSub->setToolTip("Search subfolders ");
    ToolBarIncludeSub->addWidget(TbIncludeSub);

    for (QToolBar* bar : {ToolBar1, ToolBarOperate, ToolBarPath, ToolBarFilter, ToolBarIncludeSub})
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

QDockWidget* TMainForm::MakePanel(const QString& name, const QString& title,
                                  const QString& tooltip) {
    auto* panel = new QDockWidget(title, Dock971);
    panel->setObjectName(name);
    panel->setToolTip(tooltip);
    panel->setAllowedAreas(Qt::BottomDockWidgetArea);
    panel->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                       QDockWidget::DockWidgetFloatable);
    // Our own title bar: a double click on it docks the panel on every
    // platform (a window manager's title bar would maximise it instead).
    auto* titleBar = new DockPanelTitle(panel);
    panel->setTitleBarWidget(titleBar);
    Dock971->addDockWidget(Qt::BottomDockWidgetArea, panel);
    return panel;
}

void TMainForm::BuildPanels() {
    auto buildButtons = [this](QWidget* owner, QToolButton* buttons[4]) {
        auto* column = new QVBoxLayout;
        column->setContentsMargins(0, 0, 0, 0);
        for (int i = 0; i < 4; ++i) {
            buttons[i]->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            buttons[i]->setMinimumWidth(80);
            buttons[i]->setAutoRaise(false);
            column->addWidget(buttons[i]);
        }
        column->addStretch(1);
        (void)owner;
        return column;
    };

    TB97Rename = MakePanel("TB97Rename", "File Renaming Panel",
                           "Double click to locate the Floating Panel to the default Dock");
    {
        auto* body = new QWidget(TB97Rename);
        body->setObjectName("TB97RenameBody");
        auto* row = new QHBoxLayout(body);
        Pages = new RulePages(body);
        row->addWidget(Pages, 1);
        TbRenamePreview =
            MirrorButton(body, "TbRenamePreview", "Preview", kPreviewHint, ActPreview);
        TbRenameApply = MirrorButton(body, "TbRenameApply", "Apply", kApplyHint, ActRename);
        TbRenameUndo = MirrorButton(body, "TbRenameUndo", "Undo", kUndoHint, ActUndo);
        TbRenameRefresh =
            MirrorButton(body, "TbRenameRefresh", "Refresh", QString(), ActRefreshTree);
        QToolButton* buttons[4] = {TbRenamePreview, TbRenameApply, TbRenameUndo, TbRenameRefresh};
        row->addLayout(buildButtons(body, buttons));
        TB97Rename->setWidget(body);
    }

    TB97Mp3 = MakePanel("TB97Mp3", "MP3 Tag Renaming Panel",
                        "Double click to locate the floating panel to the default Dock");
    {
        auto* body = new QWidget(TB97Mp3);
        body->setObjectName("TB97Mp3Body");
        auto* row = new QHBoxLayout(body);
        Mp3Controls = new Mp3PanelControls(body);
        row->addWidget(Mp3Controls, 1);
        TbMp3Preview = MirrorButton(body, "TbMp3Preview", "Preview", kPreviewHint, ActPreview);
        TbMp3Apply = MirrorButton(body, "TbMp3Apply", "Apply ", kApplyHint, ActRename);
        TbMp3Undo = MirrorButton(body, "TbMp3Undo", "Undo ", kUndoHint, ActUndo);
        TbMp3Refresh = MirrorButton(body, "TbMp3Refresh", "Refresh", kRefreshListHint, ActRefresh);
        QToolButton* buttons[4] = {TbMp3Preview, TbMp3Apply, TbMp3Undo, TbMp3Refresh};
        row->addLayout(buildButtons(body, buttons));
        TB97Mp3->setWidget(body);
    }
    Dock971->splitDockWidget(TB97Rename, TB97Mp3, Qt::Horizontal);

    // Built-in state: both float above the window, the file renaming panel
    // shown. A panel made floating while not hidden is shown as a window of
    // its own at once; hidden first, it gets its window when it is first
    // shown, at the position it holds by then (the stored one).
    for (QDockWidget* panel : {TB97Rename, TB97Mp3}) {
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
    QLabel** panels[4] = {&StatusPanel0, &StatusPanel1, &StatusPanel2, &StatusPanel3};
    const int widths[4] = {120, 120, 200, 300};
    const char* names[4] = {"StatusPanel0", "StatusPanel1", "StatusPanel2", "StatusPanel3"};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QString::fromLatin1(names[i]));
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

void TMainForm::WireSignals() {
    connect(ActPreview, &QAction::triggered, this, &TMainForm::ActPreviewExecute);
    connect(ActRename, &QAction::triggered, this, &TMainForm::ActRenameExecute);
    connect(ActUndo, &QAction::triggered, this, &TMainForm::ActUndoExecute);
    connect(ActRefresh, &QAction::triggered, this, &TMainForm::ActRefreshExecute);
    connect(ActSelectAll, &QAction::triggered, this, &TMainForm::ActSelectAllExecute);
    connect(ActSelectNone, &QAction::triggered, this, &TMainForm::ActSelectNoneExecute);
    connect(ActionSelectInvert, &QAction::triggered, this, &TMainForm::ActionSelectInvertExecute);
    connect(ActDelete, &QAction::triggered, this, &TMainForm::ActDeleteExecute);
    connect(ActHelp, &QAction::triggered, this, &TMainForm::ActHelpExecute);
    connect(ActRefreshTree, &QAction::triggered, this, &TMainForm::ActRefreshTreeExecute);

    connect(ExitMenuItem, &QAction::triggered, this, &TMainForm::ExitMenuItemClick);
    // These entries tick and untick only inside their handlers, so the
    // automatic flip of a checkable entry is taken back first.
    auto connectToggle = [this](QAction* entry, void (TMainForm::*handler)()) {
        connect(entry, &QAction::triggered, this, [this, entry, handler] {
            entry->setChecked(!entry->isChecked());
            (this->*handler)();
        });
    };
    connectToggle(ViewButtonMenuItem, &TMainForm::ViewButtonMenuItemClick);
    connectToggle(statusbarMenuItem, &TMainForm::statusbarMenuItemClick);
    connectToggle(PathMenuItem, &TMainForm::PathMenuItemClick);
    connectToggle(FilterMenuItem, &TMainForm::FilterMenuItemClick);
    connectToggle(IncludeSubfoldersMenuItem, &TMainForm::IncludeSubfoldersMenuItemClick);
    connectToggle(FilesPanelsMenuItem, &TMainForm::FilesPanelsMenuItemClick);
    connectToggle(MP3PanelsMenuItem, &TMainForm::MP3PanelsMenuItemClick);
    connect(mmiByName, &QAction::triggered, this, &TMainForm::ByCaptionClick);
    connect(mmiByType, &QAction::triggered, this, &TMainForm::byTypeClick);
    connect(mmiBySize, &QAction::triggered, this, &TMainForm::BySizeClick);
    connect(mmiByDate, &QAction::triggered, this, &TMainForm::ByDateClick);
    connect(mmiAutoArrange, &QAction::triggered, this, &TMainForm::ByAllClick);
    connect(mmiLog, &QAction::triggered, this, &TMainForm::mmiLogClick);
    connect(HomPageMenuItem, &QAction::triggered, this, &TMainForm::HomPageMenuItemClick);
    connect(EmailMenuItem, &QAction::triggered, this, &TMainForm::EmailMenuItemClick);
    connect(FAQinInternet1, &QAction::triggered, this, &TMainForm::FAQinInternet1Click);

    connect(TbRenameFiles, &QToolButton::clicked, this, &TMainForm::TbRenameFilesClick);
    connect(TbRenameMp3, &QToolButton::clicked, this, &TMainForm::TbRenameMp3Click);
    for (QDockWidget* panel : {TB97Rename, TB97Mp3}) {
        auto* title = static_cast<DockPanelTitle*>(panel->titleBarWidget());
        connect(title, &DockPanelTitle::CloseClicked, panel, &QWidget::close);
    }

    SearchThread = new TSearchThread(this);
    SearchThread->setObjectName("SearchThread");
    connect(SearchThread, &TSearchThread::RowsArrived, this,
            [this](FileRows rows) { AddFileItems(std::move(rows)); });
    connect(SearchThread, &TSearchThread::SearchDone, this, &TMainForm::SearchDone);
    connect(Pages->pgcGeneral, &QTabWidget::currentChanged, this,
            &TMainForm::ScheduleUpdateActions);

    connect(ShellTree, &FolderTree::FolderChanged, this, &TMainForm::ShellTreeChange);
    connect(ListView, &FileListView::HeaderClicked, this, &TMainForm::ListViewColumnClick);
    connect(ListView, &FileListView::KeyReleased, this, &TMainForm::ListViewKeyUp);
    connect(ListView, &FileListView::MouseReleased, this, &TMainForm::ListViewMouseUp);
    connect(ListView, &QAbstractItemView::clicked, this, &TMainForm::ListViewClick);
    connect(ListView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ListView->viewport()->mapToGlobal(at)); });

    // The boxes and buttons whose events have handlers of their own (see
    // eventFilter); each is watched where its events arrive.
    for (QObject* watched : std::initializer_list<QObject*>{cbFavorite, cbFilter, TbRenameFiles,
                                                            TbRenameMp3, TB97Rename, TB97Mp3})
        watched->installEventFilter(this);

    // Availability is decided again at the next idle moment after anything it
    // depends on changed, however the change came about (a key, the mouse, an
    // accessibility tool's action, a box answered, the scan): after every
    // command, and on every change of the list, the selection, the marks, the
    // scan counter, the shown panel and the active page.
    for (QAction* action : findChildren<QAction*>())
        ScheduleUpdatesAfter(action);
    for (StateField<bool>* mark : {&Previewed, &Applied})
        mark->OnChange([this] { ScheduleUpdateActions(); });
    SearchCount.OnChange([this] { ScheduleUpdateActions(); });
    connect(ListModel, &QAbstractItemModel::rowsInserted, this, &TMainForm::ScheduleUpdateActions);
    connect(ListModel, &QAbstractItemModel::rowsRemoved, this, &TMainForm::ScheduleUpdateActions);
    connect(ListModel, &QAbstractItemModel::modelReset, this, &TMainForm::ScheduleUpdateActions);
    connect(ListModel, &FileListModel::SelectedCountChanged, this,
            &TMainForm::ScheduleUpdateActions);
}

void TMainForm::ScheduleUpdatesAfter(QAction* action) {
    // Connected after the command's own handler, so the pass sees its outcome.
    connect(action, &QAction::triggered, this, &TMainForm::ScheduleUpdateActions);
}

void TMainForm::FormCreate() {
    Id3Reader = std::make_unique<TID3v1>();
    MoveFilesToTrash = DeleteFiles;
    SortAscending = true;
    SearchCount = 0;
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The divider stands 117 pixels from the left once the splitter has a size.
    Sp1->setSizes({117, qMax(Sp1->width() - 117 - Sp1->handleWidth(), 1)});
    // The panels float above the window, so they appear with it.
    TB97Rename->setVisible(m_renamePanelShown);
    TB97Mp3->setVisible(m_mp3PanelShown);
    FormShow();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TMainForm::FormClose() {
    // Floating panels are windows of their own; they go with the main window.
    TB97Rename->setVisible(false);
    TB97Mp3->setVisible(false);
    Id3Reader.reset();
}

void TMainForm::FormDestroy() {
    // A window that was never shown never loaded the settings; saving its
    // built-in state would overwrite the user's file.
    if (!SettingsPath.empty())
        SaveOptions();
}

void TMainForm::UpdateActions() {
    ActPreviewUpdate();
    ActRenameUpdate();
    ActUndoUpdate();
    ActRefreshUpdate();
    ActSelectAllUpdate();
    ActDeleteUpdate();
}

void TMainForm::ScheduleUpdateActions() {
    if (!m_idleTimer->isActive())
        m_idleTimer->start();
}

void TMainForm::ExecuteAction(QAction* action) {
    UpdateActions();
    if (action->isEnabled())
        action->trigger();
}

} // namespace quorvane
