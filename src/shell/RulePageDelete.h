#pragma once
// Page 2 "Delete".

#include "shell/RulePageBase.h"

class QCheckBox;
class QSpinBox;

namespace quorvane {

class RulePageDelete : public RulePageBase {
    Q_OBJECT
public:
    RulePageDelete();

    void ReadInto(PreviewSettings& settings) const override;
    void ApplyRefills(const RuleOutcome& outcome) override;
    OptionBindings BindOptions() override;
    void TakeFocus() override;

private:
    QSpinBox* edtIndex = nullptr;
    QSpinBox* edtCount = nullptr;
    QCheckBox* cbEnd = nullptr;
};

} // namespace quorvane
