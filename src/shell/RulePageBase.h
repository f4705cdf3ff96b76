#pragma once
// One page of the file renaming panel: its controls (private to it, found by
// their objectName from outside), the reading of them into its rule's
// settings, the refills a preview hands back, and the options "Options.ini"
// keeps of it. RulePages holds one of each and knows nothing of their insides.

#include "rules/Preview.h"
#include "rules/RulePage.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace quorvane {

struct OptionBinding;
using OptionBindings = std::vector<OptionBinding>;
using PageClock = std::function<QDateTime()>;

class RulePageBase : public QWidget {
    Q_OBJECT
public:
    RulePageBase(RulePage page, const QString& title, const char* objectName);

    RulePage Page() const { return m_page; }
    const QString& Title() const { return m_title; }

    // Reads the controls into this page's part of the settings, at the moment
    // Preview runs. Number boxes are read as the text they show: the rule
    // decides the default and reports it back through ApplyRefills.
    virtual void ReadInto(PreviewSettings& settings) const = 0;
    // Writes back what the preview changed on this page (the default texts of
    // the boxes it found empty).
    virtual void ApplyRefills(const RuleOutcome& outcome) { static_cast<void>(outcome); }
    // The controls "Options.ini" keeps, in the order the load sets them.
    virtual OptionBindings BindOptions() = 0;
    // The page came to the front: the box the user fills first takes the focus.
    virtual void TakeFocus() {}
    // "Now" reads this clock; tests put a fixed one in.
    virtual void SetClock(const PageClock& clock) { static_cast<void>(clock); }

private:
    RulePage m_page;
    QString m_title;
};

} // namespace quorvane
