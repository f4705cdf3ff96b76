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
#include <QValidator>

namespace quorvane {

namespace {

// Keeps out of the start box every character the chosen serial kind cannot
// hold. Checking the whole text, not just each key, also keeps pasted text out.
class StartTextValidator : public QValidator {
public:
    StartTextValidator(const RulePages* pages, QObject* parent)
        : QValidator(parent), m_pages(pages) {}

    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (!m_pages->meStartFromKeyPress(c))
                return Invalid;
        }
        return Acceptable;
    }

private:
    const RulePages* m_pages;
};

} // namespace

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
    meStartFrom->setValidator(new StartTextValidator(this, meStartFrom));
    cbExt = MakeFreeTextCombo("cbExt", ExtensionItems(), formatGroup);
    auto* formatLayout = new QFormLayout(formatGroup);
    AddLabelledRow(formatLayout, "Prefix :", edtTemplate);
    AddLabelledRow(formatLayout, "Suffix :", edtLast);
    AddLabelledRow(formatLayout, "Start with : ", meStartFrom);
    lblFileName = AddLabelledRow(formatLayout, "Extension : ", cbExt);
    lblFileName->setObjectName("lblFileName");
    // The box keeps one name for screen readers while its label swaps between
    // "Extension" and "FileName".
    cbExt->setAccessibleName("Fixed part");

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
    {
        const QSignalBlocker quiet(meStartFrom);
        const QString unchangedText = meStartFrom->currentText();
        meStartFrom->clear();
        for (const std::string& item : choices.items)
            meStartFrom->addItem(QString::fromStdString(item));
        meStartFrom->setCurrentIndex(-1);
        meStartFrom->setEditText(choices.text ? QString::fromStdString(*choices.text)
                                              : unchangedText);
    }
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
