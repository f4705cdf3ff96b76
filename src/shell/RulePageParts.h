#pragma once
// Small builders shared by the rule pages and the MP3 panel: every control gets
// its objectName, and every box its label as buddy or an accessible name.

#include <QChar>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QColor;
class QComboBox;
class QFormLayout;
class QLabel;
class QObject;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace quorvane {

QRadioButton* MakeRadio(const char* name, const QString& text, QWidget* parent);
QCheckBox* MakeCheck(const char* name, const QString& text, QWidget* parent);
QLineEdit* MakeLineEdit(const char* name, QWidget* parent);
QSpinBox* MakeSpinBox(const char* name, int minimum, int maximum, int value, QWidget* parent);
// An editable combo box whose drop-down offers `items` and whose text starts
// empty. Enter never adds the typed text to the list, and no completion is
// offered, so what the user typed is exactly what the rule reads.
QComboBox* MakeFreeTextCombo(const char* name, const QStringList& items, QWidget* parent);
// A drop-down list (no typing) with no item chosen.
QComboBox* MakeDropDownList(const char* name, const QStringList& items, QWidget* parent);
QLabel* MakeBuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);
// Names a combo box that is labelled by a check or radio button beside it.
// Screen readers on this platform name a combo box by its text and find its
// label through the label whose buddy it is, so it gets a hidden one.
void NameForScreenReaders(QComboBox* combo, const QString& name);
// A form row whose label is the field's buddy.
QLabel* AddLabelledRow(QFormLayout* form, const QString& text, QWidget* field);
void SetBackground(QWidget* box, const QColor& color);
// Keeps every character that `accepts` refuses out of the box's text, typed or
// pasted. A text that already holds such characters (put there by code, from
// a stored list) can still be shortened and edited; only new ones are refused.
void InstallCharacterFilter(QComboBox* combo, std::function<bool(QChar)> accepts);
// For the destructor of a panel whose boxes call back into it: the children
// outlive the panel's own part while they are torn down, and a box losing the
// focus then still signals. Its character filter and every connection from a
// child to the panel are cut first.
void DetachChildren(QObject* panel, QComboBox* filteredBox);

// A number box as the rules read it: the text it shows, which may be empty or
// out of range while the user is still typing.
std::string SpinText(const QSpinBox* box);
// A box a preview found empty shows the default the rule took; setValue also
// rewrites a text that was emptied while the value stayed the same.
void Refill(QSpinBox* box, const std::optional<std::int32_t>& value);
void Refill(QComboBox* box, const std::optional<std::string>& text);

// The sixteen extensions offered by the new-extension and fixed-part boxes.
QStringList ExtensionItems();

} // namespace quorvane
