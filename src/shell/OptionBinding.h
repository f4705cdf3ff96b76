#pragma once
// Each option of "Options.ini" bound to its control, once: how the save reads
// the control and how the load applies the stored value to it. The load walks
// a window's bindings in their order, which is the order the controls must be
// set in: a reaction that reads other controls stands after them in the list.
// The save writes the table's keys in the table's order, each read through its
// binding, so the file keeps the layout of settings/OptionsTable.h.

#include "settings/OptionsTable.h"

#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace quorvane {

class IniFile;

struct OptionBinding {
    // None for a step of the load that applies no option of its own: a change
    // reaction that follows the values set before it.
    std::optional<OptionId> option;
    std::function<OptionValue()> read; // for the save
    // For the load; none where the option is loaded by another binding (the
    // count of a history list is read with its items).
    std::function<void(const StoredOptions&)> apply;
};
using OptionBindings = std::vector<OptionBinding>;

// A check box or tool button. `reaction` is its click handler: the load sets
// the box quietly and runs it when the tick changed, as a click would.
OptionBinding BindTick(OptionId option, QAbstractButton* box, std::function<void()> reaction = {});
// A radio button: set on, it turns the others of its group off; set off, it is
// only turned off. `reaction` runs when the load turns it on.
OptionBinding BindRadio(OptionId option, QRadioButton* button, std::function<void()> reaction = {});
OptionBinding BindText(OptionId option, QLineEdit* edit);
// The text of an editable combo box.
OptionBinding BindText(OptionId option, QComboBox* box);
// The selected index, set without a reaction; one outside the list selects nothing.
OptionBinding BindIndex(OptionId option, QComboBox* box);
// A spin box: the stored number to the nearest integer within the box's bounds.
OptionBinding BindNumber(OptionId option, QSpinBox* box);
// The control's own enabled state, whatever its parents' are.
OptionBinding BindEnabled(OptionId option, QWidget* control);
// A history list: its count key (saved, and loaded with the items) and its
// items, appended unless empty or already in the box.
OptionBinding BindCount(OptionId option, const QComboBox* box);
OptionBinding BindItems(OptionId option, QComboBox* box);
// State the window keeps behind accessors of its own.
OptionBinding BindInteger(OptionId option, std::function<long()> read,
                          std::function<void(long)> apply);
OptionBinding BindBoolean(OptionId option, std::function<bool()> read,
                          std::function<void(bool)> apply);
// A step of the load between options.
OptionBinding Reaction(std::function<void()> run);

// The load: every binding in list order. Keys the table marks as written only
// are never applied.
void ApplyOptions(const OptionBindings& bindings, const StoredOptions& stored);
// The save: every key of the table, read through its binding. A key without a
// binding is a fault of the program: a debug build stops at it, otherwise it
// is reported on stderr and left out.
void WriteOptions(const OptionBindings& bindings, IniFile& file);

} // namespace quorvane
