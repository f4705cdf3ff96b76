// The main window's life, its wiring, and its commands made available as the
// core decides.
#include "shell/TMainForm.h"

#include "mp3/TID3v1.h"
#include "platform/Paths.h"
#include "rules/CommandAvailability.h"
#include "shell/ConflictCheck.h"
#include "shell/Mp3PanelControls.h"
#include "shell/OptionBinding.h"
#include "shell/RulePages.h"
#include "shell/RunController.h"
#include "shell/ScanController.h"
#include "shell/Trash.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <initializer_list>

namespace quorvane {

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
    m_options = BindOptions();
    m_scan = new ScanController(this);
    m_runs = new RunController(this, *ListModel, [this](std::size_t rows, const auto& run) {
        ShowRunProgress(rows, run);
    });
    connect(m_runs, &RunController::HistoryRunUndone, this, &TMainForm::ActRefreshTreeExecute);
    m_conflictCheck = new ConflictCheck(
        [this](const ConflictNotes& notes) {
            if (notes.generation == m_listGeneration)
                ShowConflictNotes(notes);
        },
        this);

    m_idleTimer = new QTimer(this);
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(0);
    connect(m_idleTimer, &QTimer::timeout, this, &TMainForm::UpdateActions);
    LivePreviewTimer = new QTimer(this);
    LivePreviewTimer->setObjectName("LivePreviewTimer");
    LivePreviewTimer->setSingleShot(true);
    LivePreviewTimer->setInterval(150);
    connect(LivePreviewTimer, &QTimer::timeout, this, &TMainForm::LivePreviewTimerTimer);
    WireSignals();

    FormCreate();
    UpdateActions();
}

TMainForm::~TMainForm() {
    // A scan still running is stopped here, while the window is whole; its
    // last signals must not reach a half-destroyed window.
    m_scan->disconnect(this);
    delete m_scan;
    m_scan = nullptr;
    FormDestroy();
}

void TMainForm::SetSettingsFolder(std::string folder) {
    m_settingsFolder = std::move(folder);
    m_runs->SetFolder(m_settingsFolder);
    if (!m_settingsPath.empty())
        m_settingsPath = SettingsFilePath(m_settingsFolder);
}

void TMainForm::SetStartFolder(std::string folder) {
    m_startFolder = std::move(folder);
}

void TMainForm::SetManualFolder(std::string folder) {
    m_manualFolder = std::move(folder);
}

void TMainForm::SetTrashMover(TrashMover mover) {
    m_moveFilesToTrash = std::move(mover);
}

void TMainForm::WireSignals() {
    const std::pair<QAction*, void (TMainForm::*)()> commands[] = {
        {ActPreview, &TMainForm::ActPreviewExecute},
        {ActRename, &TMainForm::ActRenameExecute},
        {ActUndo, &TMainForm::ActUndoExecute},
        {ActRefresh, &TMainForm::ActRefreshExecute},
        {ActSelectAll, &TMainForm::ActSelectAllExecute},
        {ActSelectNone, &TMainForm::ActSelectNoneExecute},
        {ActionSelectInvert, &TMainForm::ActionSelectInvertExecute},
        {ActDelete, &TMainForm::ActDeleteExecute},
        {ActHelp, &TMainForm::ActHelpExecute},
        {ActRefreshTree, &TMainForm::ActRefreshTreeExecute},
    };
    for (const auto& [action, handler] : commands)
        connect(action, &QAction::triggered, this, handler);

    connect(TB97Rename, &FloatingPanel::Closed, this, &TMainForm::TB97RenameClose);
    connect(TB97Mp3, &FloatingPanel::Closed, this, &TMainForm::TB97Mp3Close);
    connect(m_scan, &ScanController::RowsArrived, this,
            [this](FileRows& rows) { AddFileItems(std::move(rows)); });
    connect(m_scan, &ScanController::SearchDone, this, &TMainForm::SearchDone);
    connect(ShellTree, &FolderTree::FolderChanged, this, &TMainForm::ShellTreeChange);
    connect(ListView, &FileListView::HeaderClicked, this, &TMainForm::ListViewColumnClick);
    connect(ListView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ListView->viewport()->mapToGlobal(at)); });
    connect(ListView, &FileListView::KeyReleased, this, &TMainForm::ListViewKeyUp);
    connect(ListView, &FileListView::MouseReleased, this, &TMainForm::ListViewMouseUp);
    connect(ListView, &QAbstractItemView::clicked, this, &TMainForm::ListViewClick);

    // The boxes and buttons whose keys and pointer moves have handlers of
    // their own (see eventFilter); each is watched where its events arrive.
    for (QObject* watched :
         std::initializer_list<QObject*>{cbFavorite, cbFilter, TbRenameFiles, TbRenameMp3})
        watched->installEventFilter(this);
    WireLivePreview();
    WireAvailability();
    WireNamesByHand();
}

void TMainForm::WireLivePreview() {
    // Any change of the list's rows, their order or their names.
    const auto listChanged = [this] { ++m_listGeneration; };
    connect(ListModel, &QAbstractItemModel::modelReset, this, listChanged);
    connect(ListModel, &QAbstractItemModel::layoutChanged, this, listChanged);
    connect(ListModel, &QAbstractItemModel::rowsInserted, this, listChanged);
    connect(ListModel, &QAbstractItemModel::rowsRemoved, this, listChanged);
    connect(ListModel, &QAbstractItemModel::dataChanged, this, listChanged);

    // Live preview: any change of a rule or of the MP3 panel's choices, each
    // while Preview works by that panel.
    connect(Pages, &RulePages::RuleSettingsChanged, this, [this] {
        if (!Mp3PanelVisible())
            ScheduleLivePreview();
    });
    connect(Mp3Controls, &Mp3PanelControls::SettingsChanged, this, [this] {
        if (Mp3PanelVisible())
            ScheduleLivePreview();
    });
    connect(mmiLivePreview, &QAction::toggled, this, [this](bool on) {
        if (!on)
            LivePreviewTimer->stop();
    });
}

void TMainForm::WireAvailability() {
    // Availability is decided again at the next idle moment after anything it
    // depends on changed, however the change came about (a key, the mouse, an
    // accessibility tool's action, a box answered, the scan): after every
    // command, and on every change of the list, the selection, the marks, the
    // scan counter, the shown panel and the active page.
    for (QAction* action : findChildren<QAction*>())
        UpdatesAfter(action);
    for (StateField<bool>* mark : {&m_state.Previewed, &m_state.Applied})
        mark->OnChange([this] { ScheduleUpdateActions(); });
    connect(m_scan, &ScanController::SearchCountChanged, this, &TMainForm::ScheduleUpdateActions);
    for (FloatingPanel* panel : {TB97Rename, TB97Mp3})
        connect(panel, &FloatingPanel::ShownChanged, this, &TMainForm::ScheduleUpdateActions);
    connect(Pages->pgcGeneral, &QTabWidget::currentChanged, this,
            &TMainForm::ScheduleUpdateActions);
    connect(ListModel, &QAbstractItemModel::rowsInserted, this, &TMainForm::ScheduleUpdateActions);
    connect(ListModel, &QAbstractItemModel::rowsRemoved, this, &TMainForm::ScheduleUpdateActions);
    connect(ListModel, &QAbstractItemModel::modelReset, this, &TMainForm::ScheduleUpdateActions);
    connect(ListModel, &FileListModel::SelectedCountChanged, this,
            &TMainForm::ScheduleUpdateActions);
}

void TMainForm::UpdatesAfter(QAction* action) {
    // Connected after the command's own handler, so the answers reflect its
    // outcome before the user can act again.
    connect(action, &QAction::triggered, this, &TMainForm::UpdateActions);
}

void TMainForm::FormCreate() {
    Id3Reader = std::make_unique<TID3v1>();
    m_moveFilesToTrash = DeleteFiles;
    m_state.SortAscending = true;
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The divider stands 117 pixels from the left once the splitter has a size.
    Sp1->setSizes({117, qMax(Sp1->width() - 117 - Sp1->handleWidth(), 1)});
    // The panels float above the window, so they appear with it.
    TB97Rename->AppearWithWindow();
    TB97Mp3->AppearWithWindow();
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
    if (!m_settingsPath.empty())
        SaveOptions();
}

CycleFacts TMainForm::CurrentFacts() const {
    CycleFacts facts;
    facts.previewed = m_state.Previewed;
    facts.applied = m_state.Applied;
    facts.page = ActivePage();
    facts.mp3PanelShown = Mp3PanelVisible();
    facts.rows = static_cast<std::size_t>(ListModel->RowCount());
    facts.selectedRows = ListModel->SelectedCount();
    facts.scanning = m_scan->SearchCount() != 0;
    return facts;
}

void TMainForm::UpdateActions() {
    const CommandAvailability available = AvailableCommands(CurrentFacts());
    ActPreview->setEnabled(available.preview);
    ActRename->setEnabled(available.apply);
    ActUndo->setEnabled(available.undo);
    ActRefresh->setEnabled(available.refresh);
    for (QAction* select : {ActSelectAll, ActSelectNone, ActionSelectInvert})
        select->setEnabled(available.select);
    ActDelete->setEnabled(available.deleteFiles);
    // Names typed by hand are a preview of their own.
    ActEditNames->setEnabled(available.preview);
    ListModel->SetNewNamesEditable(available.preview);
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
