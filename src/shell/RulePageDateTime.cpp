#include "shell/RulePageDateTime.h"

#include "photo/DateTaken.h"
#include "rules/DateTimeRule.h"
#include "rules/RuleRows.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace quorvane {

namespace {

// The name the example shows the date on.
constexpr const char* kExampleName = "IMG_0001.jpg";

} // namespace

// The dates taken read so far. A live preview runs the rule again after
// every key typed on the page; reading every photo each time would make typing
// wait on the disk. An entry holds as long as the file is the one the scan
// saw: same inode, size and modified time.
class DatesTaken {
public:
    std::optional<CalendarTime> Of(const FileRow& row) {
        std::string path = row.FullPath();
        const auto found = m_dates.find(path);
        if (found != m_dates.end() && found->second.inode == row.inode &&
            found->second.sizeBytes == row.sizeBytes &&
            found->second.modifiedUtc == row.modifiedUtc)
            return found->second.date;
        // Bounded: a list of millions of files does not keep them all.
        if (m_dates.size() >= kMaxEntries)
            m_dates.clear();
        const std::optional<CalendarTime> date = ReadDateTaken(path);
        m_dates[std::move(path)] = {row.inode, row.sizeBytes, row.modifiedUtc, date};
        return date;
    }

private:
    static constexpr std::size_t kMaxEntries = 200000;
    struct Entry {
        std::uint64_t inode = 0;
        std::uint64_t sizeBytes = 0;
        std::int64_t modifiedUtc = 0;
        std::optional<CalendarTime> date;
    };
    std::unordered_map<std::string, Entry> m_dates;
};

RulePageDateTime::RulePageDateTime()
    : RulePageBase(RulePage::DateTime, "Date/Time", "TabDateTime"),
      m_clock([] { return QDateTime::currentDateTime(); }),
      m_datesTaken(std::make_shared<DatesTaken>()) {
    cbDateSource = MakeDropDownList("cbDateSource", {"Date taken", "Modified", "Now"}, this);
    cbDateSource->setCurrentIndex(0);
    cbDateFormat = MakeFreeTextCombo(
        "cbDateFormat", {"%Y-%m-%d", "%Y%m%d_%H%M%S", "%Y-%m-%d %H.%M.%S", "%d.%m.%Y"}, this);
    cbDateFormat->setEditText("%Y-%m-%d");
    rdbDateBefore = MakeRadio("rdbDateBefore", "Before the name", this);
    rdbDateAfter = MakeRadio("rdbDateAfter", "After the name", this);
    rdbDateInstead = MakeRadio("rdbDateInstead", "Instead of the name", this);
    rdbDateBefore->setChecked(true);
    edtDateSeparator = MakeLineEdit("edtDateSeparator", this);
    edtDateSeparator->setText(" ");
    chkDateFallback =
        MakeCheck("chkDateFallback", "Use the modified time when a file has no date taken", this);
    chkDateFallback->setChecked(true);
    EdtDateExample = MakeLineEdit("EdtDateExample", this);
    EdtDateExample->setReadOnly(true);
    EdtDateExample->setFocusPolicy(Qt::ClickFocus);
    SetBackground(EdtDateExample, QColor(182, 205, 231));

    auto* form = new QFormLayout;
    AddLabelledRow(form, "Date :", cbDateSource);
    AddLabelledRow(form, "Format :", cbDateFormat);
    auto* positions = new QHBoxLayout;
    for (QRadioButton* button : {rdbDateBefore, rdbDateAfter, rdbDateInstead})
        positions->addWidget(button);
    positions->addStretch();
    form->addRow(positions);
    AddLabelledRow(form, "Separator :", edtDateSeparator);
    form->addRow(chkDateFallback);
    auto* exampleRow = new QHBoxLayout;
    exampleRow->addWidget(MakeBuddyLabel("Example :", EdtDateExample, this));
    exampleRow->addWidget(EdtDateExample, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(exampleRow);

    connect(cbDateFormat, &QComboBox::editTextChanged, this, &RulePageDateTime::UpdateExample);
    connect(edtDateSeparator, &QLineEdit::textChanged, this, &RulePageDateTime::UpdateExample);
    for (QRadioButton* button : {rdbDateBefore, rdbDateAfter, rdbDateInstead})
        connect(button, &QRadioButton::toggled, this, &RulePageDateTime::UpdateExample);
    UpdateExample();
}

void RulePageDateTime::SetClock(const PageClock& clock) {
    m_clock = clock;
    UpdateExample();
}

DateTimeSettings RulePageDateTime::ReadDateTimeSettings() const {
    DateTimeSettings settings;
    switch (cbDateSource->currentIndex()) {
    case 1:
        settings.source = DateSource::Modified;
        break;
    case 2:
        settings.source = DateSource::Now;
        break;
    default:
        settings.source = DateSource::Taken;
        break;
    }
    settings.format = cbDateFormat->currentText().toStdString();
    settings.position = rdbDateAfter->isChecked()     ? DatePosition::AfterName
                        : rdbDateInstead->isChecked() ? DatePosition::InsteadOfName
                                                      : DatePosition::BeforeName;
    settings.separator = edtDateSeparator->text().toStdString();
    settings.modifiedWhenNoDateTaken = chkDateFallback->isChecked();
    settings.now = m_clock().toSecsSinceEpoch();
    return settings;
}

void RulePageDateTime::ReadInto(PreviewSettings& settings) const {
    settings.dateTime = ReadDateTimeSettings();
    settings.dateTime.dateTaken = [dates = m_datesTaken](const FileRow& row) {
        return dates->Of(row);
    };
}

// The format and the position on a sample name, dated now.
void RulePageDateTime::UpdateExample() {
    DateTimeSettings settings = ReadDateTimeSettings();
    settings.source = DateSource::Now;
    FileRows rows(1);
    rows[0].originalName = kExampleName;
    rows[0].selected = true;
    std::vector<std::string> names{kExampleName};
    RuleRows ruleRows(rows, names);
    PreviewDateTime(ruleRows, settings);
    EdtDateExample->setText(QString::fromStdString(names[0]));
}

OptionBindings RulePageDateTime::BindOptions() {
    using I = OptionId;
    return {
        BindIndex(I::DateSource, cbDateSource),        BindText(I::DateFormat, cbDateFormat),
        BindRadio(I::DateBefore, rdbDateBefore),       BindRadio(I::DateAfter, rdbDateAfter),
        BindRadio(I::DateInstead, rdbDateInstead),     BindText(I::DateSeparator, edtDateSeparator),
        BindTick(I::DateUseModified, chkDateFallback),
    };
}

void RulePageDateTime::TakeFocus() {
    cbDateSource->setFocus();
}

} // namespace quorvane
