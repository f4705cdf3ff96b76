#include "shell/RulePages.h"

#include "runs/AttributeRun.h"
#include "shell/OptionBinding.h"
#include "shell/RulePageAttributes.h"
#include "shell/RulePageCase.h"
#include "shell/RulePageDateTime.h"
#include "shell/RulePageDelete.h"
#include "shell/RulePageEnumeration.h"
#include "shell/RulePageInsert.h"
#include "shell/RulePageReplace.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quorvane {

RulePages::RulePages(QWidget* parent) : QWidget(parent) {
    setObjectName("RulePages");
    pgcGeneral = new QTabWidget(this);
    pgcGeneral->setObjectName("pgcGeneral");
    // All tabs stay in view; the page control is as wide as they are.
    pgcGeneral->tabBar()->setUsesScrollButtons(false);
    m_attributes = new RulePageAttributes;
    m_pages = {new RulePageCase, new RulePageInsert,      new RulePageDelete,  new RulePageReplace,
               m_attributes,     new RulePageEnumeration, new RulePageDateTime};
    for (RulePageBase* page : m_pages) {
        Q_ASSERT(TabIndexOf(page->Page()) == pgcGeneral->count());
        pgcGeneral->addTab(page, page->Title());
    }
    pgcGeneral->setCurrentIndex(TabIndexOf(RulePage::Case));
    // The page that comes up takes the keyboard focus in the box the user fills first.
    connect(pgcGeneral, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && index < int(m_pages.size()))
            m_pages[std::size_t(index)]->TakeFocus();
    });
    WatchPageControls();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pgcGeneral);
}

RulePages::~RulePages() {
    // The pages' controls are destroyed after this object has stopped being a
    // RulePages: their last signals must not reach its handlers.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

// Every way a user changes a rule: typing (also into the edit part of a spin
// or combo box), a tick, a choice from a list, a date or time. Example boxes
// only follow the others, so they are left out.
void RulePages::WatchPageControls() {
    for (int index = 0; index < pgcGeneral->count(); ++index) {
        QWidget* page = pgcGeneral->widget(index);
        const auto changed = [this, index] {
            if (pgcGeneral->currentIndex() == index)
                Q_EMIT RuleSettingsChanged();
        };
        for (QLineEdit* edit : page->findChildren<QLineEdit*>())
            if (!edit->isReadOnly())
                connect(edit, &QLineEdit::textChanged, this, changed);
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
            if (button->isCheckable())
                connect(button, &QAbstractButton::toggled, this, changed);
        for (QComboBox* box : page->findChildren<QComboBox*>())
            connect(box, &QComboBox::currentIndexChanged, this, changed);
        for (QDateTimeEdit* picker : page->findChildren<QDateTimeEdit*>())
            connect(picker, &QDateTimeEdit::dateTimeChanged, this, changed);
    }
    connect(pgcGeneral, &QTabWidget::currentChanged, this, &RulePages::RuleSettingsChanged);
}

RulePage RulePages::ActivePage() const {
    return RulePageAt(pgcGeneral->currentIndex());
}

void RulePages::SetClock(std::function<QDateTime()> clock) {
    for (RulePageBase* page : m_pages)
        page->SetClock(clock);
}

PreviewSettings RulePages::ReadPreviewSettings() const {
    PreviewSettings settings;
    settings.activePage = ActivePage();
    for (const RulePageBase* page : m_pages)
        page->ReadInto(settings);
    return settings;
}

void RulePages::ApplyRefills(const PreviewResult& result) {
    ApplyRefills(result.outcome);
}

void RulePages::ApplyRefills(const RuleOutcome& outcome) {
    for (RulePageBase* page : m_pages)
        page->ApplyRefills(outcome);
}

AttributeRunSettings RulePages::ReadAttributeRunSettings() const {
    return m_attributes->ReadAttributeRunSettings();
}

OptionBindings RulePages::BindOptions() {
    OptionBindings bindings;
    for (RulePageBase* page : m_pages) {
        OptionBindings part = page->BindOptions();
        bindings.insert(bindings.end(), part.begin(), part.end());
    }
    return bindings;
}

RulePageBase::RulePageBase(RulePage page, const QString& title, const char* objectName)
    : m_page(page), m_title(title) {
    setObjectName(objectName);
}

} // namespace quorvane
