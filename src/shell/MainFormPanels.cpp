// Showing and hiding the renaming panels and the bars, the status bar, help,
// the vendor links and the About box.
#include "shell/TMainForm.h"

#include "platform/Paths.h"
#include "shell/ManualWindow.h"
#include "shell/MessageBoxes.h"
#include "shell/RulePages.h"
#include "shell/RunController.h"
#include "shell/TAboutForm.h"
#include "shell/VendorLinks.h"
#include "widgets/FileListModel.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace quorvane {

void TMainForm::FormShow() {
    // The folder is chosen once, so the settings, the log and the history
    // stay together for the whole run whatever happens beside the program.
    QString setAsideNote;
    if (m_settingsFolder.empty()) {
        ProgramFolderChoice choice = ChooseProgramFolder();
        m_settingsFolder = std::move(choice.folder);
        setAsideNote = QFile::decodeName(QByteArray::fromStdString(choice.setAsideNote));
    }
    m_settingsPath = SettingsFilePath(m_settingsFolder);
    m_runs->SetFolder(m_settingsFolder);
    LoadOptions();
    m_runs->OpenExistingHistory();

    // A folder from the command line wins over the one stored last time; the
    // scan it starts writes it into the path box.
    if (!m_startPaths.empty()) {
        AddGivenPaths(m_startPaths);
    } else if (!m_startFolder.empty() && DirectoryExists(m_startFolder)) {
        ShellTree->SetPath(QFile::decodeName(m_startFolder.c_str()));
    } else {
        const QString restored = cbFavorite->currentText();
        if (!restored.isEmpty() && DirectoryExists(QFile::encodeName(restored).toStdString()))
            ShellTree->SetPath(restored);
    }

    if (!mmiAbout) {
        mmiAbout = mmHelp->addAction(icons::About(), "About");
        mmiAbout->setObjectName("mmiAbout");
        connect(mmiAbout, &QAction::triggered, this, &TMainForm::AboutMenuItemClick);
        UpdatesAfter(mmiAbout);
    }
    // Once the window is on the screen, so the boxes have a window to belong
    // to; one after the other, never a box over a box.
    QTimer::singleShot(0, this, [this, setAsideNote] {
        if (!setAsideNote.isEmpty())
            ShowMessage(this, MsgType::Warning, MsgButtons::Ok, setAsideNote);
        if (m_runs->OfferRecovery() == RunController::RunEnd::Done)
            ActRefreshTreeExecute();
    });
}

// ---- Renaming panels ----

bool TMainForm::Mp3PanelVisible() const {
    return TB97Mp3->Shown();
}

RulePage TMainForm::ActivePage() const {
    return Pages && Pages->pgcGeneral ? Pages->ActivePage() : RulePage::Case;
}

TMainForm::PanelSwitch TMainForm::FilesSwitch() const {
    return {TB97Rename, TbRenameFiles, FilesPanelsMenuItem, "*.*"};
}

TMainForm::PanelSwitch TMainForm::Mp3Switch() const {
    return {TB97Mp3, TbRenameMp3, MP3PanelsMenuItem, "*.mp3"};
}

// The button's pressed state has already flipped when its click arrives. At
// most one panel is shown through the buttons and the menu.
void TMainForm::FollowPanelButton(const PanelSwitch& own, const PanelSwitch& other) {
    own.entry->setChecked(!own.entry->isChecked());
    cbFilter->setEditText(own.filter);
    own.panel->SetShown(own.button->isChecked());
    if (own.button->isChecked()) {
        other.panel->SetShown(false);
        other.button->setChecked(false);
        other.entry->setChecked(false);
    }
}

// A panel's own close button has hidden it; the filter box is not changed.
void TMainForm::FlipPanelTicks(const PanelSwitch& closed) {
    closed.button->setChecked(!closed.button->isChecked());
    closed.entry->setChecked(!closed.entry->isChecked());
}

void TMainForm::TbRenameFilesClick() {
    FollowPanelButton(FilesSwitch(), Mp3Switch());
}

void TMainForm::TbRenameMp3Click() {
    FollowPanelButton(Mp3Switch(), FilesSwitch());
}

// The menu entries press or release the button and run its click handler.
void TMainForm::FilesPanelsMenuItemClick() {
    TbRenameFiles->setChecked(!TbRenameFiles->isChecked());
    TbRenameFilesClick();
}

void TMainForm::MP3PanelsMenuItemClick() {
    TbRenameMp3->setChecked(!TbRenameMp3->isChecked());
    TbRenameMp3Click();
}

void TMainForm::TB97RenameClose() {
    FlipPanelTicks(FilesSwitch());
}

void TMainForm::TB97Mp3Close() {
    FlipPanelTicks(Mp3Switch());
}

// ---- Bars and boxes of the View menu ----

QToolBar* TMainForm::BandOf(const QWidget* control) const {
    if (control == cbFavorite)
        return ToolBarPath;
    if (control == cbFilter)
        return ToolBarFilter;
    if (control == TbIncludeSub)
        return ToolBarIncludeSub;
    return nullptr;
}

bool TMainForm::ControlShown(const QWidget* control) const {
    const QToolBar* band = BandOf(control);
    return !(band ? band : control)->isHidden();
}

void TMainForm::SetControlShown(QWidget* control, bool shown) {
    // A box in a tool bar is shown and hidden with its band.
    QToolBar* band = BandOf(control);
    (band ? static_cast<QWidget*>(band) : control)->setVisible(shown);
}

void TMainForm::FlipShown(QWidget* control, QAction* entry) {
    SetControlShown(control, !ControlShown(control));
    entry->setChecked(!entry->isChecked());
}

void TMainForm::ViewButtonMenuItemClick() {
    FlipShown(ToolBarOperate, ViewButtonMenuItem);
}

void TMainForm::statusbarMenuItemClick() {
    FlipShown(StatusBar, statusbarMenuItem);
}

void TMainForm::PathMenuItemClick() {
    FlipShown(cbFavorite, PathMenuItem);
}

void TMainForm::FilterMenuItemClick() {
    FlipShown(cbFilter, FilterMenuItem);
}

void TMainForm::IncludeSubfoldersMenuItemClick() {
    FlipShown(TbIncludeSub, IncludeSubfoldersMenuItem);
}

void TMainForm::ExitMenuItemClick() {
    close();
}

// ---- Status bar ----

void TMainForm::TbRenameFilesMouseMove() {
    ShowHint("Show/Hide File Renaming Panel");
}

void TMainForm::TbRenameMp3MouseMove() {
    ShowHint("Show/Hide MP3 Tag Renaming Panel");
}

void TMainForm::ShowTotalFiles() {
    StatusPanel0->setText(QStringLiteral("Total files : %1").arg(ListModel->RowCount()));
}

void TMainForm::ShowSelectedFiles() {
    StatusPanel1->setText(QStringLiteral("Selectd files : %1")
                              .arg(static_cast<qulonglong>(ListModel->SelectedCount())));
}

QRect TMainForm::ProgressPanelRect() const {
    return StatusPanel3->geometry();
}

// ---- Help, links, About ----

void TMainForm::ActHelpExecute() {
    // Without a manual nothing happens, as the manual's absence is no error of the user's.
    const std::string manual =
        m_manualFolder.empty() ? UserManualPath() : m_manualFolder + "index.html";
    if (!manual.empty() && FileExists(manual))
        OpenManual(this, QFile::decodeName(manual.c_str()));
}

void TMainForm::HomPageMenuItemClick() {
    OpenVendorLink(VendorWebSiteUrl());
}

void TMainForm::EmailMenuItemClick() {
    OpenVendorLink(VendorSupportMailUrl());
}

void TMainForm::FAQinInternet1Click() {
    OpenVendorLink(VendorFaqUrl());
}

void TMainForm::AboutMenuItemClick() {
    TAboutForm about(this);
    about.exec();
}

// ---- Events ----

// Installed on the path and filter boxes and the two panel buttons only (see
// WireSignals).
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
        if (watched == TbRenameFiles)
            TbRenameFilesMouseMove();
        else if (watched == TbRenameMp3)
            TbRenameMp3MouseMove();
        break;
    case QEvent::KeyRelease: {
        // The focus widget of an editable combo box is the box itself (its
        // line edit's focus proxy): keys arrive there, and the box hands them
        // to its line edit by a direct call that no filter sees.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == cbFavorite)
            cbFavoriteKeyUp(key);
        else if (watched == cbFilter)
            cbFilterKeyUp(key);
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace quorvane
