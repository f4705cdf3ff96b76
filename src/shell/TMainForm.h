#pragma once
// The main window: bars, the folder tree, the file list, the two floating
// renaming panels, menus, actions and the status bar. Every documented control
// is a public member named as documented (and carries that name as its
// objectName), and every handler is a public member so that the other parts
// of the shell can call it (tests reach handlers through input, as a user
// does). Handlers stay thin: the work lives in the core.
//
// Handler files: TMainForm.cpp and MainForm*.cpp of the window; the apply and
// undo handlers live in MainFormRuns.cpp, ordering/selection/delete in
// MainFormOrdering.cpp, the settings file in MainFormOptions.cpp.

#include "rules/FileRow.h"
#include "shell/StateField.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDockWidget;
class QLabel;
class QMenu;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;

namespace quorvane {

class FileListModel;
class FolderTree;
class FileListView;
class RulePages;
class Mp3PanelControls;
class TID3v1;
class TSearchForm;
class TSearchThread;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- Tool bars (the cool bar's bands) ----
    QToolBar* ToolBar1 = nullptr; // "&File" "&View" "&Operate" "&Help" drop-downs
    QToolButton* TbFile = nullptr;
    QToolButton* TbView = nullptr;
    QToolButton* TbOperate = nullptr;
    QToolButton* TbHelp = nullptr;
    QToolBar* ToolBarOperate = nullptr;   // large buttons
    QToolButton* TbRenameFiles = nullptr; // toggle, "Rename File(s)"
    QToolButton* TbRenameMp3 = nullptr;   // toggle, "Rename MP3"
    QToolButton* TbPreview = nullptr;
    QToolButton* TbApply = nullptr;
    QToolButton* TbUndo = nullptr;
    QToolButton* TbRefresh = nullptr;
    QToolBar* ToolBarPath = nullptr; // band "Path:   "
    QLabel* lblPath = nullptr;
    QComboBox* cbFavorite = nullptr;
    QToolBar* ToolBarFilter = nullptr; // band "Filter:   "
    QLabel* lblFilter = nullptr;
    QComboBox* cbFilter = nullptr;
    QToolBar* ToolBarIncludeSub = nullptr; // band of "Include Subfolders"
    QCheckBox* TbIncludeSub = nullptr;

    // ---- Client area ----
    QSplitter* Sp1 = nullptr;
    FolderTree* ShellTree = nullptr;
    FileListView* ListView = nullptr;
    FileListModel* ListModel = nullptr;
    QMainWindow* Dock971 = nullptr; // the dock area under the list (holds ListView)
    QDockWidget* TB97Rename = nullptr;
    QDockWidget* TB97Mp3 = nullptr;
    RulePages* Pages = nullptr;              // inside TB97Rename (holds pgcGeneral)
    Mp3PanelControls* Mp3Controls = nullptr; // inside TB97Mp3
    // The four buttons of each panel, top to bottom.
    QToolButton* TbRenamePreview = nullptr;
    QToolButton* TbRenameApply = nullptr;
    QToolButton* TbRenameUndo = nullptr;
    QToolButton* TbRenameRefresh = nullptr;
    QToolButton* TbMp3Preview = nullptr;
    QToolButton* TbMp3Apply = nullptr;
    QToolButton* TbMp3Undo = nullptr;
    QToolButton* TbMp3Refresh = nullptr;

    // ---- Status bar: four label panels of widths 120, 120, 200, 300 ----
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel0 = nullptr; // "Total files : N"
    QLabel* StatusPanel1 = nullptr; // "Selectd files : N"
    QLabel* StatusPanel2 = nullptr; // hint line
    QLabel* StatusPanel3 = nullptr; // covered by the run progress bar

    // ---- Actions (ActionList1) ----
    QAction* ActPreview = nullptr;
    QAction* ActRename = nullptr;
    QAction* ActUndo = nullptr;
    QAction* ActRefresh = nullptr;
    QAction* ActSelectAll = nullptr;       // Ctrl+A
    QAction* ActSelectNone = nullptr;      // Ctrl+Z
    QAction* ActionSelectInvert = nullptr; // Ctrl+I
    QAction* ActDelete = nullptr;
    QAction* ActHelp = nullptr;        // F1
    QAction* ActRefreshTree = nullptr; // F5

    // ---- Main menu mmMain, reached through the buttons of ToolBar1 ----
    QMenu* mmFile = nullptr;
    QMenu* mmView = nullptr;
    QMenu* mmOperate = nullptr;
    QMenu* mmHelp = nullptr;
    QAction* ExitMenuItem = nullptr;              // "E&xit"
    QAction* ViewButtonMenuItem = nullptr;        // "&Toolbars  "
    QAction* statusbarMenuItem = nullptr;         // "&Status Bar "
    QAction* PathMenuItem = nullptr;              // "Path"
    QAction* FilterMenuItem = nullptr;            // "Filter"
    QAction* IncludeSubfoldersMenuItem = nullptr; // "Include Subfolders"
    QAction* FilesPanelsMenuItem = nullptr;       // "File   Panel Only"
    QAction* MP3PanelsMenuItem = nullptr;         // "MP3  Panel Only"
    QMenu* mmiArrangeIcons = nullptr;             // "Arrange Icons" (View)
    QAction* mmiByName = nullptr;                 // "By &Name"
    QAction* mmiByType = nullptr;                 // "By &Type"
    QAction* mmiBySize = nullptr;                 // "By &Size"
    QAction* mmiByDate = nullptr;                 // "By &Date"
    QAction* mmiAutoArrange = nullptr;            // "&Auto Arrange"
    QAction* mmiViewRefresh = nullptr;            // "Refresh" (View)
    QAction* mmiLog = nullptr;                    // "Log(&L)"
    QAction* mmiSelectAll = nullptr;              // Operate menu entries
    QAction* mmiSelectNone = nullptr;
    QAction* mmiInvertSelect = nullptr;
    QAction* mmiDelete = nullptr;
    QAction* mmiPreview = nullptr;
    QAction* mmiApply = nullptr;
    QAction* mmiUndo = nullptr;
    QAction* mmiRefresh = nullptr;
    QAction* mmiUserManual = nullptr;   // "User &Manual"
    QAction* HomPageMenuItem = nullptr; // "Visit Web &Site"
    QAction* EmailMenuItem = nullptr;   // "&Contact us"
    QAction* FAQinInternet1 = nullptr;  // "&FAQ in Internet"
    QAction* mmiAbout = nullptr;        // "About", appended on first show

    // ---- Pop-up menu of the list ----
    QMenu* PopupMenu1 = nullptr;
    QMenu* pmiArrangeIcons = nullptr; // "&Arrange Icons" (same entries as the View submenu)

    // ---- State shared by the parts of the window ----
    // A change of any of these three asks for an availability pass.
    StateField<bool> Previewed{false};
    StateField<bool> Applied{false};
    StateField<int> SearchCount{0};
    int SortColumn = 0;
    bool SortAscending = true;
    bool AutoArrange = false;
    // The scan: one worker object for the window's life, reused by every scan;
    // the progress window exists while a scan runs.
    TSearchThread* SearchThread = nullptr;
    QPointer<TSearchForm> SearchForm;
    std::unique_ptr<TID3v1> Id3Reader; // one tag reader, made by FormCreate
    // Moves files to the trash and returns the paths that stay (DeleteFiles);
    // tests put a double here.
    std::function<std::vector<std::string>(const std::vector<std::string>&)> MoveFilesToTrash;
    std::string SettingsPath; // "Options.ini", built on first show
    // Folder for "Options.ini"; empty means the program folder (tests point it
    // at a temporary folder). A window never shown saves nothing.
    std::string SettingsFolder;
    // Folder given on the command line (absolute, ending in "/"): listed at
    // first show instead of the restored path. Empty: the restored path.
    std::string StartFolder;
    // Folder holding the manual's index.html; empty means the installed
    // manual, or the source tree's when run from the build folder (tests
    // point it at a temporary folder).
    std::string ManualFolder;

    // ---- Window life ----
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();

    // ---- Panels and view menu ----
    void TbRenameFilesClick();
    void TbRenameMp3Click();
    void FilesPanelsMenuItemClick();
    void MP3PanelsMenuItemClick();
    void TB97RenameClose();
    void TB97Mp3Close();
    void ViewButtonMenuItemClick();
    void statusbarMenuItemClick();
    void PathMenuItemClick();
    void FilterMenuItemClick();
    void IncludeSubfoldersMenuItemClick();
    void ExitMenuItemClick();
    void TbRenameFilesMouseMove();
    void TbRenameMp3MouseMove();

    // ---- Help and vendor links ----
    void ActHelpExecute();
    void HomPageMenuItemClick();
    void EmailMenuItemClick();
    void FAQinInternet1Click();
    void AboutMenuItemClick();

    // ---- Scan ----
    void ActRefreshExecute();
    void ActRefreshUpdate();
    void ActRefreshTreeExecute();
    void ShellTreeChange();
    void cbFavoriteKeyUp(int key);
    void cbFilterKeyUp(int key);
    void SearchDone();
    // A batch of scanned rows arrives (the count first, then the rows).
    void AddFileItems(FileRows&& rows);

    // ---- Preview ----
    void ActPreviewExecute();
    void ActPreviewUpdate();

    // ---- Apply, undo, log (MainFormRuns.cpp) ----
    void ActRenameExecute();
    void ActRenameUpdate();
    void ActUndoExecute();
    void ActUndoUpdate();
    void mmiLogClick();

    // ---- Ordering, selection, delete (MainFormOrdering.cpp) ----
    void ListViewColumnClick(int column);
    void ByCaptionClick();
    void byTypeClick();
    void BySizeClick();
    void ByDateClick();
    void ByAllClick();
    void ActSelectAllExecute();
    void ActSelectNoneExecute();
    void ActionSelectInvertExecute();
    void ActSelectAllUpdate();
    void ActDeleteExecute();
    void ActDeleteUpdate();
    void ListViewKeyUp(int key);
    void ListViewMouseUp();
    void ListViewClick();

    // ---- Settings file (MainFormOptions.cpp) ----
    void LoadOptions();
    void SaveOptions();

    // ---- Helpers for all parts of the window ----
    // Runs every availability handler now (the idle pass calls it too).
    void UpdateActions();
    // Asks for an availability pass at the next idle moment.
    void ScheduleUpdateActions();
    // Asks for one after every run of the entry's command.
    void ScheduleUpdatesAfter(QAction* action);
    // Evaluates the action's availability first; runs it only when available.
    void ExecuteAction(QAction* action);
    // Index of the active rule page (4 is "Attributes"); 0 while the pages are missing.
    int ActivePage() const;
    bool Mp3PanelVisible() const;
    // Whether a renaming panel is shown; before the window is first shown
    // this is the state it will show with. Hiding goes through here and does
    // not run the close handlers.
    bool PanelShown(const QDockWidget* panel) const;
    void SetPanelShown(QDockWidget* panel, bool shown);
    // Shown state of the tool bar, the status bar, cbFavorite, cbFilter and
    // TbIncludeSub (a box is shown and hidden with its band).
    bool ControlShown(const QWidget* control) const;
    void SetControlShown(QWidget* control, bool shown);
    // "Total files : N" in panel 0 / "Selectd files : N" in panel 1.
    void ShowTotalFiles();
    void ShowSelectedFiles();
    // The fourth status panel, over which runs place their progress bar, in
    // status bar coordinates.
    QRect ProgressPanelRect() const;
    QWidget* ProgressPanel() const;
    // The folder selected in the tree, ending in "/"; empty when none.
    std::string SelectedFolder() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildClientArea();
    void BuildPanels();
    void BuildStatusBar();
    void WireSignals();

    QToolBar* BandOf(const QWidget* control) const;
    QDockWidget* MakePanel(const QString& name, const QString& title, const QString& tooltip);

    bool m_shown = false;
    bool m_renamePanelShown = true;
    bool m_mp3PanelShown = false;
    QTimer* m_idleTimer = nullptr;
};

} // namespace quorvane
