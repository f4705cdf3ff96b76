#include "shell/OptionBinding.h"

#include "platform/IniFile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdio>

namespace quorvane {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
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

// Sets a button with its own signals held back, then runs its reaction when
// the load changed it the way the reaction answers to.
void SetButton(QAbstractButton* button, const std::function<void()>& set,
               const std::function<void()>& reaction, bool onlyWhenOn) {
    if (!reaction) {
        set();
        return;
    }
    const bool before = button->isChecked();
    {
        const QSignalBlocker quiet(button);
        set();
    }
    const bool after = button->isChecked();
    if (after != before && (after || !onlyWhenOn))
        reaction();
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

const OptionBinding* BindingOf(const OptionBindings& bindings, OptionId option) {
    for (const OptionBinding& binding : bindings)
        if (binding.option == option)
            return &binding;
    return nullptr;
}

} // namespace

OptionBinding BindTick(OptionId option, QAbstractButton* box, std::function<void()> reaction) {
    return {option, [box] { return OptionValue(box->isChecked()); },
            [option, box, reaction](const StoredOptions& stored) {
                const bool ticked = stored.Boolean(option);
                SetButton(
                    box, [box, ticked] { box->setChecked(ticked); }, reaction, false);
            }};
}

OptionBinding BindRadio(OptionId option, QRadioButton* button, std::function<void()> reaction) {
    return {option, [button] { return OptionValue(button->isChecked()); },
            [option, button, reaction](const StoredOptions& stored) {
                const bool on = stored.Boolean(option);
                SetButton(
                    button, [button, on] { SetRadio(button, on); }, reaction, true);
            }};
}

OptionBinding BindText(OptionId option, QLineEdit* edit) {
    return {option, [edit] { return OptionValue(edit->text().toStdString()); },
            [option, edit](const StoredOptions& stored) { edit->setText(Q(stored.Text(option))); }};
}

OptionBinding BindText(OptionId option, QComboBox* box) {
    return {
        option, [box] { return OptionValue(box->currentText().toStdString()); },
        [option, box](const StoredOptions& stored) { box->setEditText(Q(stored.Text(option))); }};
}

OptionBinding BindIndex(OptionId option, QComboBox* box) {
    return {option, [box] { return OptionValue(long{box->currentIndex()}); },
            [option, box](const StoredOptions& stored) {
                const long index = stored.Integer(option);
                const QSignalBlocker quiet(box);
                box->setCurrentIndex(index >= 0 && index < box->count() ? int(index) : -1);
            }};
}

OptionBinding BindNumber(OptionId option, QSpinBox* box) {
    return {option, [box] { return OptionValue(double(box->value())); },
            [option, box](const StoredOptions& stored) { SetSpin(box, stored.Number(option)); }};
}

OptionBinding BindEnabled(OptionId option, QWidget* control) {
    return {option, [control] { return OptionValue(!control->testAttribute(Qt::WA_Disabled)); },
            [option, control](const StoredOptions& stored) {
                control->setEnabled(stored.Boolean(option));
            }};
}

OptionBinding BindCount(OptionId option, const QComboBox* box) {
    return {option, [box] { return OptionValue(long{box->count()}); }, {}};
}

OptionBinding BindItems(OptionId option, QComboBox* box) {
    return {option, [box] { return OptionValue(ItemsOf(box)); },
            [option, box](const StoredOptions& stored) {
                AppendHistory(box, stored.HistoryItems(option));
            }};
}

OptionBinding BindInteger(OptionId option, std::function<long()> read,
                          std::function<void(long)> apply) {
    return {option, [read] { return OptionValue(read()); },
            [option, apply](const StoredOptions& stored) { apply(stored.Integer(option)); }};
}

OptionBinding BindBoolean(OptionId option, std::function<bool()> read,
                          std::function<void(bool)> apply) {
    return {option, [read] { return OptionValue(read()); },
            [option, apply](const StoredOptions& stored) { apply(stored.Boolean(option)); }};
}

OptionBinding Reaction(std::function<void()> run) {
    return {std::nullopt, {}, [run](const StoredOptions&) { run(); }};
}

void ApplyOptions(const OptionBindings& bindings, const StoredOptions& stored) {
    for (const OptionBinding& binding : bindings) {
        if (!binding.apply || (binding.option && !OptionKeyOf(*binding.option).readAs))
            continue;
        binding.apply(stored);
    }
}

void WriteOptions(const OptionBindings& bindings, IniFile& file) {
    for (const OptionKey& key : OptionKeys()) {
        const OptionBinding* binding = BindingOf(bindings, key.id);
        if (!binding || !binding->read) {
            std::fprintf(stderr, "quorvane: option [%s] %s has no control\n", key.section, key.key);
            assert(!"option without a binding");
            continue;
        }
        WriteOption(file, key.id, binding->read());
    }
}

} // namespace quorvane
