#pragma once
// Page 0 "Case/Extension".

#include "shell/RulePageBase.h"

class QComboBox;
class QRadioButton;

namespace quorvane {

class RulePageCase : public RulePageBase {
    Q_OBJECT
public:
    RulePageCase();

    void ReadInto(PreviewSettings& settings) const override;
    OptionBindings BindOptions() override;

private:
    void RB1Click();
    void RB2Click();
    void RB3Click();
    void RB4Click();

    QRadioButton* MFRB1 = nullptr;
    QRadioButton* MFRB2 = nullptr;
    QRadioButton* MFRB3 = nullptr;
    QRadioButton* MFRB4 = nullptr;
    QRadioButton* RB1 = nullptr;
    QRadioButton* RB2 = nullptr;
    QRadioButton* RB3 = nullptr;
    QRadioButton* RB4 = nullptr;
    QComboBox* cbCaseEXT = nullptr;
};

} // namespace quorvane
