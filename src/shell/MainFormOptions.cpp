// Loading and saving "Options.ini": the window's own controls bound to their
// options, then the rule pages' and the MP3 panel's, in the order the load
// sets them.
#include "shell/TMainForm.h"

#include "platform/IniFile.h"
#include "shell/Mp3PanelControls.h"
#include "shell/OptionBinding.h"
#include "shell/RulePages.h"
#include "widgets/FloatingPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <optional>

namespace quorvane {

namespace {

using I = OptionId;

int ToInt(long value) {
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// A stored size held within the desktop: a damaged or foreign file must not
// ask for a window larger than every screen together.
int WithinDesktop(long size, const QWidget& window, int (QSize::*extent)() const) {
    QSize limit(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const QScreen* screen = window.screen())
        limit = screen->availableVirtualSize().expandedTo(QSize(1, 1));
    return static_cast<int>(std::clamp<long>(size, 1, (limit.*extent)()));
}

// The left and top edges of a window or a floating panel.
OptionBindings BindPosition(I left, I top, QWidget* window) {
    return {
        BindInteger(
            left, [window] { return long{window->x()}; },
            [window](long x) { window->move(ToInt(x), window->y()); }),
        BindInteger(
            top, [window] { return long{window->y()}; },
            [window](long y) { window->move(window->x(), ToInt(y)); }),
    };
}

OptionBinding BindPanelShown(I option, FloatingPanel* panel) {
    return BindBoolean(
        option, [panel] { return panel->Shown(); },
        [panel](bool shown) { panel->SetShown(shown); });
}

// "Options.ini" as it stands; none before the first show built its path. A
// file that cannot be read is neither applied nor, at the end, replaced by
// one holding only our keys.
std::optional<IniFile> ReadSettingsFile(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    IniFile file(path);
    if (!file.Load())
        return std::nullopt;
    return file;
}

} // namespace

OptionBinding TMainForm::BindControlShown(OptionId option, QWidget* control) {
    return BindBoolean(
        option, [this, control] { return ControlShown(control); },
        [this, control](bool shown) { SetControlShown(control, shown); });
}

OptionBindings TMainForm::BindPanelOptions() {
    QTabWidget* pages = Pages->pgcGeneral;
    // A page control always shows a page: an index outside the pages leaves
    // the page that is showing.
    const OptionBinding activePage = BindInteger(
        I::RenamePanelActiveIndex, [pages] { return long{pages->currentIndex()}; },
        [pages](long page) {
            if (page >= 0 && page < pages->count())
                pages->setCurrentIndex(int(page));
        });
    OptionBindings bindings = BindPosition(I::RenamePanelLeft, I::RenamePanelTop, TB97Rename);
    OptionBindings mp3 = BindPosition(I::Mp3PanelLeft, I::Mp3PanelTop, TB97Mp3);
    bindings.insert(bindings.end(), {activePage, BindPanelShown(I::RenamePanelVisible, TB97Rename),
                                     BindTick(I::RenamePanelDown, TbRenameFiles)});
    mp3.insert(mp3.end(), {BindPanelShown(I::Mp3PanelVisible, TB97Mp3),
                           BindTick(I::Mp3PanelDown, TbRenameMp3)});
    bindings.insert(bindings.end(), mp3.begin(), mp3.end());
    return bindings;
}

OptionBindings TMainForm::BindMainOptions() {
    OptionBindings bindings = BindPosition(I::MainLeft, I::MainTop, this);
    bindings.insert(
        bindings.end(),
        {
            BindInteger(
                I::MainWidth, [this] { return long{width()}; },
                [this](long size) { resize(WithinDesktop(size, *this, &QSize::width), height()); }),
            BindInteger(
                I::MainHeight, [this] { return long{height()}; },
                [this](long size) { resize(width(), WithinDesktop(size, *this, &QSize::height)); }),
            BindTick(I::MainIncludeSub, TbIncludeSub),
            BindTick(I::MainIncludeFolders, TbIncludeFolders),
            BindText(I::MainFavoriteText, cbFavorite),
            BindText(I::MainFilterText, cbFilter),
            BindCount(I::MainFilterCount, cbFilter),
            BindItems(I::MainFilterItems, cbFilter),
            BindCount(I::MainDirCount, cbFavorite),
            BindItems(I::MainFavoriteItems, cbFavorite),
            BindControlShown(I::MainToolBarVisible, ToolBarOperate),
            BindControlShown(I::MainFilterVisible, cbFilter),
            BindControlShown(I::MainFavoriteVisible, cbFavorite),
            BindControlShown(I::MainIncludeSubVisible, TbIncludeSub),
            BindControlShown(I::MainStatusBarVisible, StatusBar),
            BindBoolean(
                I::MainLivePreview, [this] { return mmiLivePreview->isChecked(); },
                [this](bool on) { mmiLivePreview->setChecked(on); }),
            // The show and hide commands flip states, so their check marks must
            // start from the states just loaded.
            Reaction([this] { SyncViewMenu(); }),
            // The "Edit New Names" window is made for each showing; the
            // window keeps its size in between.
            BindInteger(
                I::EditNamesWidth, [this] { return long{m_editNamesSize.width()}; },
                [this](long size) {
                    m_editNamesSize.setWidth(WithinDesktop(size, *this, &QSize::width));
                }),
            BindInteger(
                I::EditNamesHeight, [this] { return long{m_editNamesSize.height()}; },
                [this](long size) {
                    m_editNamesSize.setHeight(WithinDesktop(size, *this, &QSize::height));
                }),
        });
    return bindings;
}

OptionBindings TMainForm::BindOptions() {
    OptionBindings bindings;
    for (OptionBindings part :
         {BindPanelOptions(), Pages->BindOptions(), Mp3Controls->BindOptions(), BindMainOptions()})
        bindings.insert(bindings.end(), part.begin(), part.end());
    return bindings;
}

void TMainForm::SyncViewMenu() {
    ViewButtonMenuItem->setChecked(ControlShown(ToolBarOperate));
    statusbarMenuItem->setChecked(ControlShown(StatusBar));
    PathMenuItem->setChecked(ControlShown(cbFavorite));
    FilterMenuItem->setChecked(ControlShown(cbFilter));
    IncludeSubfoldersMenuItem->setChecked(ControlShown(TbIncludeSub));
    FilesPanelsMenuItem->setChecked(TbRenameFiles->isChecked());
    MP3PanelsMenuItem->setChecked(TbRenameMp3->isChecked());
}

void TMainForm::LoadOptions() {
    if (const std::optional<IniFile> file = ReadSettingsFile(m_settingsPath))
        ApplyOptions(m_options, StoredOptions(*file));
}

void TMainForm::SaveOptions() {
    // Keys are replaced in the existing file, so whatever else it holds
    // stays.
    std::optional<IniFile> file = ReadSettingsFile(m_settingsPath);
    if (!file)
        return;
    WriteOptions(m_options, *file);
    // Atomic: a save that cannot write leaves the previous file whole.
    // A settings file that cannot be written is passed over in silence.
    static_cast<void>(file->Save());
}

} // namespace quorvane
