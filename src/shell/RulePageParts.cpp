#include "shell/RulePageParts.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QRadioButton>
#include <QSpinBox>
#include <QValidator>

namespace quorvane {

QRadioButton* MakeRadio(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    return button;
}

QCheckBox* MakeCheck(const char* name, const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit* MakeLineEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QSpinBox* MakeSpinBox(const char* name, int minimum, int maximum, int value, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    // The rules read the text as plain decimal digits, whatever the user's locale.
    spin->setLocale(QLocale::c());
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    // A box with an empty or half-typed text keeps it until it loses the focus;
    // the rules read that text and refill an empty box themselves.
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // As wide as its largest number, not as wide as the page.
    spin->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return spin;
}

namespace {

class CharacterFilter : public QValidator {
public:
    CharacterFilter(QComboBox* combo, std::function<bool(QChar)> accepts)
        : QValidator(combo), m_accepts(std::move(accepts)) {
        m_lastText = combo->currentText();
        QObject::connect(combo, &QComboBox::editTextChanged, this,
                         [this](const QString& text) { m_lastText = text; });
    }

    State validate(QString& input, int&) const override {
        return RefusedIn(input) <= RefusedIn(m_lastText) ? Acceptable : Invalid;
    }

private:
    qsizetype RefusedIn(const QString& text) const {
        qsizetype refused = 0;
        for (QChar c : text)
            refused += m_accepts(c) ? 0 : 1;
        return refused;
    }

    std::function<bool(QChar)> m_accepts;
    QString m_lastText;
};

// A combo box asks for room by its longest item unless told otherwise; the
// panels float over the list and must stay narrow.
QComboBox* MakeCompactCombo(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
    return combo;
}

} // namespace

QComboBox* MakeFreeTextCombo(const char* name, const QStringList& items, QWidget* parent) {
    auto* combo = MakeCompactCombo(name, parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    return combo;
}

QComboBox* MakeDropDownList(const char* name, const QStringList& items, QWidget* parent) {
    auto* combo = MakeCompactCombo(name, parent);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

QLabel* MakeBuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text.trimmed());
    return label;
}

void NameForScreenReaders(QComboBox* combo, const QString& name) {
    combo->setAccessibleName(name);
    auto* label = new QLabel(name, combo->parentWidget());
    label->setObjectName(combo->objectName() + "SpokenLabel");
    label->setBuddy(combo);
    label->hide();
}

QLabel* AddLabelledRow(QFormLayout* form, const QString& text, QWidget* field) {
    QLabel* label = MakeBuddyLabel(text, field, form->parentWidget());
    form->addRow(label, field);
    return label;
}

void SetBackground(QWidget* box, const QColor& color) {
    QPalette palette = box->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, color);
    box->setPalette(palette);
}

void InstallCharacterFilter(QComboBox* combo, std::function<bool(QChar)> accepts) {
    combo->setValidator(new CharacterFilter(combo, std::move(accepts)));
}

void DetachChildren(QObject* panel, QComboBox* filteredBox) {
    filteredBox->setValidator(nullptr);
    for (QObject* child : panel->findChildren<QObject*>())
        child->disconnect(panel);
}

QStringList ExtensionItems() {
    return {"gif", "bmp", "jpeg", "jpg", "ogg", "ttf", "ipg", "doc",
            "txt", "htm", "html", "rar", "zip", "wma", "vqf", "mp3"};
}

std::string SpinText(const QSpinBox* box) {
    return box->cleanText().toStdString();
}

void Refill(QSpinBox* box, const std::optional<std::int32_t>& value) {
    if (value)
        box->setValue(*value);
}

void Refill(QComboBox* box, const std::optional<std::string>& text) {
    if (text)
        box->setEditText(QString::fromStdString(*text));
}

} // namespace quorvane
