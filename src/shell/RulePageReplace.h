#pragma once
// Page 3 "Replace".

#include "shell/RulePageBase.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace quorvane {

class RulePageReplace : public RulePageBase {
    Q_OBJECT
public:
    RulePageReplace();

    void ReadInto(PreviewSettings& settings) const override;
    OptionBindings BindOptions() override;
    void TakeFocus() override;

private:
    void rdbReplaceClick();
    void rdbRemoveClick();

    QLineEdit* edsource = nullptr;
    QRadioButton* rdbReplace = nullptr;
    QLineEdit* edTarget = nullptr;
    QRadioButton* rdbRemove = nullptr;
    QCheckBox* chkAllSub = nullptr;
    QCheckBox* chkEntireName = nullptr;
    QCheckBox* chkRegExp = nullptr; // "Regular expression": the search text is a pattern
};

} // namespace quorvane
