#pragma once
// Page 5 "Enumeration": prefix, serial, suffix and fixed part, with the live
// example of the name the first selected file would get.

#include "shell/RulePageBase.h"

#include <QChar>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace quorvane {

struct EnumerationSettings;

class RulePageEnumeration : public RulePageBase {
    Q_OBJECT
public:
    RulePageEnumeration();
    ~RulePageEnumeration() override;

    void ReadInto(PreviewSettings& settings) const override;
    void ApplyRefills(const RuleOutcome& outcome) override;
    OptionBindings BindOptions() override;

private:
    EnumerationSettings ReadEnumerationSettings() const;
    void edtTemplateChange();
    void CBAlphaChange();
    void CBApplyToChange();
    void UpdateSerialExample();
    // The key filter of the start box: whether it takes the typed character.
    bool meStartFromKeyPress(QChar key) const;

    QComboBox* CBApplyTo = nullptr;
    QComboBox* CBAlpha = nullptr;
    QSpinBox* mestep = nullptr;
    QLineEdit* edtTemplate = nullptr;
    QLineEdit* edtLast = nullptr;
    QComboBox* meStartFrom = nullptr;
    QComboBox* cbExt = nullptr;
    QLabel* lblFileName = nullptr;
    QLineEdit* EdtExample = nullptr;
};

} // namespace quorvane
