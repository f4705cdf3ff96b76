#include "shell/RulePages.h"

#include "rules/CaseRule.h"
#include "rules/DeleteRule.h"
#include "rules/EnumerationRule.h"
#include "rules/InsertRule.h"
#include "rules/Preview.h"
#include "rules/ReplaceRule.h"
#include "shell/RulePageParts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

namespace quorvane {

RulePages::RulePages(QWidget* parent)
    : QWidget(parent), m_clock([] { return QDateTime::currentDateTime(); }) {
    setObjectName("RulePages");
    pgcGeneral = new QTabWidget(this);
    pgcGeneral->setObjectName("pgcGeneral");
    // All six tabs stay in view; the page control is as wide as they are.
    pgcGeneral->tabBar()->setUsesScrollButtons(false);
    pgcGeneral->addTab(BuildCasePage(), "Case/Extension");
    pgcGeneral->addTab(BuildInsertPage(), "Insert");
    pgcGeneral->addTab(BuildDeletePage(), "Delete");
    pgcGeneral->addTab(BuildReplacePage(), "Replace");
    pgcGeneral->addTab(BuildAttributesPage(), "Attributes");
    pgcGeneral->addTab(BuildEnumerationPage(), "Enumeration");
    pgcGeneral->setCurrentIndex(TabIndexOf(RulePage::Case));
    connect(pgcGeneral, &QTabWidget::currentChanged, this, &RulePages::pgcGeneralChange);
    WatchPageControls();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pgcGeneral);
}

RulePages::~RulePages() {
    DetachChildren(this, meStartFrom);
}

// Every way a user changes a rule: typing (also into the edit part of a spin
// or combo box), a tick, a choice from a list, a date or time. The example box
// of the enumeration page only follows the others, so it is left out.
void RulePages::WatchPageControls() {
    for (int index = 0; index < pgcGeneral->count(); ++index) {
        QWidget* page = pgcGeneral->widget(index);
        const auto changed = [this, index] {
            if (pgcGeneral->currentIndex() == index)
                Q_EMIT RuleSettingsChanged();
        };
        for (QLineEdit* edit : page->findChildren<QLineEdit*>())
            if (!edit->isReadOnly())
                connect(edit, &QLineEdit::textChanged, this, changed);
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
            if (button->isCheckable())
                connect(button, &QAbstractButton::toggled, this, changed);
        for (QComboBox* box : page->findChildren<QComboBox*>())
            connect(box, &QComboBox::currentIndexChanged, this, changed);
        for (QDateTimeEdit* picker : page->findChildren<QDateTimeEdit*>())
            connect(picker, &QDateTimeEdit::dateTimeChanged, this, changed);
    }
    connect(pgcGeneral, &QTabWidget::currentChanged, this, &RulePages::RuleSettingsChanged);
}

RulePage RulePages::ActivePage() const {
    return RulePageAt(pgcGeneral->currentIndex());
}

void RulePages::SetClock(std::function<QDateTime()> clock) {
    m_clock = std::move(clock);
}

namespace {

std::string TextOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}
std::string TextOf(const QComboBox* combo) {
    return combo->currentText().toStdString();
}
// A number box as the rules read it: the text it shows, which may be empty or
// out of range while the user is still typing.
std::string TextOf(const QSpinBox* spin) {
    return spin->cleanText().toStdString();
}

} // namespace

CaseSettings RulePages::ReadCaseSettings() const {
    CaseSettings settings;
    settings.nameCase = MFRB2->isChecked()   ? NameCase::Lower
                        : MFRB3->isChecked() ? NameCase::Upper
                        : MFRB4->isChecked() ? NameCase::CapitalizeWords
                        : MFRB1->isChecked() ? NameCase::KeepAsIs
                                             : NameCase::None;
    settings.extensionCase = RB1->isChecked()   ? ExtensionCase::KeepAsIs
                             : RB2->isChecked() ? ExtensionCase::Lower
                             : RB3->isChecked() ? ExtensionCase::Upper
                             : RB4->isChecked() ? ExtensionCase::NewExtension
                                                : ExtensionCase::None;
    settings.newExtension = TextOf(cbCaseEXT);
    return settings;
}

InsertSettings RulePages::ReadInsertSettings() const {
    return {
        .text = TextOf(meSource), .position = TextOf(meindex), .fromEnd = cbFromEnd->isChecked()};
}

DeleteSettings RulePages::ReadDeleteSettings() const {
    return {.position = TextOf(edtIndex), .count = TextOf(edtCount), .fromEnd = cbEnd->isChecked()};
}

ReplaceSettings RulePages::ReadReplaceSettings() const {
    const ReplaceMode mode = rdbReplace->isChecked()  ? ReplaceMode::Replace
                             : rdbRemove->isChecked() ? ReplaceMode::Remove
                                                      : ReplaceMode::None;
    return {.search = TextOf(edsource),
            .replacement = TextOf(edTarget),
            .mode = mode,
            .allOccurrences = chkAllSub->isChecked(),
            .entireName = chkEntireName->isChecked(),
            .regularExpression = chkRegExp->isChecked()};
}

PreviewSettings RulePages::ReadPreviewSettings() const {
    PreviewSettings settings;
    settings.activePage = ActivePage();
    settings.caseAndExtension = ReadCaseSettings();
    settings.insert = ReadInsertSettings();
    settings.deletion = ReadDeleteSettings();
    settings.replace = ReadReplaceSettings();
    settings.enumeration = ReadEnumerationSettings();
    return settings;
}

void RulePages::ApplyRefills(const PreviewResult& result) {
    ApplyRefills(result.outcome);
}

namespace {

// A number box shows the refilled value; setValue also rewrites a text that
// was emptied while the value stayed the same.
void Refill(QSpinBox* box, const std::optional<std::int32_t>& value) {
    if (value)
        box->setValue(*value);
}

void Refill(QComboBox* box, const std::optional<std::string>& text) {
    if (text)
        box->setEditText(QString::fromStdString(*text));
}

} // namespace

// Each part of a rule's outcome belongs to one control of its page.
void RulePages::ApplyRefills(const RuleOutcome& outcome) {
    Refill(meindex, outcome.insert.refilledPosition);
    Refill(edtIndex, outcome.deletion.refilledPosition);
    Refill(edtCount, outcome.deletion.refilledCount);
    const EnumerationOutcome& enumeration = outcome.enumeration;
    Refill(meStartFrom, enumeration.refilledStart);
    Refill(mestep, enumeration.refilledStep);
    if (enumeration.applyToResetToFileName)
        CBApplyTo->setCurrentIndex(kApplyToFileName);
    // The start box follows the kind, so its list and key filter fit again.
    if (enumeration.serialKindResetToNumeric)
        CBAlpha->setCurrentIndex(kNumericSerial);
}

// The page that comes up takes the keyboard focus in the box the user fills first.
void RulePages::pgcGeneralChange(int index) {
    switch (RulePageAt(index)) {
    case RulePage::Insert:
        meSource->setFocus();
        break;
    case RulePage::Delete:
        edtCount->setFocus();
        break;
    case RulePage::Replace:
        edsource->setFocus();
        break;
    default:
        break;
    }
}

// ----------------------------------------------------------------------------
// Page 0 "Case/Extension"

QWidget* RulePages::BuildCasePage() {
    auto* page = new QWidget;
    page->setObjectName("TabCase");

    auto* nameGroup = new QGroupBox("FileName", page);
    nameGroup->setObjectName("grpFileNameCase");
    MFRB1 = MakeRadio("MFRB1", "keep as is", nameGroup);
    MFRB2 = MakeRadio("MFRB2", "lower", nameGroup);
    MFRB3 = MakeRadio("MFRB3", "UPPER", nameGroup);
    MFRB4 = MakeRadio("MFRB4", "Capitalize First Letters", nameGroup);
    MFRB1->setChecked(true);
    auto* nameLayout = new QVBoxLayout(nameGroup);
    for (QRadioButton* button : {MFRB1, MFRB2, MFRB3, MFRB4})
        nameLayout->addWidget(button);
    nameLayout->addStretch();

    auto* extGroup = new QGroupBox("Extension", page);
    extGroup->setObjectName("grpExtensionCase");
    RB1 = MakeRadio("RB1", "keep as is", extGroup);
    RB2 = MakeRadio("RB2", "lower", extGroup);
    RB3 = MakeRadio("RB3", "UPPER", extGroup);
    RB4 = MakeRadio("RB4", "New Extension :", extGroup);
    RB1->setChecked(true);
    cbCaseEXT = MakeFreeTextCombo("cbCaseEXT", ExtensionItems(), extGroup);
    NameForScreenReaders(cbCaseEXT, "New Extension :");
    cbCaseEXT->setEnabled(false);
    auto* extLayout = new QGridLayout(extGroup);
    extLayout->addWidget(RB1, 0, 0);
    extLayout->addWidget(RB2, 0, 1);
    extLayout->addWidget(RB3, 1, 0);
    extLayout->addWidget(RB4, 1, 1);
    extLayout->addWidget(cbCaseEXT, 2, 1);
    extLayout->setRowStretch(3, 1);

    // toggled(true) also fires when the settings load checks a button, so the
    // new-extension box follows the loaded choice as it follows a click.
    connect(RB1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB1Click();
    });
    connect(RB2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB2Click();
    });
    connect(RB3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB3Click();
    });
    connect(RB4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB4Click();
    });

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(nameGroup, 1);
    layout->addWidget(extGroup, 1);
    return page;
}

void RulePages::RB1Click() {
    cbCaseEXT->setEnabled(false);
}
void RulePages::RB2Click() {
    cbCaseEXT->setEnabled(false);
}
void RulePages::RB3Click() {
    cbCaseEXT->setEnabled(false);
}

void RulePages::RB4Click() {
    cbCaseEXT->setEnabled(true);
    // A hidden panel cannot take the focus; that is fine.
    cbCaseEXT->setFocus();
}

// ----------------------------------------------------------------------------
// Pages 1 "Insert" and 2 "Delete"

QWidget* RulePages::BuildInsertPage() {
    auto* page = new QWidget;
    page->setObjectName("TabInsert");
    meSource = MakeLineEdit("meSource", page);
    meindex = MakeSpinBox("meindex", 1, 50, 1, page);
    cbFromEnd = MakeCheck("cbFromEnd", "From  The End  Of  Filename.", page);

    auto* layout = new QFormLayout(page);
    AddLabelledRow(layout, "String   To   Insert  : ", meSource);
    AddLabelledRow(layout, "At  Character  Position  : ", meindex);
    layout->addRow(QString(), cbFromEnd);
    return page;
}

QWidget* RulePages::BuildDeletePage() {
    auto* page = new QWidget;
    page->setObjectName("TabDelete");
    edtIndex = MakeSpinBox("edtIndex", 1, 50, 1, page);
    // The count has no bounds of its own: a count of 0 or less deletes nothing.
    edtCount = MakeSpinBox("edtCount", std::numeric_limits<int>::min(),
                           std::numeric_limits<int>::max(), 0, page);
    cbEnd = MakeCheck("cbEnd", "From  The End  Of  Filename.", page);

    auto* layout = new QFormLayout(page);
    AddLabelledRow(layout, "At Character Position : ", edtIndex);
    AddLabelledRow(layout, "Number Of Character(s) :   ", edtCount);
    layout->addRow(QString(), cbEnd);
    return page;
}

// ----------------------------------------------------------------------------
// Page 3 "Replace"

QWidget* RulePages::BuildReplacePage() {
    auto* page = new QWidget;
    page->setObjectName("TabReplace");
    edsource = MakeLineEdit("edsource", page);
    rdbReplace = MakeRadio("rdbReplace", "Replace with", page);
    edTarget = MakeLineEdit("edTarget", page);
    edTarget->setAccessibleName("Replace with");
    rdbRemove = MakeRadio("rdbRemove", "Remove", page);
    chkAllSub = MakeCheck("chkAllSub", "All occurrences  ", page);
    chkEntireName = MakeCheck("chkEntireName", "Change To Entire FileName", page);
    chkRegExp = MakeCheck("chkRegExp", "Regular expression", page);
    rdbReplace->setChecked(true);
    chkAllSub->setChecked(true);
    chkEntireName->setChecked(true);

    connect(rdbReplace, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rdbReplaceClick();
    });
    connect(rdbRemove, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rdbRemoveClick();
    });

    auto* layout = new QGridLayout(page);
    auto* searchLabel = MakeBuddyLabel(" Search :", edsource, page);
    layout->addWidget(searchLabel, 0, 0);
    layout->addWidget(edsource, 0, 1);
    layout->addWidget(rdbReplace, 1, 0);
    layout->addWidget(edTarget, 1, 1);
    layout->addWidget(rdbRemove, 2, 0);
    auto* options = new QHBoxLayout;
    options->addWidget(chkAllSub);
    options->addWidget(chkEntireName);
    options->addStretch();
    layout->addLayout(options, 3, 0, 1, 2);
    layout->addWidget(chkRegExp, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(5, 1);
    return page;
}

// The replacement box looks like an ordinary edit box while it is in use and
// takes the menu colour while "Remove" makes it pointless.
void RulePages::rdbReplaceClick() {
    edTarget->setEnabled(true);
    SetBackground(edTarget, palette().color(QPalette::Active, QPalette::Base));
    edTarget->setFocus();
}

void RulePages::rdbRemoveClick() {
    edTarget->setEnabled(false);
    SetBackground(edTarget, palette().color(QPalette::Active, QPalette::Window));
}

} // namespace quorvane
