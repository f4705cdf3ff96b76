// Loading and saving "Options.ini": the states of the named controls, under
// the sections and keys of OptionsTable.
#include "shell/TMainForm.h"

#include "platform/IniFile.h"
#include "rules/EnumerationRule.h"
#include "shell/Mp3PanelControls.h"
#include "shell/OptionsTable.h"
#include "shell/RulePages.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <cmath>
#include <exception>
#include <stdexcept>

namespace quorvane {

namespace {

using I = OptionId;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

int ToInt(long value) {
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// A radio button set to true turns the others of its group off; one set to
// false is only turned off, which Qt refuses for the checked button of an
// exclusive group unless the group lets go for a moment.
void SetRadio(QRadioButton* button, bool on) {
    if (on || !button->isChecked()) {
        button->setChecked(on);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

// The stored number to the nearest integer, held within the box's bounds.
void SetSpin(QSpinBox* box, double value) {
    if (std::isnan(value))
        return;
    if (box->minimum() != box->maximum())
        value = std::clamp(value, double(box->minimum()), double(box->maximum()));
    else
        value = std::clamp(value, double(INT_MIN), double(INT_MAX));
    box->setValue(static_cast<int>(std::lround(value)));
}

// Selecting an index runs no reaction; one outside the list selects nothing.
void SetIndex(QComboBox* box, long index) {
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? int(index) : -1);
}

// Appends the stored items that are neither empty nor already in the box
// (compared without regard to letter case). The box keeps its text and its
// selection: Qt would select the first item put into an empty box.
void AppendHistory(QComboBox* box, const std::vector<std::string>& stored) {
    QSet<QString> known;
    for (int i = 0; i < box->count(); ++i)
        known.insert(box->itemText(i).toCaseFolded());
    QStringList added;
    for (const std::string& item : stored) {
        const QString text = Q(item);
        if (text.isEmpty() || known.contains(text.toCaseFolded()))
            continue;
        known.insert(text.toCaseFolded());
        added.append(text);
    }
    if (added.isEmpty())
        return;
    const QSignalBlocker quiet(box);
    const int index = box->currentIndex();
    const QString text = box->currentText();
    box->addItems(added);
    if (box->currentIndex() != index)
        box->setCurrentIndex(index);
    if (box->isEditable() && box->currentText() != text)
        box->setEditText(text);
}

std::vector<std::string> ItemsOf(const QComboBox* box) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i)
        items.push_back(box->itemText(i).toStdString());
    return items;
}

long CountOf(const QComboBox* box) {
    return box->count();
}

// The control's own enabled state, whatever its parents' are.
bool OwnEnabled(const QWidget* control) {
    return !control->testAttribute(Qt::WA_Disabled);
}

// The stored bounds, held within the desktop: a damaged or foreign file must
// not ask for a window larger than every screen together.
void SetWindowBounds(QWidget& window, long left, long top, long width, long height) {
    QSize limit(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const QScreen* screen = window.screen())
        limit = screen->availableVirtualSize().expandedTo(QSize(1, 1));
    window.move(ToInt(left), ToInt(top));
    window.resize(static_cast<int>(std::clamp<long>(width, 1, limit.width())),
                  static_cast<int>(std::clamp<long>(height, 1, limit.height())));
}

void LoadPanels(TMainForm& form, const StoredOptions& stored) {
    form.TB97Rename->move(ToInt(stored.Integer(I::RenamePanelLeft)),
                          ToInt(stored.Integer(I::RenamePanelTop)));
    // A page control always shows a page: an index outside the pages leaves
    // the page that is showing.
    const long page = stored.Integer(I::RenamePanelActiveIndex);
    if (page >= 0 && page < form.Pages->pgcGeneral->count())
        form.Pages->pgcGeneral->setCurrentIndex(int(page));
    form.SetPanelShown(form.TB97Rename, stored.Boolean(I::RenamePanelVisible));
    form.TbRenameFiles->setChecked(stored.Boolean(I::RenamePanelDown));

    form.TB97Mp3->move(ToInt(stored.Integer(I::Mp3PanelLeft)),
                       ToInt(stored.Integer(I::Mp3PanelTop)));
    form.SetPanelShown(form.TB97Mp3, stored.Boolean(I::Mp3PanelVisible));
    form.TbRenameMp3->setChecked(stored.Boolean(I::Mp3PanelDown));
}

void LoadCasePage(RulePages& pages, const StoredOptions& stored) {
    SetRadio(pages.MFRB1, stored.Boolean(I::CaseMFRB1));
    SetRadio(pages.MFRB2, stored.Boolean(I::CaseMFRB2));
    SetRadio(pages.MFRB3, stored.Boolean(I::CaseMFRB3));
    SetRadio(pages.MFRB4, stored.Boolean(I::CaseMFRB4));
    SetRadio(pages.RB1, stored.Boolean(I::CaseRB1));
    SetRadio(pages.RB2, stored.Boolean(I::CaseRB2));
    SetRadio(pages.RB3, stored.Boolean(I::CaseRB3));
    SetRadio(pages.RB4, stored.Boolean(I::CaseRB4));
    pages.cbCaseEXT->setEnabled(stored.Boolean(I::CaseExtEnabled));
    pages.cbCaseEXT->setEditText(Q(stored.Text(I::CaseExtText)));
    AppendHistory(pages.cbCaseEXT, stored.HistoryItems(I::CaseExtItems));
}

void LoadTextPages(RulePages& pages, const StoredOptions& stored) {
    pages.meSource->setText(Q(stored.Text(I::InsertText)));
    SetSpin(pages.meindex, stored.Number(I::InsertIndex));
    pages.cbFromEnd->setChecked(stored.Boolean(I::InsertFromEnd));

    pages.cbEnd->setChecked(stored.Boolean(I::DeleteFromEnd));
    SetSpin(pages.edtIndex, stored.Number(I::DeleteIndex));
    SetSpin(pages.edtCount, stored.Number(I::DeleteCount));

    pages.edsource->setText(Q(stored.Text(I::ReplaceSource)));
    pages.edTarget->setText(Q(stored.Text(I::ReplaceTarget)));
    SetRadio(pages.rdbReplace, stored.Boolean(I::ReplaceReplace));
    SetRadio(pages.rdbRemove, stored.Boolean(I::ReplaceRemove));
    pages.chkAllSub->setChecked(stored.Boolean(I::ReplaceAllOccurrences));
}

void LoadAttributesPage(RulePages& pages, const StoredOptions& stored) {
    pages.ChkChangeAttr->setChecked(stored.Boolean(I::AttrChangeAttr));
    pages.ChkSetTimeStamp->setChecked(stored.Boolean(I::AttrSetTimeStamp));
    pages.ChkReadOnly->setChecked(stored.Boolean(I::AttrReadOnly));
    pages.chkHidden->setChecked(stored.Boolean(I::AttrHidden));
    pages.chkArchive->setChecked(stored.Boolean(I::AttrArchive));
    pages.chksysfile->setChecked(stored.Boolean(I::AttrSystem));
    pages.TBSelect->setEnabled(stored.Boolean(I::AttrSelectEnabled));
    pages.TbNo->setEnabled(stored.Boolean(I::AttrNoEnabled));
    pages.tb97TimeNow->setEnabled(stored.Boolean(I::AttrTimeNowEnabled));
}

void LoadEnumerationPage(RulePages& pages, const StoredOptions& stored) {
    pages.edtTemplate->setText(Q(stored.Text(I::EmuTemplate)));
    pages.edtLast->setText(Q(stored.Text(I::EmuLast)));
    pages.cbExt->setEditText(Q(stored.Text(I::EmuExtText)));
    SetIndex(pages.CBApplyTo, stored.Integer(I::EmuApplyTo));
    SetIndex(pages.CBAlpha, stored.Integer(I::EmuAlpha));
    pages.CBApplyToChange();
    pages.CBAlphaChange(); // refills the start values of the kind
    // The start text defaults to the kind's own start; without a kind it
    // keeps what the reaction left.
    const SerialStartChoices choices = StartChoicesForKind(pages.CBAlpha->currentIndex());
    if (choices.text)
        pages.meStartFrom->setEditText(Q(stored.Text(I::EmuStartFromText, *choices.text)));
    SetSpin(pages.mestep, stored.Number(I::EmuStep));
    AppendHistory(pages.meStartFrom, stored.HistoryItems(I::EmuStartFromItems));
    AppendHistory(pages.cbExt, stored.HistoryItems(I::EmuExtItems));
}

void LoadMp3Options(Mp3PanelControls& mp3, const StoredOptions& stored) {
    mp3.ChkSpace->setChecked(stored.Boolean(I::Mp3Space));
    mp3.ChkCase->setChecked(stored.Boolean(I::Mp3Case));
    mp3.chkAddPre->setChecked(stored.Boolean(I::Mp3AddPre));
    SetIndex(mp3.cbFormat, stored.Integer(I::Mp3FormatIndex));
    SetIndex(mp3.cbSpace, stored.Integer(I::Mp3SpaceIndex));
    SetIndex(mp3.cbCase, stored.Integer(I::Mp3CaseIndex));
    SetIndex(mp3.cbEmulation, stored.Integer(I::Mp3EmulationIndex));
    // After the index, so the stored format is what shows.
    mp3.cbFormat->setEditText(Q(stored.Text(I::Mp3LastFormat)));
    AppendHistory(mp3.cbFormat, stored.HistoryItems(I::Mp3FormatItems));
}

void LoadMainWindow(TMainForm& form, const StoredOptions& stored) {
    SetWindowBounds(form, stored.Integer(I::MainLeft), stored.Integer(I::MainTop),
                    stored.Integer(I::MainWidth), stored.Integer(I::MainHeight));
    form.TbIncludeSub->setChecked(stored.Boolean(I::MainIncludeSub));
    form.cbFavorite->setEditText(Q(stored.Text(I::MainFavoriteText)));
    form.cbFilter->setEditText(Q(stored.Text(I::MainFilterText)));
    AppendHistory(form.cbFilter, stored.HistoryItems(I::MainFilterItems));
    AppendHistory(form.cbFavorite, stored.HistoryItems(I::MainFavoriteItems));
    form.SetControlShown(form.ToolBarOperate, stored.Boolean(I::MainToolBarVisible));
    form.SetControlShown(form.cbFilter, stored.Boolean(I::MainFilterVisible));
    form.SetControlShown(form.cbFavorite, stored.Boolean(I::MainFavoriteVisible));
    form.SetControlShown(form.TbIncludeSub, stored.Boolean(I::MainIncludeSubVisible));
    form.SetControlShown(form.StatusBar, stored.Boolean(I::MainStatusBarVisible));
}

// The show and hide commands flip states, so their check marks must start
// from the states just loaded.
void SyncViewMenu(TMainForm& form) {
    form.ViewButtonMenuItem->setChecked(form.ControlShown(form.ToolBarOperate));
    form.statusbarMenuItem->setChecked(form.ControlShown(form.StatusBar));
    form.PathMenuItem->setChecked(form.ControlShown(form.cbFavorite));
    form.FilterMenuItem->setChecked(form.ControlShown(form.cbFilter));
    form.IncludeSubfoldersMenuItem->setChecked(form.ControlShown(form.TbIncludeSub));
    form.FilesPanelsMenuItem->setChecked(form.TbRenameFiles->isChecked());
    form.MP3PanelsMenuItem->setChecked(form.TbRenameMp3->isChecked());
}

// The current state of the control behind one key.
OptionValue CurrentValue(const TMainForm& form, OptionId id) {
    const RulePages& pages = *form.Pages;
    const Mp3PanelControls& mp3 = *form.Mp3Controls;
    switch (id) {
    case I::RenamePanelLeft:
        return long{form.TB97Rename->x()};
    case I::RenamePanelTop:
        return long{form.TB97Rename->y()};
    case I::RenamePanelVisible:
        return form.PanelShown(form.TB97Rename);
    case I::RenamePanelDown:
        return form.TbRenameFiles->isChecked();
    case I::RenamePanelActiveIndex:
        return long{pages.pgcGeneral->currentIndex()};
    case I::Mp3PanelLeft:
        return long{form.TB97Mp3->x()};
    case I::Mp3PanelTop:
        return long{form.TB97Mp3->y()};
    case I::Mp3PanelVisible:
        return form.PanelShown(form.TB97Mp3);
    case I::Mp3PanelDown:
        return form.TbRenameMp3->isChecked();

    case I::CaseMFRB1:
        return pages.MFRB1->isChecked();
    case I::CaseMFRB2:
        return pages.MFRB2->isChecked();
    case I::CaseMFRB3:
        return pages.MFRB3->isChecked();
    case I::CaseMFRB4:
        return pages.MFRB4->isChecked();
    case I::CaseRB1:
        return pages.RB1->isChecked();
    case I::CaseRB2:
        return pages.RB2->isChecked();
    case I::CaseRB3:
        return pages.RB3->isChecked();
    case I::CaseRB4:
        return pages.RB4->isChecked();
    case I::CaseExtEnabled:
        return OwnEnabled(pages.cbCaseEXT);
    case I::CaseExtText:
        return pages.cbCaseEXT->currentText().toStdString();
    case I::CaseExtCount:
        return CountOf(pages.cbCaseEXT);
    case I::CaseExtItems:
        return ItemsOf(pages.cbCaseEXT);

    case I::InsertText:
        return pages.meSource->text().toStdString();
    case I::InsertIndex:
        return double(pages.meindex->value());
    case I::InsertFromEnd:
        return pages.cbFromEnd->isChecked();
    case I::DeleteFromEnd:
        return pages.cbEnd->isChecked();
    case I::DeleteIndex:
        return double(pages.edtIndex->value());
    case I::DeleteCount:
        return double(pages.edtCount->value());
    case I::ReplaceSource:
        return pages.edsource->text().toStdString();
    case I::ReplaceTarget:
        return pages.edTarget->text().toStdString();
    case I::ReplaceReplace:
        return pages.rdbReplace->isChecked();
    case I::ReplaceRemove:
        return pages.rdbRemove->isChecked();
    case I::ReplaceAllOccurrences:
        return pages.chkAllSub->isChecked();

    case I::AttrChangeAttr:
        return pages.ChkChangeAttr->isChecked();
    case I::AttrSetTimeStamp:
        return pages.ChkSetTimeStamp->isChecked();
    case I::AttrReadOnly:
        return pages.ChkReadOnly->isChecked();
    case I::AttrHidden:
        return pages.chkHidden->isChecked();
    case I::AttrArchive:
        return pages.chkArchive->isChecked();
    case I::AttrSystem:
        return pages.chksysfile->isChecked();
    case I::AttrSelectEnabled:
        return OwnEnabled(pages.TBSelect);
    case I::AttrNoEnabled:
        return OwnEnabled(pages.TbNo);
    case I::AttrTimeNowEnabled:
        return OwnEnabled(pages.tb97TimeNow);

    case I::EmuTemplate:
        return pages.edtTemplate->text().toStdString();
    case I::EmuLast:
        return pages.edtLast->text().toStdString();
    case I::EmuStartFromText:
        return pages.meStartFrom->currentText().toStdString();
    case I::EmuExtText:
        return pages.cbExt->currentText().toStdString();
    case I::EmuExtCount:
        return CountOf(pages.cbExt);
    case I::EmuStartFromIndex:
        return long{pages.meStartFrom->currentIndex()};
    case I::EmuStartFromCount:
        return CountOf(pages.meStartFrom);
    case I::EmuApplyTo:
        return long{pages.CBApplyTo->currentIndex()};
    case I::EmuAlpha:
        return long{pages.CBAlpha->currentIndex()};
    case I::EmuStep:
        return double(pages.mestep->value());
    case I::EmuStartFromItems:
        return ItemsOf(pages.meStartFrom);
    case I::EmuExtItems:
        return ItemsOf(pages.cbExt);

    case I::MainLeft:
        return long{form.x()};
    case I::MainTop:
        return long{form.y()};
    case I::MainWidth:
        return long{form.width()};
    case I::MainHeight:
        return long{form.height()};
    case I::MainFavoriteText:
        return form.cbFavorite->currentText().toStdString();
    case I::MainFilterText:
        return form.cbFilter->currentText().toStdString();
    case I::MainDirCount:
        return CountOf(form.cbFavorite);
    case I::MainFilterCount:
        return CountOf(form.cbFilter);
    case I::MainIncludeSub:
        return form.TbIncludeSub->isChecked();
    case I::MainFavoriteItems:
        return ItemsOf(form.cbFavorite);
    case I::MainFilterItems:
        return ItemsOf(form.cbFilter);
    case I::MainToolBarVisible:
        return form.ControlShown(form.ToolBarOperate);
    case I::MainFilterVisible:
        return form.ControlShown(form.cbFilter);
    case I::MainFavoriteVisible:
        return form.ControlShown(form.cbFavorite);
    case I::MainIncludeSubVisible:
        return form.ControlShown(form.TbIncludeSub);
    case I::MainStatusBarVisible:
        return form.ControlShown(form.StatusBar);

    case I::Mp3Space:
        return mp3.ChkSpace->isChecked();
    case I::Mp3Case:
        return mp3.ChkCase->isChecked();
    case I::Mp3AddPre:
        return mp3.chkAddPre->isChecked();
    case I::Mp3FormatIndex:
        return long{mp3.cbFormat->currentIndex()};
    case I::Mp3SpaceIndex:
        return long{mp3.cbSpace->currentIndex()};
    case I::Mp3CaseIndex:
        return long{mp3.cbCase->currentIndex()};
    case I::Mp3EmulationIndex:
        return long{mp3.cbEmulation->currentIndex()};
    case I::Mp3FormatCount:
        return CountOf(mp3.cbFormat);
    case I::Mp3LastFormat:
        return mp3.cbFormat->currentText().toStdString();
    case I::Mp3FormatItems:
        return ItemsOf(mp3.cbFormat);
    }
    throw std::logic_error("option without a control");
}

} // namespace

void TMainForm::LoadOptions() {
    if (SettingsPath.empty())
        return;
    IniFile file(SettingsPath);
    // A file that cannot be read stops the load before anything is applied.
    if (!file.Load())
        return;
    const StoredOptions stored(file);
    // A failure part way stops the load there; what was applied stays.
    try {
        LoadPanels(*this, stored);
        LoadCasePage(*Pages, stored);
        LoadTextPages(*Pages, stored);
        LoadAttributesPage(*Pages, stored);
        LoadEnumerationPage(*Pages, stored);
        LoadMp3Options(*Mp3Controls, stored);
        LoadMainWindow(*this, stored);
    } catch (const std::exception&) {
    }
    SyncViewMenu(*this);
}

void TMainForm::SaveOptions() {
    if (SettingsPath.empty())
        return;
    try {
        // Keys are replaced in the existing file, so whatever else it holds
        // stays. A file that exists but cannot be read is left alone rather
        // than replaced by one holding only our keys.
        IniFile file(SettingsPath);
        if (!file.Load())
            return;
        for (const OptionKey& key : OptionKeys())
            WriteOption(file, key.id, CurrentValue(*this, key.id));
        // Atomic: a save that cannot write leaves the previous file whole.
        // A settings file that cannot be written is passed over in silence.
        static_cast<void>(file.Save());
    } catch (const std::exception&) {
    }
}

} // namespace quorvane
