// Page 5 "Enumeration": prefix, serial, suffix and fixed part, with the live
// example of the name the first selected file would get.
#include "shell/RulePages.h"

#include "rules/EnumerationRule.h"
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

QWidget* RulePages::BuildEnumerationPage() {
    auto* page = new QWidget;
    page->setObjectName("TabEnumeration");

    auto* settingsGroup = new QGroupBox("Settings", page);
    settingsGroup->setObjectName("grpSerialSettings");
    CBApplyTo = MakeDropDownList("CBApplyTo", {"FileName", "Extension"}, settingsGroup);
    CBAlpha = MakeDropDownList(
        "CBAlpha", {"Numerical(001)", "Alphabetical(aa)", "Alphabetical(AA)"}, settingsGroup);
    mestep = MakeSpinBox("mestep", 1, 50, 1, settingsGroup);
    auto* settingsLayout = new QFormLayout(settingsGroup);
    AddLabelledRow(settingsLayout, "Apply to :", CBApplyTo);
    AddLabelledRow(settingsLayout, "Serial :", CBAlpha);
    AddLabelledRow(settingsLayout, "Step : ", mestep);

    auto* formatGroup = new QGroupBox("Formatter", page);
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

    EdtExample = MakeLineEdit("EdtExample", page);
    EdtExample->setReadOnly(true);
    EdtExample->setFocusPolicy(Qt::ClickFocus);
    SetBackground(EdtExample, QColor(182, 205, 231));
    auto* exampleRow = new QHBoxLayout;
    exampleRow->addWidget(MakeBuddyLabel("Example :", EdtExample, page));
    exampleRow->addWidget(EdtExample, 1);

    CBApplyTo->setCurrentIndex(0);
    CBAlpha->setCurrentIndex(0);
    CBAlphaChange();

    connect(CBApplyTo, &QComboBox::currentIndexChanged, this, &RulePages::CBApplyToChange);
    connect(CBAlpha, &QComboBox::currentIndexChanged, this, &RulePages::CBAlphaChange);
    connect(edtTemplate, &QLineEdit::textChanged, this, &RulePages::edtTemplateChange);
    connect(edtLast, &QLineEdit::textChanged, this, &RulePages::edtTemplateChange);
    connect(cbExt, &QComboBox::editTextChanged, this, &RulePages::edtTemplateChange);
    connect(meStartFrom, &QComboBox::editTextChanged, this, &RulePages::edtTemplateChange);

    auto* groups = new QHBoxLayout;
    groups->addWidget(settingsGroup, 2);
    groups->addWidget(formatGroup, 3);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(groups);
    layout->addLayout(exampleRow);
    return page;
}

void RulePages::edtTemplateChange() {
    UpdateSerialExample();
}

void RulePages::CBAlphaChange() {
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

void RulePages::CBApplyToChange() {
    lblFileName->setText(QString::fromStdString(FixedPartCaption(CBApplyTo->currentIndex())));
    UpdateSerialExample();
}

void RulePages::UpdateSerialExample() {
    EdtExample->setText(
        QString::fromStdString(quorvane::UpdateSerialExample(ReadEnumerationSettings())));
}

bool RulePages::meStartFromKeyPress(QChar key) const {
    return IsStartKeyAccepted(CBAlpha->currentIndex(), key.unicode());
}

EnumerationSettings RulePages::ReadEnumerationSettings() const {
    EnumerationSettings settings;
    settings.applyTo = CBApplyTo->currentIndex();
    settings.serialKind = CBAlpha->currentIndex();
    settings.step = mestep->cleanText().toStdString();
    settings.prefix = edtTemplate->text().toStdString();
    settings.suffix = edtLast->text().toStdString();
    settings.startFrom = meStartFrom->currentText().toStdString();
    settings.fixedPart = cbExt->currentText().toStdString();
    return settings;
}

} // namespace quorvane
