// The controls of the rule pages that "Options.ini" keeps, in the order the
// load sets them.
#include "shell/RulePages.h"

#include "rules/EnumerationRule.h"
#include "shell/OptionBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace quorvane {

namespace {
using I = OptionId;
} // namespace

OptionBindings RulePages::BindCaseOptions() {
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

OptionBindings RulePages::BindTextPageOptions() {
    return {
        BindText(I::InsertText, meSource),
        BindNumber(I::InsertIndex, meindex),
        BindTick(I::InsertFromEnd, cbFromEnd),
        BindTick(I::DeleteFromEnd, cbEnd),
        BindNumber(I::DeleteIndex, edtIndex),
        BindNumber(I::DeleteCount, edtCount),
        BindText(I::ReplaceSource, edsource),
        BindText(I::ReplaceTarget, edTarget),
        BindRadio(I::ReplaceReplace, rdbReplace, [this] { rdbReplaceClick(); }),
        BindRadio(I::ReplaceRemove, rdbRemove, [this] { rdbRemoveClick(); }),
        BindTick(I::ReplaceAllOccurrences, chkAllSub),
        BindTick(I::ReplaceRegularExpression, chkRegExp),
    };
}

OptionBindings RulePages::BindAttributeOptions() {
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

OptionBindings RulePages::BindEnumerationOptions() {
    // The serial kind refills the start values, so the stored start text is
    // set after the kind's reaction, with the kind's own start as default;
    // without a kind it keeps what the reaction left.
    const OptionBinding startText{
        I::EmuStartFromText,
        [this] { return OptionValue(meStartFrom->currentText().toStdString()); },
        [this](const StoredOptions& stored) {
            const SerialStartChoices choices = StartChoicesForKind(CBAlpha->currentIndex());
            if (choices.text)
                meStartFrom->setEditText(
                    QString::fromStdString(stored.Text(I::EmuStartFromText, *choices.text)));
        }};
    return {
        BindText(I::EmuTemplate, edtTemplate),
        BindText(I::EmuLast, edtLast),
        BindText(I::EmuExtText, cbExt),
        BindIndex(I::EmuApplyTo, CBApplyTo),
        BindIndex(I::EmuAlpha, CBAlpha),
        Reaction([this] { CBApplyToChange(); }),
        Reaction([this] { CBAlphaChange(); }),
        startText,
        BindIndex(I::EmuStartFromIndex, meStartFrom),
        BindNumber(I::EmuStep, mestep),
        BindCount(I::EmuStartFromCount, meStartFrom),
        BindItems(I::EmuStartFromItems, meStartFrom),
        BindCount(I::EmuExtCount, cbExt),
        BindItems(I::EmuExtItems, cbExt),
    };
}

OptionBindings RulePages::BindOptions() {
    OptionBindings bindings;
    for (OptionBindings part : {BindCaseOptions(), BindTextPageOptions(), BindAttributeOptions(),
                                BindEnumerationOptions()})
        bindings.insert(bindings.end(), part.begin(), part.end());
    return bindings;
}

} // namespace quorvane
