#pragma once
// The main window: bars, the folder tree, the file list, the two floating
// renaming panels, menus, actions and the status bar. Its public face is only
// where it keeps its files; its handlers, named as documented, its controls and
// its state are its own (each control carries its documented name as its
// objectName, which is how tests and screen readers find and drive it).
// Handlers stay thin: the work lives in the core.
//
// Files: TMainForm.cpp (life, wiring, availability), MainFormBuild.cpp (the
// controls), MainFormPanels.cpp (panels, View menu, status bar, help),
// MainFormScan.cpp, MainFormPreview.cpp, MainFormRuns.cpp (apply, undo, log),
// MainFormOrdering.cpp (ordering, selection, delete), MainFormOptions.cpp
// ("Options.ini"), MainFormNames.cpp (names by hand, files given by name).

#include "filelist/GivenFiles.h"
#include "filelist/RowOrder.h"
#include "filelist/Selection.h"
#include "rules/FileRow.h"
#include "rules/RulePage.h"
#include "runs/RunResult.h"
#include "shell/StateField.h"

#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;

namespace quorvane {

class ConflictCheck;
struct ConflictNotes;
struct CycleFacts;
class FileListModel;
class FileListView;
class FloatingPanel;
class FolderTree;
class Mp3PanelControls;
class RulePages;
class RunController;
class ScanController;
class TID3v1;
struct OptionBinding;
enum class OptionId : int;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- Where the window keeps its files, set before it is first shown ----
    // Folder for "Options.ini" and "Log.txt", ending in "/"; empty means the
    // program folder (tests point it at a temporary folder). Set after the
    // first show, the next save goes there. A window never shown saves nothing.
    void SetSettingsFolder(std::string folder);
    // "Options.ini", built on first show; empty before.
    const std::string& SettingsPath() const { return m_settingsPath; }
    // Folder given on the command line (absolute, ending in "/"): listed at
    // first show instead of the restored path. Empty: the restored path.
    void SetStartFolder(std::string folder);
    // Files and folders given on the command line (absolute, a folder ending
    // in "/"): exactly these are listed at first show.
    void SetStartPaths(std::vector<std::string> paths);
    // Folder holding the manual's index.html; empty means the installed
    // manual, or the source tree's when run from the build folder.
    void SetManualFolder(std::string folder);
    // Moves files to the trash and returns the paths that stay; tests put a
    // double here.
    using TrashMover = std::function<std::vector<std::string>(const std::vector<std::string>&)>;
    void SetTrashMover(TrashMover mover);

    // Writes "Options.ini" now, as closing the window does.
    void SaveOptions();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    // The handlers of the window's controls and commands, under their
    // documented names; only the window's own wiring calls them.
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
    void ActRefreshTreeExecute();
    void ShellTreeChange();
    void cbFavoriteKeyUp(int key);
    void cbFilterKeyUp(int key);
    void SearchDone();

    // ---- Preview ----
    void ActPreviewExecute();
    // "Live Preview" is on and a rule or the MP3 format changed 150 ms ago:
    // Preview as far as it is available, leaving the focus and the selection
    // where the user has them.
    void LivePreviewTimerTimer();

    // ---- Apply, undo, log ----
    void ActRenameExecute();
    void ActUndoExecute();
    void mmiLogClick();
    // "Run &History...": the recorded runs, each of which can be given back.
    void mmiRunHistoryClick();

    // ---- Ordering, selection, delete ----
    void ListViewColumnClick(int column);
    void ByCaptionClick() { Arrange(kColumnOriginalName); }
    void byTypeClick() { Arrange(kColumnType); }
    void BySizeClick() { Arrange(kColumnSize); }
    void ByDateClick() { Arrange(kColumnModified); }
    void ByAllClick();
    void ActSelectAllExecute() { ChangeSelection(SelectAll); }
    void ActSelectNoneExecute() { ChangeSelection(SelectNone); }
    void ActionSelectInvertExecute() { ChangeSelection(InvertSelection); }
    void ActDeleteExecute();
    void ListViewKeyUp(int key);
    void ListViewMouseUp();
    void ListViewClick();

private:
    // A batch of scanned rows arrives; the list takes them over.
    void AddFileItems(FileRows&& rows);
    void LoadOptions();

    // Where the renaming cycle stands and how the list is ordered. A change of
    // a mark asks for an availability pass.
    struct CycleState {
        StateField<bool> Previewed{false};
        StateField<bool> Applied{false};
        int SortColumn = 0;
        bool SortAscending = true;
        bool AutoArrange = false;
    };

    // A renaming panel with the button and the View menu entry that show it,
    // and the filter its button sets.
    struct PanelSwitch {
        FloatingPanel* panel;
        QToolButton* button;
        QAction* entry;
        const char* filter;
    };

    // ---- Building (MainFormBuild.cpp) ----
    void BuildActions();
    void BuildMenus();
    QMenu* BuildViewMenu();
    QMenu* BuildOperateMenu();
    void AddSelectEntries(QMenu* menu, const char* prefix);
    void AddRunEntries(QMenu* menu, const char* prefix, const std::array<const char*, 4>& captions,
                       QAction* refresh);
    QMenu* BuildHelpMenu();
    void BuildPopupMenu();
    void BuildArrangeEntries();
    void BuildToolBars();
    void BuildOperateBar();
    void BuildBoxBars();
    void BuildClientArea();
    void BuildPanels();
    void BuildStatusBar();
    void WireSignals();
    void WireLivePreview();
    void WireAvailability();

    // ---- Helpers for all parts of the window ----
    // Where the cycle stands, as the availability of the commands reads it.
    CycleFacts CurrentFacts() const;
    // Makes each command available as the core's rules say, now (the idle
    // pass calls it too).
    void UpdateActions();
    // Asks for an availability pass at the next idle moment.
    void ScheduleUpdateActions();
    // Decides availability again after every run of the entry's command.
    void UpdatesAfter(QAction* action);
    // Evaluates the action's availability first; runs it only when available.
    void ExecuteAction(QAction* action);
    // The active rule page; the first one while the pages are missing.
    RulePage ActivePage() const;
    bool Mp3PanelVisible() const;
    // Shown state of the tool bar, the status bar, cbFavorite, cbFilter and
    // TbIncludeSub (a box is shown and hidden with its band).
    QToolBar* BandOf(const QWidget* control) const;
    bool ControlShown(const QWidget* control) const;
    void SetControlShown(QWidget* control, bool shown);
    PanelSwitch FilesSwitch() const;
    PanelSwitch Mp3Switch() const;
    void FollowPanelButton(const PanelSwitch& own, const PanelSwitch& other);
    void FlipPanelTicks(const PanelSwitch& closed);
    // A View menu entry: flips the shown state of its control and its own tick.
    void FlipShown(QWidget* control, QAction* entry);
    // "Total files : N" in panel 0 / "Selectd files : N" in panel 1.
    void ShowTotalFiles();
    void ShowSelectedFiles();
    // The conflicts of the list's new names, worked out beside the window and
    // shown when they are ready (for Preview and a live preview alike).
    void ShowConflictsLater();
    void ShowConflictNotes(const ConflictNotes& notes);
    // The fourth status panel, over which runs place their progress bar, in
    // status bar coordinates.
    QRect ProgressPanelRect() const;
    // The folder selected in the tree, ending in "/"; empty when none.
    std::string SelectedFolder() const;
    // Orders the list by the sort state and marks the sort column's header.
    SortState CurrentSortState() const;
    void SetSortState(SortState state);
    void SortList();
    // An Arrange entry: makes the column the sort column, then acts as a
    // header click on it.
    void Arrange(int column);
    void ChangeSelection(void (*change)(FileRows&));

    // ---- Preview (MainFormPreview.cpp) ----
    // A live preview leaves the selection, the page's boxes and the focus as
    // they are and shows no box; the Preview command does all three.
    enum class PreviewMode { Command, Live };
    // New names for the list by the shown panel's rules. False when the list
    // is empty (the file rules' case, which the command warns about).
    bool PreviewList(PreviewMode mode);
    // A faulty pattern's error in the hint panel; a preview without one takes
    // an earlier error away.
    void ShowPatternHint(const std::string& hint);
    // A text of the hint panel (panel 2) that is no pattern's error.
    void ShowHint(const QString& text);
    // Restarts the 150 ms wait when "Live Preview" is on.
    void ScheduleLivePreview();

    // ---- Runs (MainFormRuns.cpp) ----
    // A run of the run controller, with the progress bar over the fourth
    // status panel while it goes.
    void ShowRunProgress(std::size_t rows, const std::function<void(const RunProgress&)>& run);

    // ---- Names by hand, files given by name (MainFormNames.cpp) ----
    void WireNamesByHand();
    // A name typed in a cell or "Edit New Names": the row counts as
    // previewed and the conflicts are checked again.
    void NewNamesEdited();
    // "Edit New Names...": the selected rows, or all when none is selected.
    void ActEditNamesExecute();
    // Lists given files and folders beside the rows already listed.
    void AddGivenPaths(const std::vector<std::string>& paths);
    // Refresh while given files are listed: them again, as they are now
    // (the list is empty).
    void RereadGivenFiles();

    // ---- "Options.ini" (MainFormOptions.cpp) ----
    // Every option bound to its control, once, in the order the load sets them.
    std::vector<OptionBinding> BindOptions();
    std::vector<OptionBinding> BindPanelOptions();
    std::vector<OptionBinding> BindMainOptions();
    OptionBinding BindControlShown(OptionId option, QWidget* control);
    void SyncViewMenu();

    // ---- Controls, under their documented names ----
    QToolBar* ToolBarOperate = nullptr;
    QToolButton* TbRenameFiles = nullptr; // toggle, "Rename File(s)"
    QToolButton* TbRenameMp3 = nullptr;   // toggle, "Rename MP3"
    QToolBar* ToolBarPath = nullptr;      // band "Path:   "
    QComboBox* cbFavorite = nullptr;
    QToolBar* ToolBarFilter = nullptr; // band "Filter:   "
    QComboBox* cbFilter = nullptr;
    QToolBar* ToolBarIncludeSub = nullptr; // band of "Include Subfolders"
    QCheckBox* TbIncludeSub = nullptr;
    QCheckBox* TbIncludeFolders = nullptr; // beside it, in its band
    QSplitter* Sp1 = nullptr;
    FolderTree* ShellTree = nullptr;
    FileListView* ListView = nullptr;
    FileListModel* ListModel = nullptr;
    QMainWindow* Dock971 = nullptr; // the dock area under the list (holds ListView)
    FloatingPanel* TB97Rename = nullptr;
    FloatingPanel* TB97Mp3 = nullptr;
    RulePages* Pages = nullptr;              // inside TB97Rename (holds pgcGeneral)
    Mp3PanelControls* Mp3Controls = nullptr; // inside TB97Mp3
    // Four label panels of widths 120, 120, 200, 300.
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel0 = nullptr; // "Total files : N"
    QLabel* StatusPanel1 = nullptr; // "Selectd files : N"
    QLabel* StatusPanel2 = nullptr; // hint line
    QLabel* StatusPanel3 = nullptr; // covered by the run progress bar
    QLabel* StatusPanel4 = nullptr; // "Conflicts : N" after a Preview
    // The commands whose availability the window decides, and F1 and F5.
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
    QAction* ActEditNames = nullptr;   // "Edit New Names...", available as Preview is
    // The menus of the buttons of ToolBar1 and the entries that tick.
    QMenu* mmFile = nullptr;
    QMenu* mmView = nullptr;
    QMenu* mmOperate = nullptr;
    QMenu* mmHelp = nullptr;
    QAction* ViewButtonMenuItem = nullptr;        // "&Toolbars  "
    QAction* statusbarMenuItem = nullptr;         // "&Status Bar "
    QAction* PathMenuItem = nullptr;              // "Path"
    QAction* FilterMenuItem = nullptr;            // "Filter"
    QAction* IncludeSubfoldersMenuItem = nullptr; // "Include Subfolders"
    QAction* FilesPanelsMenuItem = nullptr;       // "File   Panel Only"
    QAction* MP3PanelsMenuItem = nullptr;         // "MP3  Panel Only"
    QAction* mmiAbout = nullptr;                  // "About", appended on first show
    QAction* mmiRunHistory = nullptr;             // "Run &History..."
    QAction* mmiLivePreview = nullptr;            // "Live Preview", checkable
    QMenu* PopupMenu1 = nullptr;                  // the list's pop-up menu
    // "By &Name", "By &Type", "By &Size", "By &Date", "&Auto Arrange": one set
    // of entries in the View menu's and the pop-up menu's "Arrange Icons".
    std::vector<QAction*> m_arrangeEntries;

    // ---- State ----
    CycleState m_state;
    ScanController* m_scan = nullptr;  // SearchThread, SearchForm and SearchCount
    RunController* m_runs = nullptr;   // Apply, Undo and the run history
    std::unique_ptr<TID3v1> Id3Reader; // one tag reader, made by FormCreate
    TrashMover m_moveFilesToTrash;
    std::string m_settingsFolder;
    std::string m_settingsPath;
    std::string m_startFolder;
    std::vector<std::string> m_startPaths;
    // Files given by name instead of the tree's folder (none: the tree's).
    GivenFiles m_givenFiles;
    // The tree re-reads itself; its change is no folder chosen by the user.
    bool m_treeRefreshing = false;
    QSize m_editNamesSize{420, 360}; // the "Edit New Names" window's
    std::string m_manualFolder;
    std::vector<OptionBinding> m_options;
    bool m_shown = false;
    QTimer* m_idleTimer = nullptr;
    QTimer* LivePreviewTimer = nullptr; // single shot, 150 ms after the last change
    bool m_previewing = false;          // a preview's own refills are no change
    bool m_patternHintShown = false;    // the hint panel holds a pattern's error
    ConflictCheck* m_conflictCheck = nullptr;
    // Counts the list's changes, so conflicts worked out for an older list
    // are never shown on a newer one.
    std::uint64_t m_listGeneration = 0;
};

} // namespace quorvane
