// "Options.ini" through the window: the first start and a save read back by
// the next start, key for key.
#include "platform/IniFile.h"
#include "settings/OptionsTable.h"
#include "shell/Mp3PanelControls.h"
#include "shell/OptionsFixture.h"
#include "shell/RulePageParts.h"
#include "shell/RulePages.h"
#include "widgets/FloatingPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <map>
#include <set>
#include <sstream>

namespace quorvane {
namespace {

using I = OptionId;

TEST_F(OptionsTest, FirstStartWithoutAFileTakesTheDefaults) {
    const auto window = Start(m_dir.Path());
    const RulePages& pages = *Find<RulePages>(*window, "RulePages");
    const Mp3PanelControls& mp3 = *Find<Mp3PanelControls>(*window, "Mp3PanelControls");

    EXPECT_EQ(window->SettingsPath(), m_dir.Path() + "Options.ini");
    EXPECT_EQ(window->pos(), QPoint(100, 36));
    EXPECT_EQ(window->size(), QSize(660, 500));
    EXPECT_TRUE(Find<FloatingPanel>(*window, "TB97Rename")->Shown());
    EXPECT_TRUE(Find<FloatingPanel>(*window, "TB97Rename")->isVisible());
    EXPECT_TRUE(Find<QToolButton>(*window, "TbRenameFiles")->isChecked());
    EXPECT_FALSE(Find<FloatingPanel>(*window, "TB97Mp3")->Shown());
    EXPECT_FALSE(Find<QToolButton>(*window, "TbRenameMp3")->isChecked());
    EXPECT_EQ(Find<FloatingPanel>(*window, "TB97Rename")->pos(), QPoint(192, 176));
    EXPECT_EQ(Find<FloatingPanel>(*window, "TB97Mp3")->pos(), QPoint(144, 152));

    EXPECT_EQ(pages.pgcGeneral->currentIndex(), 0);
    EXPECT_EQ(pages.pgcGeneral->tabText(0), "Case/Extension");
    EXPECT_TRUE(Find<QRadioButton>(pages, "MFRB1")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(pages, "RB1")->isChecked());
    EXPECT_FALSE(Find<QComboBox>(pages, "cbCaseEXT")->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(pages, "rdbReplace")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(pages, "rdbRemove")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(pages, "chkAllSub")
                     ->isChecked()); // ticked in the page's own built-in state
    EXPECT_EQ(Find<QSpinBox>(pages, "meindex")->value(), 1);
    EXPECT_EQ(Find<QSpinBox>(pages, "edtIndex")->value(), 1);
    EXPECT_EQ(Find<QSpinBox>(pages, "edtCount")->value(), 0);
    EXPECT_EQ(Find<QComboBox>(pages, "CBAlpha")->currentText(), "Numerical(001)");
    EXPECT_EQ(Find<QComboBox>(pages, "CBApplyTo")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>(pages, "meStartFrom")->currentText(), "001");
    EXPECT_EQ(ItemsOf(Find<QComboBox>(pages, "meStartFrom")),
              QStringList({"1", "01", "001", "0001", "00001"}));
    EXPECT_EQ(Find<QSpinBox>(pages, "mestep")->value(), 1);

    EXPECT_EQ(mp3.cbEmulation->currentText(), "001");
    EXPECT_EQ(mp3.cbFormat->currentText(), "%1 %3 %2");
    EXPECT_FALSE(mp3.ChkCase->isChecked());

    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText(), "");
    EXPECT_EQ(Find<QComboBox>(*window, "cbFilter")->currentText(), "*.*");
    EXPECT_FALSE(Find<QCheckBox>(*window, "TbIncludeSub")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(*window, "TbIncludeFolders")->isChecked());
    for (const char* control :
         {"ToolBarOperate", "StatusBar", "cbFavorite", "cbFilter", "TbIncludeSub"})
        EXPECT_TRUE(ControlShown(*window, control)) << control;
    for (QAction* entry :
         {Find<QAction>(*window, "ViewButtonMenuItem"), Find<QAction>(*window, "statusbarMenuItem"),
          Find<QAction>(*window, "PathMenuItem"), Find<QAction>(*window, "FilterMenuItem"),
          Find<QAction>(*window, "IncludeSubfoldersMenuItem"),
          Find<QAction>(*window, "FilesPanelsMenuItem")})
        EXPECT_TRUE(entry->isChecked()) << entry->text().toStdString();
    EXPECT_FALSE(Find<QAction>(*window, "MP3PanelsMenuItem")->isChecked());
    EXPECT_TRUE(m_messages.isEmpty());
}

// Ticks and states that are off by default and on in every variant of
// ChangedState (AttrNoEnabled is loaded after the boxes, so it may differ from
// what the ticks enabled).
const OptionId kOnInEveryVariant[] = {
    I::Mp3PanelVisible, I::Mp3PanelDown,      I::CaseExtEnabled,
    I::InsertFromEnd,   I::DeleteFromEnd,     I::ReplaceAllOccurrences,
    I::AttrChangeAttr,  I::AttrSetTimeStamp,  I::AttrReadOnly,
    I::AttrHidden,      I::AttrArchive,       I::AttrSystem,
    I::AttrNoEnabled,   I::MainIncludeSub,    I::Mp3Space,
    I::Mp3Case,         I::Mp3AddPre,         I::ReplaceRegularExpression,
    I::MainLivePreview, I::MainIncludeFolders};
// States that are on by default and off in every variant.
const OptionId kOffInEveryVariant[] = {
    I::RenamePanelVisible,   I::RenamePanelDown,     I::MainToolBarVisible,
    I::MainFilterVisible,    I::MainFavoriteVisible, I::MainIncludeSubVisible,
    I::MainStatusBarVisible, I::Mp3ReadId3v2,        I::DateUseModified};

// The other changed values that are the same in every variant.
const std::map<OptionId, OptionValue> kChangedInEveryVariant = {
    {I::RenamePanelLeft, 210L},
    {I::RenamePanelTop, 190L},
    {I::Mp3PanelLeft, 160L},
    {I::Mp3PanelTop, 170L},
    {I::CaseExtText, std::string("webp")},
    {I::InsertText, std::string("pre_")},
    {I::InsertIndex, 7.0},
    {I::DeleteIndex, 4.0},
    {I::DeleteCount, -3.0},
    {I::ReplaceSource, std::string("foo")},
    {I::ReplaceTarget, std::string(" bar ")},
    {I::EmuTemplate, std::string("Img")},
    {I::EmuLast, std::string(" end")},
    {I::EmuStartFromText, std::string("AAA")},
    {I::EmuExtText, std::string("dat")},
    {I::EmuStartFromIndex, -1L},
    {I::EmuApplyTo, 1L},
    {I::EmuAlpha, 2L},
    {I::EmuStep, 5.0},
    {I::DateFormat, std::string("%d.%m.%Y %%")},
    {I::DateSeparator, std::string(" - ")},
    {I::MainLeft, 120L},
    {I::MainTop, 60L},
    {I::MainWidth, 790L},
    {I::MainHeight, 560L},
    {I::MainFavoriteText, std::string("/nonexistent/quorvane/")},
    {I::MainFilterText, std::string("*.flac")},
    {I::Mp3FormatIndex, 2L},
    {I::Mp3SpaceIndex, 2L},
    {I::Mp3CaseIndex, 1L},
    {I::Mp3EmulationIndex, 3L},
    {I::Mp3LastFormat, std::string("%7 - %2")},
    {I::EditNamesWidth, 510L},
    {I::EditNamesHeight, 290L},
};

// A state in which every key differs from its default (a radio button off in
// one variant is on in another), written as the save writes it.
std::map<OptionId, OptionValue> ChangedState(int variant, const TMainForm& fresh) {
    const bool odd = variant % 2 != 0;
    QStringList caseExt = ExtensionItems();
    caseExt << "webp";
    QStringList emuExt = ExtensionItems();
    emuExt << "dat";
    QStringList filters = ItemsOf(Find<QComboBox>(fresh, "cbFilter"));
    filters << "*.flac";
    QStringList formats = ItemsOf(Find<QComboBox>(fresh, "cbFormat"));
    formats << "%7 - %2";
    const QStringList starts{"A", "AA", "AAA", "AAAA", "AAAAA", "ZZ"};
    const QStringList folders{"/srv/music/", "/nonexistent/quorvane/"};
    auto count = [](const QStringList& list) { return long(list.size()); };

    std::map<OptionId, OptionValue> state = kChangedInEveryVariant;
    for (const OptionId id : kOnInEveryVariant)
        state.emplace(id, true);
    for (const OptionId id : kOffInEveryVariant)
        state.emplace(id, false);
    state.insert({
        {I::RenamePanelActiveIndex, variant == 3 ? 6L : 2L + variant},
        {I::CaseMFRB1, variant == 0},
        {I::CaseMFRB2, variant == 1},
        {I::CaseMFRB3, variant == 2},
        {I::CaseMFRB4, variant == 3},
        {I::CaseRB1, variant == 3},
        {I::CaseRB2, variant == 2},
        {I::CaseRB3, variant == 1},
        {I::CaseRB4, variant == 0},
        {I::CaseExtCount, count(caseExt)},
        {I::CaseExtItems, Strings(caseExt)},
        {I::ReplaceReplace, odd},
        {I::ReplaceRemove, !odd},
        // Loaded after the boxes, so they may differ from what the ticks enabled.
        {I::AttrSelectEnabled, !odd},
        {I::AttrTimeNowEnabled, !odd},
        {I::DateSource, odd ? 1L : 2L},
        {I::DateBefore, variant == 0},
        {I::DateAfter, odd},
        {I::DateInstead, variant == 2},
        {I::EmuExtCount, count(emuExt)},
        {I::EmuStartFromCount, count(starts)},
        {I::EmuStartFromItems, Strings(starts)},
        {I::EmuExtItems, Strings(emuExt)},
        {I::MainDirCount, count(folders)},
        {I::MainFilterCount, count(filters)},
        {I::MainFavoriteItems, Strings(folders)},
        {I::MainFilterItems, Strings(filters)},
        {I::Mp3FormatCount, count(formats)},
        {I::Mp3FormatItems, Strings(formats)},
    });
    return state;
}

// The value of one key as a file holds it, in the form WriteOption takes.
OptionValue StoredValue(const IniFile& file, const OptionKey& key) {
    switch (key.type) {
    case OptionType::Integer:
        return file.ReadInteger(key.section, key.key, -12345);
    case OptionType::Boolean:
        return file.ReadString(key.section, key.key, "missing") == "1";
    case OptionType::Text:
        return file.ReadString(key.section, key.key, "<missing>");
    case OptionType::Number:
        return file.ReadFloat(key.section, key.key, -12345);
    case OptionType::HistoryItems: {
        const OptionKey& countKey = OptionKeyOf(key.countKey);
        std::vector<std::string> items;
        for (long i = 0; i < file.ReadInteger(countKey.section, countKey.key, 0); ++i)
            items.push_back(file.ReadString(key.section, key.key + std::to_string(i), "<missing>"));
        return items;
    }
    }
    return {};
}

OptionValue DefaultValue(const OptionKey& key) {
    const std::string text = key.defaultValue;
    switch (key.type) {
    case OptionType::Integer:
        return std::stol(text);
    case OptionType::Boolean:
        return text == "1";
    case OptionType::Text:
        return text;
    case OptionType::Number:
        return std::stod(text);
    case OptionType::HistoryItems:
        return std::vector<std::string>{};
    }
    return {};
}

std::string Describe(const OptionValue& value) {
    return std::visit(
        [](const auto& v) {
            std::ostringstream out;
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::vector<std::string>>) {
                for (const std::string& item : v)
                    out << "[" << item << "]";
            } else {
                out << v;
            }
            return out.str();
        },
        value);
}

TEST_F(OptionsTest, ASavedStateIsRestoredKeyForKey) {
    const auto fresh = Start(m_dir.MakeDir("fresh"));
    std::set<OptionId> differedOnce;
    for (int variant = 0; variant < 4; ++variant) {
        SCOPED_TRACE("variant " + std::to_string(variant));
        const auto state = ChangedState(variant, *fresh);
        // Driven by the table: a key without a changed value fails here.
        const std::string before = m_dir.MakeDir("before" + std::to_string(variant));
        IniFile written(before + "Options.ini");
        for (const OptionKey& key : OptionKeys()) {
            const auto value = state.find(key.id);
            ASSERT_NE(value, state.end())
                << "no changed value for " << key.section << "/" << key.key;
            if (key.readAs && value->second != DefaultValue(key))
                differedOnce.insert(key.id);
            WriteOption(written, key.id, value->second);
        }
        ASSERT_TRUE(written.Save());

        // Load into a window, save into an empty folder, compare.
        const auto window = Start(before);
        const std::string after = m_dir.MakeDir("after" + std::to_string(variant));
        window->SetSettingsFolder(after);
        // A key without a control, or a control read as another type, is
        // reported while saving.
        testing::internal::CaptureStderr();
        window->SaveOptions();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        IniFile saved(window->SettingsPath());
        ASSERT_TRUE(saved.Load());
        for (const OptionKey& key : OptionKeys()) {
            if (!key.readAs)
                continue; // written only: nothing loads it
            EXPECT_EQ(StoredValue(saved, key), state.at(key.id))
                << key.section << "/" << key.key << " saved as "
                << Describe(StoredValue(saved, key));
        }
        EXPECT_NE(saved.ReadString("Emu", "StartFromIndex", "<missing>"), "<missing>");
        // Nothing beyond the table, sections in their order.
        const std::string text = ReadFile(window->SettingsPath());
        std::string sections;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            if (!line.empty() && line.front() == '[')
                sections += line.substr(0, line.find(']') + 1);
        EXPECT_EQ(sections,
                  "[RenamePanel][MP3Panel][Case][Insert][Delete][Replace][Attr][Emu][Date][Main]"
                  "[EditNames]");
    }
    for (const OptionKey& key : OptionKeys())
        if (key.readAs) {
            EXPECT_TRUE(differedOnce.count(key.id)) << key.key << " never differs from its default";
        }
    EXPECT_TRUE(m_messages.isEmpty());
}

} // namespace
} // namespace quorvane
