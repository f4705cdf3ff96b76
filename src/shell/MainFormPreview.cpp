// Preview in the window: the pages (or the MP3 panel) give the settings, the
// core computes the names, the window shows them. The command and the live
// preview share one path; only the command may touch what the user is
// working on (the selection, the page's boxes) or show a box.
#include "shell/TMainForm.h"

#include "mp3/Mp3NameFormatter.h"
#include "rules/CommandAvailability.h"
#include "rules/Preview.h"
#include "shell/ConflictCheck.h"
#include "shell/MessageBoxes.h"
#include "shell/Mp3PanelControls.h"
#include "shell/RulePages.h"
#include "shell/ScanController.h"
#include "widgets/FileListModel.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

namespace quorvane {

namespace {

std::vector<char> SelectionOf(const FileRows& rows) {
    std::vector<char> selected;
    selected.reserve(rows.size());
    for (const FileRow& row : rows)
        selected.push_back(row.selected ? 1 : 0);
    return selected;
}

void RestoreSelection(FileRows& rows, const std::vector<char>& selected) {
    for (std::size_t i = 0; i < rows.size() && i < selected.size(); ++i)
        rows[i].selected = selected[i] != 0;
}

} // namespace

void TMainForm::ActPreviewExecute() {
    if (!PreviewList(PreviewMode::Command))
        ShowMessage(this, MsgType::Warning, MsgButtons::Yes, "There is no files in File list!");
}

void TMainForm::LivePreviewTimerTimer() {
    if (!mmiLivePreview->isChecked())
        return;
    if (AvailableCommands(CurrentFacts()).preview)
        PreviewList(PreviewMode::Live);
}

bool TMainForm::PreviewList(PreviewMode mode) {
    const bool live = mode == PreviewMode::Live;
    m_previewing = true;
    bool listEmpty = false;
    std::string hint;
    if (Mp3PanelVisible() && !Id3Reader)
        Id3Reader = std::make_unique<TID3v1>();
    ListModel->ChangeRows([&](FileRows& rows) {
        // Preview selects every row when none is selected, and the MP3 panel
        // deselects the files without a tag; a live preview names the same
        // rows but hands the user's selection back.
        const std::vector<char> selection = live ? SelectionOf(rows) : std::vector<char>{};
        if (Mp3PanelVisible()) {
            const Mp3PreviewResult result =
                PreviewMp3Names(rows, Mp3Controls->ReadMp3Settings(), *Id3Reader);
            m_state.Previewed = result.previewed;
        } else {
            m_state.Previewed = true;
            const PreviewResult result = PreviewFileRows(rows, Pages->ReadPreviewSettings());
            listEmpty = result.listEmpty;
            if (const auto& error = result.outcome.replace.patternError)
                hint = ReplacePatternHint(*error);
            else if (result.outcome.replace.gaveUp > 0)
                hint = PatternGaveUpHint(result.outcome.replace.gaveUp);
            // Refilling a box the user is typing in would fight the typing.
            if (!live)
                Pages->ApplyRefills(result);
        }
        if (live)
            RestoreSelection(rows, selection);
    });
    ShowPatternHint(hint);
    m_previewing = false;
    if (listEmpty)
        return false;
    ShowSelectedFiles();
    ShowConflictsLater();
    ScheduleUpdateActions();
    return true;
}

void TMainForm::ShowHint(const QString& text) {
    StatusPanel2->setText(text);
    StatusPanel2->setToolTip(QString());
    m_patternHintShown = false;
}

void TMainForm::ShowPatternHint(const std::string& hint) {
    if (hint.empty()) {
        // Only a pattern's error is taken away; a mouse-over text stays.
        if (m_patternHintShown)
            ShowHint(QString());
        return;
    }
    const QString text = QString::fromStdString(hint);
    ShowHint(text);
    // The panel is narrow; the whole text shows when the pointer rests on it.
    StatusPanel2->setToolTip(text);
    m_patternHintShown = true;
}

void TMainForm::ScheduleLivePreview() {
    if (mmiLivePreview->isChecked() && !m_previewing)
        LivePreviewTimer->start();
}

// The plan Apply would carry out, shown before it runs: each conflict on its
// row, their count in the fifth panel. The new names show at once and the
// conflicts when their plan is made: a million rows in a thousand folders
// take longer to list and hash than the window may stand still.
void TMainForm::ShowConflictsLater() {
    // The notes of the names before would stand on the wrong rows meanwhile.
    ListModel->ClearConflictNotes();
    m_conflictCheck->Check(PlanInput(ListModel->Rows()), m_listGeneration);
}

void TMainForm::ShowConflictNotes(const ConflictNotes& notes) {
    ListModel->SetConflictNotes(notes.listRow, notes.texts);
    StatusPanel4->setText(
        QStringLiteral("Conflicts : %1").arg(static_cast<qulonglong>(notes.conflicts)));
}

} // namespace quorvane
