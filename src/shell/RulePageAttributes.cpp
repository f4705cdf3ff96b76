#include "shell/RulePageAttributes.h"

#include "platform/DirectorySearch.h"
#include "platform/TimeStamp.h"
#include "runs/AttributeRun.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace quorvane {

QGroupBox* RulePageAttributes::BuildAttributeBoxes() {
    auto* attrGroup = new QGroupBox(this);
    attrGroup->setObjectName("grpAttributes");
    ChkChangeAttr = MakeCheck("ChkChangeAttr", "Change Attributes", attrGroup);
    ChkReadOnly = MakeCheck("ChkReadOnly", "Read only ", attrGroup);
    chkArchive = MakeCheck("chkArchive", "Archive", attrGroup);
    chkHidden = MakeCheck("chkHidden", "Hidden", attrGroup);
    chksysfile = MakeCheck("chksysfile", "System", attrGroup);
    TBSelect = new QPushButton("Select All", attrGroup);
    TBSelect->setObjectName("TBSelect");
    TbNo = new QPushButton("Select None", attrGroup);
    TbNo->setObjectName("TbNo");
    auto* attrLayout = new QGridLayout(attrGroup);
    attrLayout->addWidget(ChkChangeAttr, 0, 0, 1, 2);
    attrLayout->addWidget(ChkReadOnly, 1, 0);
    attrLayout->addWidget(chkArchive, 1, 1);
    attrLayout->addWidget(chkHidden, 2, 0);
    attrLayout->addWidget(chksysfile, 2, 1);
    attrLayout->addWidget(TBSelect, 3, 0);
    attrLayout->addWidget(TbNo, 3, 1);
    attrLayout->setRowStretch(4, 1);
    return attrGroup;
}

QGroupBox* RulePageAttributes::BuildTimeStampBoxes() {
    auto* timeGroup = new QGroupBox(this);
    timeGroup->setObjectName("grpTimeStamp");
    ChkSetTimeStamp = MakeCheck("ChkSetTimeStamp", "Change Time Stamp", timeGroup);
    DateTimePicker1 = new QDateEdit(timeGroup);
    DateTimePicker1->setObjectName("DateTimePicker1");
    DateTimePicker1->setDisplayFormat("yyyy/MM/dd");
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker2 = new QTimeEdit(timeGroup);
    DateTimePicker2->setObjectName("DateTimePicker2");
    DateTimePicker2->setDisplayFormat("HH:mm:ss");
    tb97TimeNow = new QPushButton("Current", timeGroup);
    tb97TimeNow->setObjectName("tb97TimeNow");
    auto* timeLayout = new QFormLayout(timeGroup);
    timeLayout->addRow(ChkSetTimeStamp);
    AddLabelledRow(timeLayout, "Set  Date:", DateTimePicker1);
    AddLabelledRow(timeLayout, "Set Time :", DateTimePicker2);
    timeLayout->addRow(QString(), tb97TimeNow);
    return timeGroup;
}

RulePageAttributes::RulePageAttributes()
    : RulePageBase(RulePage::Attributes, "Attributes", "TabAttributes"),
      m_clock([] { return QDateTime::currentDateTime(); }) {
    QGroupBox* attrGroup = BuildAttributeBoxes();
    QGroupBox* timeGroup = BuildTimeStampBoxes();

    for (QWidget* dependent :
         std::initializer_list<QWidget*>{ChkReadOnly, chkArchive, chkHidden, chksysfile, TBSelect,
                                         TbNo, DateTimePicker1, DateTimePicker2, tb97TimeNow})
        dependent->setEnabled(false);
    // The pickers open on the present moment until the user or "Current" moves them.
    const QDateTime now = m_clock();
    DateTimePicker1->setDate(now.date());
    DateTimePicker2->setTime(now.time());

    // toggled also fires when the settings load ticks a box, as a click would.
    connect(ChkChangeAttr, &QCheckBox::toggled, this, &RulePageAttributes::ChkChangeAttrClick);
    connect(ChkSetTimeStamp, &QCheckBox::toggled, this, &RulePageAttributes::ChkSetTimeStampClick);
    connect(TBSelect, &QPushButton::clicked, this, &RulePageAttributes::TBSelectClick);
    connect(TbNo, &QPushButton::clicked, this, &RulePageAttributes::TbNoClick);
    connect(tb97TimeNow, &QPushButton::clicked, this, &RulePageAttributes::tb97TimeNowClick);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(attrGroup, 1);
    layout->addWidget(timeGroup, 1);
}

void RulePageAttributes::SetClock(const PageClock& clock) {
    m_clock = clock;
}

// No rule: the names stay as the rows have them.
void RulePageAttributes::ReadInto(PreviewSettings& settings) const {
    static_cast<void>(settings);
}

void RulePageAttributes::ChkChangeAttrClick() {
    const bool on = ChkChangeAttr->isChecked();
    for (QWidget* box : std::initializer_list<QWidget*>{ChkReadOnly, chkHidden, chkArchive,
                                                        chksysfile, TBSelect, TbNo})
        box->setEnabled(on);
}

void RulePageAttributes::ChkSetTimeStampClick() {
    const bool on = ChkSetTimeStamp->isChecked();
    for (QWidget* box :
         std::initializer_list<QWidget*>{DateTimePicker1, DateTimePicker2, tb97TimeNow})
        box->setEnabled(on);
}

void RulePageAttributes::SetAttributeBoxesChecked(bool checked) {
    for (QCheckBox* box : {ChkReadOnly, chkHidden, chkArchive, chksysfile})
        box->setChecked(checked);
}

void RulePageAttributes::TBSelectClick() {
    SetAttributeBoxesChecked(true);
}
void RulePageAttributes::TbNoClick() {
    SetAttributeBoxesChecked(false);
}

void RulePageAttributes::tb97TimeNowClick() {
    const QDateTime now = m_clock();
    DateTimePicker1->setDate(now.date());
    DateTimePicker2->setTime(now.time());
}

std::uint32_t RulePageAttributes::CheckedAttributes() const {
    std::uint32_t word = 0;
    if (ChkReadOnly->isChecked())
        word |= kAttrReadOnly;
    if (chkHidden->isChecked())
        word |= kAttrHidden;
    if (chksysfile->isChecked())
        word |= kAttrSystem;
    if (chkArchive->isChecked())
        word |= kAttrArchive;
    return word;
}

std::uint32_t RulePageAttributes::CheckedTimeStamp() const {
    const QDate date = DateTimePicker1->date();
    const QTime time = DateTimePicker2->time();
    LocalDateTime local;
    local.year = date.year();
    local.month = date.month();
    local.day = date.day();
    local.hour = time.hour();
    local.minute = time.minute();
    local.second = time.second();
    return PackDosDateTime(local);
}

AttributeRunSettings RulePageAttributes::ReadAttributeRunSettings() const {
    return {.changeAttributes = ChkChangeAttr->isChecked(),
            .attributes = CheckedAttributes(),
            .changeTimeStamp = ChkSetTimeStamp->isChecked(),
            .packedTimeStamp = CheckedTimeStamp()};
}

OptionBindings RulePageAttributes::BindOptions() {
    using I = OptionId;
    // The two ticks enable the boxes under them; the stored enabled states of
    // the three buttons come after them and win.
    return {
        BindTick(I::AttrChangeAttr, ChkChangeAttr, [this] { ChkChangeAttrClick(); }),
        BindTick(I::AttrSetTimeStamp, ChkSetTimeStamp, [this] { ChkSetTimeStampClick(); }),
        BindTick(I::AttrReadOnly, ChkReadOnly),
        BindTick(I::AttrHidden, chkHidden),
        BindTick(I::AttrArchive, chkArchive),
        BindTick(I::AttrSystem, chksysfile),
        BindEnabled(I::AttrSelectEnabled, TBSelect),
        BindEnabled(I::AttrNoEnabled, TbNo),
        BindEnabled(I::AttrTimeNowEnabled, tb97TimeNow),
    };
}

} // namespace quorvane
