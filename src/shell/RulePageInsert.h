#pragma once
// Page 1 "Insert".

#include "shell/RulePageBase.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace quorvane {

class RulePageInsert : public RulePageBase {
    Q_OBJECT
public:
    RulePageInsert();

    void ReadInto(PreviewSettings& settings) const override;
    void ApplyRefills(const RuleOutcome& outcome) override;
    OptionBindings BindOptions() override;
    void TakeFocus() override;

private:
    QLineEdit* meSource = nullptr;
    QSpinBox* meindex = nullptr;
    QCheckBox* cbFromEnd = nullptr;
};

} // namespace quorvane
