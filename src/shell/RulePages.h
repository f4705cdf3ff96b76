#pragma once
// The rule pages of the file renaming panel: the page control `pgcGeneral`
// with one page of its own per rule (shell/RulePage*.h). The window reads the
// pages through here; each page keeps its controls to itself, and tests find
// them by their objectName as screen readers do.

#include "rules/Preview.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <vector>

class QTabWidget;

namespace quorvane {

struct AttributeRunSettings;
struct OptionBinding;
using OptionBindings = std::vector<OptionBinding>;
class RulePageAttributes;
class RulePageBase;

class RulePages : public QWidget {
    Q_OBJECT
public:
    explicit RulePages(QWidget* parent = nullptr);
    ~RulePages() override;

    // Reads every page into the rules' settings at the moment Preview runs.
    PreviewSettings ReadPreviewSettings() const;
    // Writes back what the preview changed on the pages: the default texts of
    // the boxes it found empty, "FileName" when no "Apply to" was chosen and
    // "Numerical(001)" when no serial kind was.
    void ApplyRefills(const PreviewResult& result);
    void ApplyRefills(const RuleOutcome& outcome);
    RulePage ActivePage() const;
    // What the "Attributes" page asks Apply to do.
    AttributeRunSettings ReadAttributeRunSettings() const;
    // "Current" and "Now" read this clock; tests put a fixed one in.
    void SetClock(std::function<QDateTime()> clock);
    // The controls "Options.ini" keeps, page by page, in the order the load sets them.
    OptionBindings BindOptions();

Q_SIGNALS:
    // A control of the page in front changed, or another page came to the
    // front: the names Preview would give may differ now.
    void RuleSettingsChanged();

public:
    QTabWidget* pgcGeneral = nullptr;

private:
    void WatchPageControls();

    // In tab order; a page's index is its RulePage.
    std::vector<RulePageBase*> m_pages;
    RulePageAttributes* m_attributes = nullptr;
};

} // namespace quorvane
