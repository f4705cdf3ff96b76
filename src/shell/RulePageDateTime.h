#pragma once
// Page 6 "Date/Time": the date a photo was taken, the file's modified time or
// now, put before, after or instead of the name.

#include "shell/RulePageBase.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace quorvane {

struct DateTimeSettings;
class DatesTaken;

class RulePageDateTime : public RulePageBase {
    Q_OBJECT
public:
    RulePageDateTime();

    void ReadInto(PreviewSettings& settings) const override;
    OptionBindings BindOptions() override;
    void TakeFocus() override;
    void SetClock(const PageClock& clock) override;

private:
    DateTimeSettings ReadDateTimeSettings() const;
    void UpdateExample();

    QComboBox* cbDateSource = nullptr;
    QComboBox* cbDateFormat = nullptr;
    QRadioButton* rdbDateBefore = nullptr;
    QRadioButton* rdbDateAfter = nullptr;
    QRadioButton* rdbDateInstead = nullptr;
    QLineEdit* edtDateSeparator = nullptr;
    QCheckBox* chkDateFallback = nullptr;
    QLineEdit* EdtDateExample = nullptr;
    PageClock m_clock;
    std::shared_ptr<DatesTaken> m_datesTaken;
};

} // namespace quorvane
