// Showing and hiding the renaming panels and the bars, the status bar, help,
// the vendor links and the About box.
#include "shell/TMainForm.h"

#include "platform/Paths.h"
#include "shell/RulePages.h"
#include "shell/TAboutForm.h"
#include "shell/VendorLinks.h"
#include "widgets/FileListModel.h"
#include "widgets/FolderTree.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace quorvane {

void TMainForm::FormShow() {
    const std::string folder = SettingsFolder.empty() ? ProgramFolder() : SettingsFolder;
    SettingsPath = folder + "Options.ini";
    LoadOptions();

    // A folder from the command line wins over the one stored last time; the
    // scan it starts writes it into the path box.
    if (!StartFolder.empty() && DirectoryExists(StartFolder)) {
        ShellTree->SetPath(QFile::decodeName(StartFolder.c_str()));
    } else {
        const QString restored = cbFavorite->currentText();
        if (!restored.isEmpty() && DirectoryExists(QFile::encodeName(restored).toStdString()))
            ShellTree->SetPath(restored);
    }

    if (!mmiAbout) {
        mmiAbout = mmHelp->addAction(icons::About(), "About");
        mmiAbout->setObjectName("mmiAbout");
        connect(mmiAbout, &QAction::triggered, this, &TMainForm::AboutMenuItemClick);
        ScheduleUpdatesAfter(mmiAbout);
    }
}

// ---- Renaming panels ----

bool TMainForm::PanelShown(const QDockWidget* panel) const {
    return panel == TB97Mp3 ? m_mp3PanelShown : m_renamePanelShown;
}

void TMainForm::SetPanelShown(QDockWidget* panel, bool shown) {
    (panel == TB97Mp3 ? m_mp3PanelShown : m_renamePanelShown) = shown;
    // Floating panels are windows of their own: they appear with the window.
    if (m_shown)
        panel->setVisible(shown);
    ScheduleUpdateActions();
}

bool TMainForm::Mp3PanelVisible() const {
    return PanelShown(TB97Mp3);
}

int TMainForm::ActivePage() const {
    return Pages && Pages->pgcGeneral ? Pages->pgcGeneral->currentIndex() : 0;
}

void TMainForm::TbRenameFilesClick() {
    FilesPanelsMenuItem->setChecked(!FilesPanelsMenuItem->isChecked());
    cbFilter->setEditText("*.*");
    if (TbRenameFiles->isChecked()) {
        SetPanelShown(TB97Rename, true);
        SetPanelShown(TB97Mp3, false);
        TbRenameMp3->setChecked(false);
        MP3PanelsMenuItem->setChecked(false);
    } else {
        SetPanelShown(TB97Rename, false);
    }
}

void TMainForm::TbRenameMp3Click() {
    MP3PanelsMenuItem->setChecked(!MP3PanelsMenuItem->isChecked());
    cbFilter->setEditText("*.mp3");
    if (TbRenameMp3->isChecked()) {
        SetPanelShown(TB97Mp3, true);
        SetPanelShown(TB97Rename, false);
        TbRenameFiles->setChecked(false);
        FilesPanelsMenuItem->setChecked(false);
    } else {
        SetPanelShown(TB97Mp3, false);
    }
}

void TMainForm::FilesPanelsMenuItemClick() {
    TbRenameFiles->setChecked(!TbRenameFiles->isChecked());
    TbRenameFilesClick();
}

void TMainForm::MP3PanelsMenuItemClick() {
    TbRenameMp3->setChecked(!TbRenameMp3->isChecked());
    TbRenameMp3Click();
}

void TMainForm::TB97RenameClose() {
    TbRenameFiles->setChecked(!TbRenameFiles->isChecked());
    FilesPanelsMenuItem->setChecked(!FilesPanelsMenuItem->isChecked());
}

void TMainForm::TB97Mp3Close() {
    TbRenameMp3->setChecked(!TbRenameMp3->isChecked());
    MP3PanelsMenuItem->setChecked(!MP3PanelsMenuItem->isChecked());
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

void TMainForm::ViewButtonMenuItemClick() {
    SetControlShown(ToolBarOperate, !ControlShown(ToolBarOperate));
    ViewButtonMenuItem->setChecked(!ViewButtonMenuItem->isChecked());
}

void TMainForm::statusbarMenuItemClick() {
    SetControlShown(StatusBar, !ControlShown(StatusBar));
    statusbarMenuItem->setChecked(!statusbarMenuItem->isChecked());
}

void TMainForm::PathMenuItemClick() {
    SetControlShown(cbFavorite, !ControlShown(cbFavorite));
    PathMenuItem->setChecked(!PathMenuItem->isChecked());
}

void TMainForm::FilterMenuItemClick() {
    SetControlShown(cbFilter, !ControlShown(cbFilter));
    FilterMenuItem->setChecked(!FilterMenuItem->isChecked());
}

void TMainForm::IncludeSubfoldersMenuItemClick() {
    SetControlShown(TbIncludeSub, !ControlShown(TbIncludeSub));
    IncludeSubfoldersMenuItem->setChecked(!IncludeSubfoldersMenuItem->isChecked());
}

void TMainForm::ExitMenuItemClick() {
    close();
}

// ---- Status bar ----

void TMainForm::TbRenameFilesMouseMove() {
    StatusPanel2->setText("Show/Hide File Renaming Panel");
}

void TMainForm::TbRenameMp3MouseMove() {
    StatusPanel2->setText("Show/Hide MP3 Tag Renaming Panel");
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

QWidget* TMainForm::ProgressPanel() const {
    return StatusPanel3;
}

// ---- Help, links, About ----

void TMainForm::ActHelpExecute() {
    // Without a manual nothing happens, as the manual's absence is no error of the user's.
    const std::string manual =
        ManualFolder.empty() ? UserManualPath() : ManualFolder + "index.html";
    if (!manual.empty() && FileExists(manual))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(manual.c_str())));
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

// Installed on the path and filter boxes, the two panel buttons and the two
// panels only (see WireSignals).
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
        if (watched == TbRenameFiles)
            TbRenameFilesMouseMove();
        else if (watched == TbRenameMp3)
            TbRenameMp3MouseMove();
        break;
    case QEvent::Close:
        // The close button of a panel: it hides, then the handler runs.
        if (watched == TB97Rename || watched == TB97Mp3) {
            auto* panel = static_cast<QDockWidget*>(watched);
            if (PanelShown(panel)) {
                SetPanelShown(panel, false);
                if (panel == TB97Rename)
                    TB97RenameClose();
                else
                    TB97Mp3Close();
            }
        }
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
