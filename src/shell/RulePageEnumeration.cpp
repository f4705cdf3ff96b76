#include "shell/RulePageEnumeration.h"

#include "rules/EnumerationRule.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quorvane {

RulePageEnumeration::RulePageEnumeration()
    : RulePageBase(RulePage::Enumeration, "Enumeration", "TabEnumeration") {
    auto* settingsGroup = new QGroupBox("Settings", this);
    settingsGroup->setObjectName("grpSerialSettings");
    CBApplyTo = MakeDropDownList("CBApplyTo", {"FileName", "Extension"}, settingsGroup);
    CBAlpha = MakeDropDownList(
        "CBAlpha", {"Numerical(001)", "Alphabetical(aa)", "Alphabetical(AA)"}, settingsGroup);
    mestep = MakeSpinBox("mestep", 1, 50, 1, settingsGroup);
    auto* settingsLayout = new QFormLayout(settingsGroup);
    AddLabelledRow(settingsLayout, "Apply to :", CBApplyTo);
    AddLabelledRow(settingsLayout, "Serial :", CBAlpha);
    AddLabelledRow(settingsLayout, "Step : ", mestep);

    auto* formatGroup = new QGroupBox("Formatter", this);
    formatGroup->setObjectName("grpFormatter");
    edtTemplate = MakeLineEdit("edtTemplate", formatGroup);
    edtLast = MakeLineEdit("edtLast", formatGroup);
    meStartFrom = MakeFreeTextCombo("meStartFrom", {}, formatGroup);
    InstallCharacterFilter(meStartFrom, [this](QChar key) { return meStartFromKeyPress(key); });
    cbExt = MakeFreeTextCombo("cbExt", ExtensionItems(), formatGroup);
    auto* formatLayout = new QFormLayout(formatGroup);
    AddLabelledRow(formatLayout, "Prefix :", edtTemplate);
    AddLabelledRow(formatLayout, "Suffix :", edtLast);
    AddLabelledRow(formatLayout, "Start with : ", meStartFrom);
    lblFileName = AddLabelledRow(formatLayout, "Extension : ", cbExt);
    lblFileName->setObjectName("lblFileName");
    // Screen readers take the name from the label, which swaps between
    // "Extension" and "FileName"; a fixed name would go stale.
    cbExt->setAccessibleName(QString());

    EdtExample = MakeLineEdit("EdtExample", this);
    EdtExample->setReadOnly(true);
    EdtExample->setFocusPolicy(Qt::ClickFocus);
    SetBackground(EdtExample, QColor(182, 205, 231));
    auto* exampleRow = new QHBoxLayout;
    exampleRow->addWidget(MakeBuddyLabel("Example :", EdtExample, this));
    exampleRow->addWidget(EdtExample, 1);

    CBApplyTo->setCurrentIndex(0);
    CBAlpha->setCurrentIndex(0);
    CBAlphaChange();

    connect(CBApplyTo, &QComboBox::currentIndexChanged, this,
            &RulePageEnumeration::CBApplyToChange);
    connect(CBAlpha, &QComboBox::currentIndexChanged, this, &RulePageEnumeration::CBAlphaChange);
    connect(edtTemplate, &QLineEdit::textChanged, this, &RulePageEnumeration::edtTemplateChange);
    connect(edtLast, &QLineEdit::textChanged, this, &RulePageEnumeration::edtTemplateChange);
    connect(cbExt, &QComboBox::editTextChanged, this, &RulePageEnumeration::edtTemplateChange);
    connect(meStartFrom, &QComboBox::editTextChanged, this,
            &RulePageEnumeration::edtTemplateChange);

    auto* groups = new QHBoxLayout;
    groups->addWidget(settingsGroup, 2);
    groups->addWidget(formatGroup, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(exampleRow);
}

RulePageEnumeration::~RulePageEnumeration() {
    DetachChildren(this, meStartFrom);
}

void RulePageEnumeration::edtTemplateChange() {
    UpdateSerialExample();
}

void RulePageEnumeration::CBAlphaChange() {
    const SerialStartChoices choices = StartChoicesForKind(CBAlpha->currentIndex());
    const QString unchangedText = meStartFrom->currentText();
    // Not silenced: the start box's key filter follows every text it shows.
    meStartFrom->clear();
    for (const std::string& item : choices.items)
        meStartFrom->addItem(QString::fromStdString(item));
    meStartFrom->setCurrentIndex(-1);
    meStartFrom->setEditText(choices.text ? QString::fromStdString(*choices.text) : unchangedText);
    UpdateSerialExample();
}

void RulePageEnumeration::CBApplyToChange() {
    lblFileName->setText(QString::fromStdString(FixedPartCaption(CBApplyTo->currentIndex())));
    UpdateSerialExample();
}

void RulePageEnumeration::UpdateSerialExample() {
    EdtExample->setText(
        QString::fromStdString(quorvane::UpdateSerialExample(ReadEnumerationSettings())));
}

bool RulePageEnumeration::meStartFromKeyPress(QChar key) const {
    return IsStartKeyAccepted(CBAlpha->currentIndex(), key.unicode());
}

void RulePageEnumeration::ReadInto(PreviewSettings& settings) const {
    settings.enumeration = ReadEnumerationSettings();
}

void RulePageEnumeration::ApplyRefills(const RuleOutcome& outcome) {
    const EnumerationOutcome& enumeration = outcome.enumeration;
    Refill(meStartFrom, enumeration.refilledStart);
    Refill(mestep, enumeration.refilledStep);
    if (enumeration.applyToResetToFileName)
        CBApplyTo->setCurrentIndex(kApplyToFileName);
    // The start box follows the kind, so its list and key filter fit again.
    if (enumeration.serialKindResetToNumeric)
        CBAlpha->setCurrentIndex(kNumericSerial);
}

OptionBindings RulePageEnumeration::BindOptions() {
    using I = OptionId;
    // The serial kind refills the start values, so the stored start text is
    // set after the kind's reaction, with the kind's own start as default;
    // without a kind it keeps what the reaction left.
    const OptionBinding startText{
        I::EmuStartFromText,
        [this] { return OptionValue(meStartFrom->currentText().toStdString()); },
        [this](const StoredOptions& stored) {
            const SerialStartChoices choices = StartChoicesForKind(CBAlpha->currentIndex());
            if (choices.text)
                meStartFrom->setEditText(
                    QString::fromStdString(stored.Text(I::EmuStartFromText, *choices.text)));
        }};
    return {
        BindText(I::EmuTemplate, edtTemplate),
        BindText(I::EmuLast, edtLast),
        BindText(I::EmuExtText, cbExt),
        BindIndex(I::EmuApplyTo, CBApplyTo),
        BindIndex(I::EmuAlpha, CBAlpha),
        Reaction([this] { CBApplyToChange(); }),
        Reaction([this] { CBAlphaChange(); }),
        startText,
        BindIndex(I::EmuStartFromIndex, meStartFrom),
        BindNumber(I::EmuStep, mestep),
        BindCount(I::EmuStartFromCount, meStartFrom),
        BindItems(I::EmuStartFromItems, meStartFrom),
        BindCount(I::EmuExtCount, cbExt),
        BindItems(I::EmuExtItems, cbExt),
    };
}

EnumerationSettings RulePageEnumeration::ReadEnumerationSettings() const {
    EnumerationSettings settings;
    settings.applyTo = CBApplyTo->currentIndex();
    settings.serialKind = CBAlpha->currentIndex();
    settings.step = SpinText(mestep);
    settings.prefix = edtTemplate->text().toStdString();
    settings.suffix = edtLast->text().toStdString();
    settings.startFrom = meStartFrom->currentText().toStdString();
    settings.fixedPart = cbExt->currentText().toStdString();
    return settings;
}

} // namespace quorvane
