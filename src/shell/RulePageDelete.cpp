#include "shell/RulePageDelete.h"

#include "rules/DeleteRule.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>

#include <limits>

namespace quorvane {

RulePageDelete::RulePageDelete() : RulePageBase(RulePage::Delete, "Delete", "TabDelete") {
    edtIndex = MakeSpinBox("edtIndex", 1, 50, 1, this);
    // The count has no bounds of its own: a count of 0 or less deletes nothing.
    edtCount = MakeSpinBox("edtCount", std::numeric_limits<int>::min(),
                           std::numeric_limits<int>::max(), 0, this);
    cbEnd = MakeCheck("cbEnd", "From  The End  Of  Filename.", this);

    auto* layout = new QFormLayout(this);
    AddLabelledRow(layout, "At Character Position : ", edtIndex);
    AddLabelledRow(layout, "Number Of Character(s) :   ", edtCount);
    layout->addRow(QString(), cbEnd);
}

void RulePageDelete::ReadInto(PreviewSettings& settings) const {
    settings.deletion = {
        .position = SpinText(edtIndex), .count = SpinText(edtCount), .fromEnd = cbEnd->isChecked()};
}

void RulePageDelete::ApplyRefills(const RuleOutcome& outcome) {
    Refill(edtIndex, outcome.deletion.refilledPosition);
    Refill(edtCount, outcome.deletion.refilledCount);
}

OptionBindings RulePageDelete::BindOptions() {
    using I = OptionId;
    return {
        BindTick(I::DeleteFromEnd, cbEnd),
        BindNumber(I::DeleteIndex, edtIndex),
        BindNumber(I::DeleteCount, edtCount),
    };
}

void RulePageDelete::TakeFocus() {
    edtCount->setFocus();
}

} // namespace quorvane
