#include "shell/Mp3PanelControls.h"

#include "mp3/Mp3NameFormatter.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvane {

namespace {

QGroupBox* MakeLegend(QWidget* parent) {
    auto* legend = new QGroupBox("Format Setting", parent);
    legend->setObjectName("grpFormatSetting");
    auto* layout = new QGridLayout(legend);
    const char* const lines[] = {"%1 = ID3 Artist", "%2 = ID3 Title", "%3 = ID3 Album",
                                 "%4 = ID3 Year",   "%5 = ID3 Genre", "%6 = ID3 Comment",
                                 "%7 = ID3 Track",  "%N = File Name"};
    int index = 0;
    for (const char* line : lines) {
        layout->addWidget(new QLabel(line, legend), index % 4, index / 4);
        ++index;
    }
    return legend;
}

} // namespace

Mp3PanelControls::Mp3PanelControls(QWidget* parent) : QWidget(parent) {
    setObjectName("Mp3PanelControls");

    cbFormat = MakeFreeTextCombo("cbFormat", {"%2", "%1 %2", "%3 %2", "%1 %3 %2"}, this);
    cbFormat->setCurrentIndex(3);
    Image2 = new QToolButton(this);
    Image2->setObjectName("Image2");
    Image2->setText("+");
    Image2->setToolTip("Add Format");
    Image2->setAccessibleName("Add Format");
    Image2->setAutoRaise(true);

    ChkCase = MakeCheck("ChkCase", "Case", this);
    cbCase = MakeDropDownList(
        "cbCase", {"Capitalize First Letters", "ALL UPPER CASE", "all lower case"}, this);
    NameForScreenReaders(cbCase, "Case");
    chkAddPre = MakeCheck("chkAddPre", "Add number at the beginning", this);
    cbEmulation =
        MakeFreeTextCombo("cbEmulation", {"01", "001", "0001", "00001", "000001", "0000001"}, this);
    cbEmulation->setCurrentIndex(1);
    InstallCharacterFilter(cbEmulation, [this](QChar key) { return cbEmulationKeyPress(key); });
    NameForScreenReaders(cbEmulation, "Add number at the beginning");
    ChkSpace = MakeCheck("ChkSpace", "Spaces", this);
    cbSpace = MakeDropDownList(
        "cbSpace", {"Replace with Hyphen ", "Replace with underscores", "Delete Spaces"}, this);
    NameForScreenReaders(cbSpace, "Spaces");
    for (QComboBox* option : {cbCase, cbEmulation, cbSpace})
        option->setEnabled(false);
    chkReadId3v2 = MakeCheck("chkReadId3v2", "Read ID3v2 tags", this);
    chkReadId3v2->setChecked(true);
    WireChanges();
    LayOut();
}

void Mp3PanelControls::WireChanges() {
    // toggled also fires when the settings load ticks a box, as a click would.
    connect(ChkSpace, &QCheckBox::toggled, this, &Mp3PanelControls::ChkSpaceClick);
    connect(ChkCase, &QCheckBox::toggled, this, &Mp3PanelControls::ChkCaseClick);
    connect(chkAddPre, &QCheckBox::toggled, this, &Mp3PanelControls::chkAddPreClick);
    connect(Image2, &QToolButton::clicked, this, &Mp3PanelControls::Image2Click);
    for (QCheckBox* box : {ChkSpace, ChkCase, chkAddPre, chkReadId3v2})
        connect(box, &QCheckBox::toggled, this, &Mp3PanelControls::SettingsChanged);
    for (QComboBox* box : {cbFormat, cbEmulation})
        connect(box, &QComboBox::editTextChanged, this, &Mp3PanelControls::SettingsChanged);
    for (QComboBox* box : {cbFormat, cbCase, cbSpace, cbEmulation})
        connect(box, &QComboBox::currentIndexChanged, this, &Mp3PanelControls::SettingsChanged);
}

void Mp3PanelControls::LayOut() {
    auto* options = new QGridLayout;
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(cbFormat, 1);
    formatRow->addWidget(Image2);
    options->addWidget(MakeBuddyLabel("Format :      ", cbFormat, this), 0, 0);
    options->addLayout(formatRow, 0, 1);
    options->addWidget(ChkSpace, 1, 0);
    options->addWidget(cbSpace, 1, 1);
    options->addWidget(ChkCase, 2, 0);
    options->addWidget(cbCase, 2, 1);
    // The long caption gets a row of its own so the panel stays narrow.
    options->addWidget(chkAddPre, 3, 0, 1, 2);
    options->addWidget(cbEmulation, 4, 1);
    options->addWidget(chkReadId3v2, 5, 0, 1, 2);
    options->setColumnStretch(1, 1);
    options->setRowStretch(6, 1);

    grpFormatSetting = MakeLegend(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(options, 3);
    layout->addWidget(grpFormatSetting, 2);
}

Mp3PanelControls::~Mp3PanelControls() {
    DetachChildren(this, cbEmulation);
}

// The option boxes follow the ticks rather than flipping on each click, so a
// box can never be usable while its option is off.
void Mp3PanelControls::ChkSpaceClick() {
    cbSpace->setEnabled(ChkSpace->isChecked());
}
void Mp3PanelControls::ChkCaseClick() {
    cbCase->setEnabled(ChkCase->isChecked());
}
void Mp3PanelControls::chkAddPreClick() {
    cbEmulation->setEnabled(chkAddPre->isChecked());
}

void Mp3PanelControls::Image2Click() {
    const QString format = cbFormat->currentText();
    if (format.isEmpty() || cbFormat->findText(format, Qt::MatchFixedString) >= 0)
        return;
    const QSignalBlocker quiet(cbFormat);
    cbFormat->addItem(format);
    cbFormat->setEditText(format);
}

bool Mp3PanelControls::cbEmulationKeyPress(QChar key) const {
    return key.unicode() == 8 || (key >= QChar('0') && key <= QChar('9'));
}

std::vector<OptionBinding> Mp3PanelControls::BindOptions() {
    using I = OptionId;
    // The stored format text comes after the format's index, so it is what shows.
    return {
        BindTick(I::Mp3Space, ChkSpace, [this] { ChkSpaceClick(); }),
        BindTick(I::Mp3Case, ChkCase, [this] { ChkCaseClick(); }),
        BindTick(I::Mp3AddPre, chkAddPre, [this] { chkAddPreClick(); }),
        BindIndex(I::Mp3FormatIndex, cbFormat),
        BindIndex(I::Mp3SpaceIndex, cbSpace),
        BindIndex(I::Mp3CaseIndex, cbCase),
        BindIndex(I::Mp3EmulationIndex, cbEmulation),
        BindText(I::Mp3LastFormat, cbFormat),
        BindCount(I::Mp3FormatCount, cbFormat),
        BindItems(I::Mp3FormatItems, cbFormat),
        BindTick(I::Mp3ReadId3v2, chkReadId3v2),
    };
}

Mp3NameSettings Mp3PanelControls::ReadMp3Settings() const {
    Mp3NameSettings settings;
    settings.format = cbFormat->currentText().toStdString();
    settings.caseOn = ChkCase->isChecked();
    settings.caseIndex = cbCase->currentIndex();
    settings.numberOn = chkAddPre->isChecked();
    settings.numberText = cbEmulation->currentText().toStdString();
    settings.spaceOn = ChkSpace->isChecked();
    settings.spaceIndex = cbSpace->currentIndex();
    settings.readId3v2 = chkReadId3v2->isChecked();
    return settings;
}

} // namespace quorvane
