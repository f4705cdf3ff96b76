#include "shell/RulePageReplace.h"

#include "rules/ReplaceRule.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageParts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace quorvane {

RulePageReplace::RulePageReplace() : RulePageBase(RulePage::Replace, "Replace", "TabReplace") {
    edsource = MakeLineEdit("edsource", this);
    rdbReplace = MakeRadio("rdbReplace", "Replace with", this);
    edTarget = MakeLineEdit("edTarget", this);
    edTarget->setAccessibleName("Replace with");
    rdbRemove = MakeRadio("rdbRemove", "Remove", this);
    chkAllSub = MakeCheck("chkAllSub", "All occurrences  ", this);
    chkEntireName = MakeCheck("chkEntireName", "Change To Entire FileName", this);
    chkRegExp = MakeCheck("chkRegExp", "Regular expression", this);
    rdbReplace->setChecked(true);
    chkAllSub->setChecked(true);
    chkEntireName->setChecked(true);

    connect(rdbReplace, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rdbReplaceClick();
    });
    connect(rdbRemove, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rdbRemoveClick();
    });

    auto* layout = new QGridLayout(this);
    auto* searchLabel = MakeBuddyLabel(" Search :", edsource, this);
    layout->addWidget(searchLabel, 0, 0);
    layout->addWidget(edsource, 0, 1);
    layout->addWidget(rdbReplace, 1, 0);
    layout->addWidget(edTarget, 1, 1);
    layout->addWidget(rdbRemove, 2, 0);
    auto* options = new QHBoxLayout;
    options->addWidget(chkAllSub);
    options->addWidget(chkEntireName);
    options->addStretch();
    layout->addLayout(options, 3, 0, 1, 2);
    layout->addWidget(chkRegExp, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(5, 1);
}

// The replacement box looks like an ordinary edit box while it is in use and
// takes the menu colour while "Remove" makes it pointless.
void RulePageReplace::rdbReplaceClick() {
    edTarget->setEnabled(true);
    SetBackground(edTarget, palette().color(QPalette::Active, QPalette::Base));
    edTarget->setFocus();
}

void RulePageReplace::rdbRemoveClick() {
    edTarget->setEnabled(false);
    SetBackground(edTarget, palette().color(QPalette::Active, QPalette::Window));
}

void RulePageReplace::ReadInto(PreviewSettings& settings) const {
    const ReplaceMode mode = rdbReplace->isChecked()  ? ReplaceMode::Replace
                             : rdbRemove->isChecked() ? ReplaceMode::Remove
                                                      : ReplaceMode::None;
    settings.replace = {.search = edsource->text().toStdString(),
                        .replacement = edTarget->text().toStdString(),
                        .mode = mode,
                        .allOccurrences = chkAllSub->isChecked(),
                        .entireName = chkEntireName->isChecked(),
                        .regularExpression = chkRegExp->isChecked()};
}

OptionBindings RulePageReplace::BindOptions() {
    using I = OptionId;
    return {
        BindText(I::ReplaceSource, edsource),
        BindText(I::ReplaceTarget, edTarget),
        BindRadio(I::ReplaceReplace, rdbReplace, [this] { rdbReplaceClick(); }),
        BindRadio(I::ReplaceRemove, rdbRemove, [this] { rdbRemoveClick(); }),
        BindTick(I::ReplaceAllOccurrences, chkAllSub),
        BindTick(I::ReplaceRegularExpression, chkRegExp),
    };
}

void RulePageReplace::TakeFocus() {
    edsource->setFocus();
}

} // namespace quorvane
