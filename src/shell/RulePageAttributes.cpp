// Page 4 "Attributes": the attribute and time-stamp choices for Apply.
#include "shell/RulePages.h"

#include "platform/DirectorySearch.h"
#include "platform/TimeStamp.h"
#include "runs/AttributeRun.h"
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

QGroupBox* RulePages::BuildAttributeBoxes(QWidget* page) {
    auto* attrGroup = new QGroupBox(page);
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

QGroupBox* RulePages::BuildTimeStampBoxes(QWidget* page) {
    auto* timeGroup = new QGroupBox(page);
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

QWidget* RulePages::BuildAttributesPage() {
    auto* page = new QWidget;
    page->setObjectName("TabAttributes");
    QGroupBox* attrGroup = BuildAttributeBoxes(page);
    QGroupBox* timeGroup = BuildTimeStampBoxes(page);

    for (QWidget* dependent :
         std::initializer_list<QWidget*>{ChkReadOnly, chkArchive, chkHidden, chksysfile, TBSelect,
                                         TbNo, DateTimePicker1, DateTimePicker2, tb97TimeNow})
        dependent->setEnabled(false);
    // The pickers open on the present moment until the user or "Current" moves them.
    const QDateTime now = m_clock();
    DateTimePicker1->setDate(now.date());
    DateTimePicker2->setTime(now.time());

    // toggled also fires when the settings load ticks a box, as a click would.
    connect(ChkChangeAttr, &QCheckBox::toggled, this, &RulePages::ChkChangeAttrClick);
    connect(ChkSetTimeStamp, &QCheckBox::toggled, this, &RulePages::ChkSetTimeStampClick);
    connect(TBSelect, &QPushButton::clicked, this, &RulePages::TBSelectClick);
    connect(TbNo, &QPushButton::clicked, this, &RulePages::TbNoClick);
    connect(tb97TimeNow, &QPushButton::clicked, this, &RulePages::tb97TimeNowClick);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(attrGroup, 1);
    layout->addWidget(timeGroup, 1);
    return page;
}

void RulePages::ChkChangeAttrClick() {
    const bool on = ChkChangeAttr->isChecked();
    for (QWidget* box : std::initializer_list<QWidget*>{ChkReadOnly, chkHidden, chkArchive,
                                                        chksysfile, TBSelect, TbNo})
        box->setEnabled(on);
}

void RulePages::ChkSetTimeStampClick() {
    const bool on = ChkSetTimeStamp->isChecked();
    for (QWidget* box :
         std::initializer_list<QWidget*>{DateTimePicker1, DateTimePicker2, tb97TimeNow})
        box->setEnabled(on);
}

void RulePages::SetAttributeBoxesChecked(bool checked) {
    for (QCheckBox* box : {ChkReadOnly, chkHidden, chkArchive, chksysfile})
        box->setChecked(checked);
}

void RulePages::TBSelectClick() {
    SetAttributeBoxesChecked(true);
}
void RulePages::TbNoClick() {
    SetAttributeBoxesChecked(false);
}

void RulePages::tb97TimeNowClick() {
    const QDateTime now = m_clock();
    DateTimePicker1->setDate(now.date());
    DateTimePicker2->setTime(now.time());
}

std::uint32_t RulePages::CheckedAttributes() const {
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

std::uint32_t RulePages::CheckedTimeStamp() const {
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

bool RulePages::ChangeAttributesTicked() const {
    return ChkChangeAttr->isChecked();
}
bool RulePages::ChangeTimeStampTicked() const {
    return ChkSetTimeStamp->isChecked();
}

AttributeRunSettings RulePages::ReadAttributeRunSettings() const {
    return {.changeAttributes = ChangeAttributesTicked(),
            .attributes = CheckedAttributes(),
            .changeTimeStamp = ChangeTimeStampTicked(),
            .packedTimeStamp = CheckedTimeStamp()};
}

} // namespace quorvane
