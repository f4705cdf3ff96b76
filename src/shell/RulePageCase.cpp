#include "shell/RulePageCase.h"

#include "rules/CaseRule.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvane {

RulePageCase::RulePageCase() : RulePageBase(RulePage::Case, "Case/Extension", "TabCase") {
    auto* nameGroup = new QGroupBox("FileName", this);
    nameGroup->setObjectName("grpFileNameCase");
    MFRB1 = MakeRadio("MFRB1", "keep as is", nameGroup);
    MFRB2 = MakeRadio("MFRB2", "lower", nameGroup);
    MFRB3 = MakeRadio("MFRB3", "UPPER", nameGroup);
    MFRB4 = MakeRadio("MFRB4", "Capitalize First Letters", nameGroup);
    MFRB1->setChecked(true);
    auto* nameLayout = new QVBoxLayout(nameGroup);
    for (QRadioButton* button : {MFRB1, MFRB2, MFRB3, MFRB4})
        nameLayout->addWidget(button);
    nameLayout->addStretch();

    auto* extGroup = new QGroupBox("Extension", this);
    extGroup->setObjectName("grpExtensionCase");
    RB1 = MakeRadio("RB1", "keep as is", extGroup);
    RB2 = MakeRadio("RB2", "lower", extGroup);
    RB3 = MakeRadio("RB3", "UPPER", extGroup);
    RB4 = MakeRadio("RB4", "New Extension :", extGroup);
    RB1->setChecked(true);
    cbCaseEXT = MakeFreeTextCombo("cbCaseEXT", ExtensionItems(), extGroup);
    NameForScreenReaders(cbCaseEXT, "New Extension :");
    cbCaseEXT->setEnabled(false);
    auto* extLayout = new QGridLayout(extGroup);
    extLayout->addWidget(RB1, 0, 0);
    extLayout->addWidget(RB2, 0, 1);
    extLayout->addWidget(RB3, 1, 0);
    extLayout->addWidget(RB4, 1, 1);
    extLayout->addWidget(cbCaseEXT, 2, 1);
    extLayout->setRowStretch(3, 1);

    // toggled(true) also fires when the settings load checks a button, so the
    // new-extension box follows the loaded choice as it follows a click.
    connect(RB1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB1Click();
    });
    connect(RB2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB2Click();
    });
    connect(RB3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB3Click();
    });
    connect(RB4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RB4Click();
    });

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(nameGroup, 1);
    layout->addWidget(extGroup, 1);
}

void RulePageCase::RB1Click() {
    cbCaseEXT->setEnabled(false);
}
void RulePageCase::RB2Click() {
    cbCaseEXT->setEnabled(false);
}
void RulePageCase::RB3Click() {
    cbCaseEXT->setEnabled(false);
}

void RulePageCase::RB4Click() {
    cbCaseEXT->setEnabled(true);
    // A hidden panel cannot take the focus; that is fine.
    cbCaseEXT->setFocus();
}

void RulePageCase::ReadInto(PreviewSettings& settings) const {
    CaseSettings& read = settings.caseAndExtension;
    read.nameCase = MFRB2->isChecked()   ? NameCase::Lower
                    : MFRB3->isChecked() ? NameCase::Upper
                    : MFRB4->isChecked() ? NameCase::CapitalizeWords
                    : MFRB1->isChecked() ? NameCase::KeepAsIs
                                         : NameCase::None;
    read.extensionCase = RB1->isChecked()   ? ExtensionCase::KeepAsIs
                         : RB2->isChecked() ? ExtensionCase::Lower
                         : RB3->isChecked() ? ExtensionCase::Upper
                         : RB4->isChecked() ? ExtensionCase::NewExtension
                                            : ExtensionCase::None;
    read.newExtension = cbCaseEXT->currentText().toStdString();
}

OptionBindings RulePageCase::BindOptions() {
    using I = OptionId;
    // The radio buttons of the extension drive the new-extension box; its
    // stored enabled state comes after them and wins.
    return {
        BindRadio(I::CaseMFRB1, MFRB1),
        BindRadio(I::CaseMFRB2, MFRB2),
        BindRadio(I::CaseMFRB3, MFRB3),
        BindRadio(I::CaseMFRB4, MFRB4),
        BindRadio(I::CaseRB1, RB1, [this] { RB1Click(); }),
        BindRadio(I::CaseRB2, RB2, [this] { RB2Click(); }),
        BindRadio(I::CaseRB3, RB3, [this] { RB3Click(); }),
        BindRadio(I::CaseRB4, RB4, [this] { RB4Click(); }),
        BindEnabled(I::CaseExtEnabled, cbCaseEXT),
        BindText(I::CaseExtText, cbCaseEXT),
        BindCount(I::CaseExtCount, cbCaseEXT),
        BindItems(I::CaseExtItems, cbCaseEXT),
    };
}

} // namespace quorvane
