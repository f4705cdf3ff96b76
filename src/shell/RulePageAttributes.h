#pragma once
// Page 4 "Attributes": the attribute and time-stamp choices for Apply. It has
// no rule; Apply reads it through ReadAttributeRunSettings.

#include "shell/RulePageBase.h"

#include <cstdint>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QTimeEdit;

namespace quorvane {

struct AttributeRunSettings;

class RulePageAttributes : public RulePageBase {
    Q_OBJECT
public:
    RulePageAttributes();

    void ReadInto(PreviewSettings& settings) const override;
    OptionBindings BindOptions() override;
    void SetClock(const PageClock& clock) override;

    AttributeRunSettings ReadAttributeRunSettings() const;
    // The attribute word of the four attribute boxes (kAttr* bits).
    std::uint32_t CheckedAttributes() const;
    // The pickers' local date and time, DOS packed; 0 outside 1980..2107.
    std::uint32_t CheckedTimeStamp() const;

private:
    QGroupBox* BuildAttributeBoxes();
    QGroupBox* BuildTimeStampBoxes();
    void ChkChangeAttrClick();
    void ChkSetTimeStampClick();
    void TBSelectClick();
    void TbNoClick();
    void tb97TimeNowClick();
    void SetAttributeBoxesChecked(bool checked);

    QCheckBox* ChkChangeAttr = nullptr;
    QCheckBox* ChkReadOnly = nullptr;
    QCheckBox* chkArchive = nullptr;
    QCheckBox* chkHidden = nullptr;
    QCheckBox* chksysfile = nullptr;
    QPushButton* TBSelect = nullptr;
    QPushButton* TbNo = nullptr;
    QCheckBox* ChkSetTimeStamp = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QTimeEdit* DateTimePicker2 = nullptr;
    QPushButton* tb97TimeNow = nullptr;
    PageClock m_clock;
};

} // namespace quorvane
