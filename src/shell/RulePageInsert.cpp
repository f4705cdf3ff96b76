#include "shell/RulePageInsert.h"

#include "rules/InsertRule.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace quorvane {

RulePageInsert::RulePageInsert() : RulePageBase(RulePage::Insert, "Insert", "TabInsert") {
    meSource = MakeLineEdit("meSource", this);
    meindex = MakeSpinBox("meindex", 1, 50, 1, this);
    cbFromEnd = MakeCheck("cbFromEnd", "From  The End  Of  Filename.", this);

    auto* layout = new QFormLayout(this);
    AddLabelledRow(layout, "String   To   Insert  : ", meSource);
    AddLabelledRow(layout, "At  Character  Position  : ", meindex);
    layout->addRow(QString(), cbFromEnd);
}

void RulePageInsert::ReadInto(PreviewSettings& settings) const {
    settings.insert = {.text = meSource->text().toStdString(),
                       .position = SpinText(meindex),
                       .fromEnd = cbFromEnd->isChecked()};
}

void RulePageInsert::ApplyRefills(const RuleOutcome& outcome) {
    Refill(meindex, outcome.insert.refilledPosition);
}

OptionBindings RulePageInsert::BindOptions() {
    using I = OptionId;
    return {
        BindText(I::InsertText, meSource),
        BindNumber(I::InsertIndex, meindex),
        BindTick(I::InsertFromEnd, cbFromEnd),
    };
}

void RulePageInsert::TakeFocus() {
    meSource->setFocus();
}

} // namespace quorvane
