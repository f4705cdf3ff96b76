#pragma once
// The rule pages of the file renaming panel: the page control `pgcGeneral` with
// its six pages and every control on them. The controls keep the names the
// settings file and the tests know them by; the handlers only enable, disable,
// refill and move the focus. The names themselves are computed by the rules.

#include "rules/Preview.h"

#include <QDateTime>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimeEdit;

namespace quorvane {

struct AttributeRunSettings;
struct OptionBinding;
using OptionBindings = std::vector<OptionBinding>;

class RulePages : public QWidget {
    Q_OBJECT
public:
    explicit RulePages(QWidget* parent = nullptr);
    ~RulePages() override;

    // --- For the window -------------------------------------------------------
    // Reads the rule pages into the rules' settings at the moment Preview runs.
    // Number boxes are read as the text they show, empty or not: the rule
    // decides the default and reports it back through ApplyRefills.
    PreviewSettings ReadPreviewSettings() const;
    // One page each.
    CaseSettings ReadCaseSettings() const;
    InsertSettings ReadInsertSettings() const;
    DeleteSettings ReadDeleteSettings() const;
    ReplaceSettings ReadReplaceSettings() const;
    EnumerationSettings ReadEnumerationSettings() const;
    // Writes back what the preview changed on the pages: the default texts of
    // the boxes it found empty, "FileName" when no "Apply to" was chosen and
    // "Numerical(001)" when no serial kind was.
    void ApplyRefills(const PreviewResult& result);
    void ApplyRefills(const RuleOutcome& outcome);
    RulePage ActivePage() const;
    // The attribute word of the four attribute boxes (kAttr* bits).
    std::uint32_t CheckedAttributes() const;
    // The pickers' local date and time, DOS packed; 0 outside 1980..2107.
    std::uint32_t CheckedTimeStamp() const;
    bool ChangeAttributesTicked() const;
    bool ChangeTimeStampTicked() const;
    AttributeRunSettings ReadAttributeRunSettings() const;
    // "Current" reads this clock; tests put a fixed one in.
    void SetClock(std::function<QDateTime()> clock);
    // The controls "Options.ini" keeps, in the order the load sets them.
    OptionBindings BindOptions();

    // --- Handlers ---------------------------------------------------------------
    void RB1Click();
    void RB2Click();
    void RB3Click();
    void RB4Click();
    void pgcGeneralChange(int index);
    void rdbReplaceClick();
    void rdbRemoveClick();
    void ChkChangeAttrClick();
    void ChkSetTimeStampClick();
    void TBSelectClick();
    void TbNoClick();
    void tb97TimeNowClick();
    void edtTemplateChange();
    void CBAlphaChange();
    void CBApplyToChange();
    void UpdateSerialExample();
    // The key filter of the start box: whether it takes the typed character.
    bool meStartFromKeyPress(QChar key) const;

Q_SIGNALS:
    // A control of the page in front changed, or another page came to the
    // front: the names Preview would give may differ now.
    void RuleSettingsChanged();

public:
    // --- The page control and its controls, under their documented names ------
    QTabWidget* pgcGeneral = nullptr;

    // Page 0 "Case/Extension"
    QRadioButton* MFRB1 = nullptr;
    QRadioButton* MFRB2 = nullptr;
    QRadioButton* MFRB3 = nullptr;
    QRadioButton* MFRB4 = nullptr;
    QRadioButton* RB1 = nullptr;
    QRadioButton* RB2 = nullptr;
    QRadioButton* RB3 = nullptr;
    QRadioButton* RB4 = nullptr;
    QComboBox* cbCaseEXT = nullptr;

    // Page 1 "Insert"
    QLineEdit* meSource = nullptr;
    QSpinBox* meindex = nullptr;
    QCheckBox* cbFromEnd = nullptr;

    // Page 2 "Delete"
    QSpinBox* edtIndex = nullptr;
    QSpinBox* edtCount = nullptr;
    QCheckBox* cbEnd = nullptr;

    // Page 3 "Replace"
    QLineEdit* edsource = nullptr;
    QRadioButton* rdbReplace = nullptr;
    QLineEdit* edTarget = nullptr;
    QRadioButton* rdbRemove = nullptr;
    QCheckBox* chkAllSub = nullptr;
    QCheckBox* chkEntireName = nullptr;
    QCheckBox* chkRegExp = nullptr; // "Regular expression": the search text is a pattern

    // Page 4 "Attributes"
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

    // Page 5 "Enumeration"
    QComboBox* CBApplyTo = nullptr;
    QComboBox* CBAlpha = nullptr;
    QSpinBox* mestep = nullptr;
    QLineEdit* edtTemplate = nullptr;
    QLineEdit* edtLast = nullptr;
    QComboBox* meStartFrom = nullptr;
    QComboBox* cbExt = nullptr;
    QLabel* lblFileName = nullptr;
    QLineEdit* EdtExample = nullptr;

private:
    QWidget* BuildCasePage();
    QWidget* BuildInsertPage();
    QWidget* BuildDeletePage();
    QWidget* BuildReplacePage();
    QWidget* BuildAttributesPage();
    QGroupBox* BuildAttributeBoxes(QWidget* page);
    QGroupBox* BuildTimeStampBoxes(QWidget* page);
    QWidget* BuildEnumerationPage();
    void SetAttributeBoxesChecked(bool checked);
    void WatchPageControls();
    OptionBindings BindCaseOptions();
    OptionBindings BindTextPageOptions();
    OptionBindings BindAttributeOptions();
    OptionBindings BindEnumerationOptions();

    std::function<QDateTime()> m_clock;
};

} // namespace quorvane
