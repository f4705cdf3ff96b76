// "Options.ini" through the window: the first start, a save read back by the
// next start, the names the load reads, history lists, spin box bounds and a
// save that cannot write. Every window keeps its settings in a temporary folder.
#include "platform/IniFile.h"
#include "settings/OptionsTable.h"
#include "shell/MessageBoxes.h"
#include "shell/Mp3PanelControls.h"
#include "shell/RulePageParts.h"
#include "shell/RulePages.h"
#include "shell/TMainForm.h"
#include "shell/TSearchThread.h"
#include "support/Find.h"
#include "support/Input.h"
#include "support/MainWindow.h"
#include "support/TempDir.h"
#include "widgets/FloatingPanel.h"
#include "widgets/FolderTree.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace quorvane {
namespace {

using test::ControlShown;
using test::Find;

namespace fs = std::filesystem;
using test::Shell;
using test::TempDir;
using I = OptionId;

using test::ReadFile;

QStringList ItemTexts(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

std::vector<std::string> Strings(const QStringList& list) {
    std::vector<std::string> result;
    for (const QString& item : list)
        result.push_back(item.toStdString());
    return result;
}

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() {
        SetMessageHook([this](const MessageRequest& request) {
            m_messages.push_back(request.text);
            return MsgAnswer::Ok;
        });
    }
    ~OptionsTest() override { SetMessageHook({}); }

    // A window that keeps its settings in `folder`, shown (which loads them).
    std::unique_ptr<TMainForm> Start(const std::string& folder) {
        auto window = std::make_unique<TMainForm>();
        window->SetSettingsFolder(folder);
        window->show();
        return window;
    }
    std::unique_ptr<TMainForm> StartWith(const std::string& fileText) {
        m_dir.Write("Options.ini", fileText);
        return Start(m_dir.Path());
    }

    TempDir m_dir;
    QStringList m_messages;
};

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
    EXPECT_TRUE(pages.MFRB1->isChecked());
    EXPECT_TRUE(pages.RB1->isChecked());
    EXPECT_FALSE(pages.cbCaseEXT->isEnabled());
    EXPECT_TRUE(pages.rdbReplace->isChecked());
    EXPECT_FALSE(pages.rdbRemove->isChecked());
    EXPECT_FALSE(pages.chkAllSub->isChecked()); // ticked in the page's own built-in state
    EXPECT_EQ(pages.meindex->value(), 1);
    EXPECT_EQ(pages.edtIndex->value(), 1);
    EXPECT_EQ(pages.edtCount->value(), 0);
    EXPECT_EQ(pages.CBAlpha->currentText(), "Numerical(001)");
    EXPECT_EQ(pages.CBApplyTo->currentIndex(), 0);
    EXPECT_EQ(pages.meStartFrom->currentText(), "001");
    EXPECT_EQ(ItemTexts(pages.meStartFrom), QStringList({"1", "01", "001", "0001", "00001"}));
    EXPECT_EQ(pages.mestep->value(), 1);

    EXPECT_EQ(mp3.cbEmulation->currentText(), "001");
    EXPECT_EQ(mp3.cbFormat->currentText(), "%1 %3 %2");
    EXPECT_FALSE(mp3.ChkCase->isChecked());

    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText(), "");
    EXPECT_EQ(Find<QComboBox>(*window, "cbFilter")->currentText(), "*.*");
    EXPECT_FALSE(Find<QCheckBox>(*window, "TbIncludeSub")->isChecked());
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

// A state in which every key differs from its default (a radio button off in
// one variant is on in another), written as the save writes it.
std::map<OptionId, OptionValue> ChangedState(int variant, const TMainForm& fresh) {
    const bool odd = variant % 2 != 0;
    QStringList caseExt = ExtensionItems();
    caseExt << "webp";
    QStringList emuExt = ExtensionItems();
    emuExt << "dat";
    QStringList filters = ItemTexts(Find<QComboBox>(fresh, "cbFilter"));
    filters << "*.flac";
    QStringList formats = ItemTexts(Find<QComboBox>(fresh, "cbFormat"));
    formats << "%7 - %2";
    const QStringList starts{"A", "AA", "AAA", "AAAA", "AAAAA", "ZZ"};
    const QStringList folders{"/srv/music/", "/nonexistent/quorvane/"};
    auto count = [](const QStringList& list) { return long(list.size()); };

    return {
        {I::RenamePanelLeft, 210L},
        {I::RenamePanelTop, 190L},
        {I::RenamePanelVisible, false},
        {I::RenamePanelDown, false},
        {I::RenamePanelActiveIndex, 2L + variant},
        {I::Mp3PanelLeft, 160L},
        {I::Mp3PanelTop, 170L},
        {I::Mp3PanelVisible, true},
        {I::Mp3PanelDown, true},
        {I::CaseMFRB1, variant == 0},
        {I::CaseMFRB2, variant == 1},
        {I::CaseMFRB3, variant == 2},
        {I::CaseMFRB4, variant == 3},
        {I::CaseRB1, variant == 3},
        {I::CaseRB2, variant == 2},
        {I::CaseRB3, variant == 1},
        {I::CaseRB4, variant == 0},
        {I::CaseExtEnabled, true},
        {I::CaseExtText, std::string("webp")},
        {I::CaseExtCount, count(caseExt)},
        {I::CaseExtItems, Strings(caseExt)},
        {I::InsertText, std::string("pre_")},
        {I::InsertIndex, 7.0},
        {I::InsertFromEnd, true},
        {I::DeleteFromEnd, true},
        {I::DeleteIndex, 4.0},
        {I::DeleteCount, -3.0},
        {I::ReplaceSource, std::string("foo")},
        {I::ReplaceTarget, std::string(" bar ")},
        {I::ReplaceReplace, odd},
        {I::ReplaceRemove, !odd},
        {I::ReplaceAllOccurrences, true},
        {I::ReplaceRegularExpression, true},
        {I::AttrChangeAttr, true},
        {I::AttrSetTimeStamp, true},
        {I::AttrReadOnly, true},
        {I::AttrHidden, true},
        {I::AttrArchive, true},
        {I::AttrSystem, true},
        // Loaded after the boxes, so they may differ from what the ticks enabled.
        {I::AttrSelectEnabled, !odd},
        {I::AttrNoEnabled, true},
        {I::AttrTimeNowEnabled, !odd},
        {I::EmuTemplate, std::string("Img")},
        {I::EmuLast, std::string(" end")},
        {I::EmuStartFromText, std::string("AAA")},
        {I::EmuExtText, std::string("dat")},
        {I::EmuExtCount, count(emuExt)},
        {I::EmuStartFromIndex, -1L},
        {I::EmuStartFromCount, count(starts)},
        {I::EmuApplyTo, 1L},
        {I::EmuAlpha, 2L},
        {I::EmuStep, 5.0},
        {I::EmuStartFromItems, Strings(starts)},
        {I::EmuExtItems, Strings(emuExt)},
        {I::MainLeft, 120L},
        {I::MainTop, 60L},
        {I::MainWidth, 790L},
        {I::MainHeight, 560L},
        {I::MainFavoriteText, std::string("/nonexistent/quorvane/")},
        {I::MainFilterText, std::string("*.flac")},
        {I::MainDirCount, count(folders)},
        {I::MainFilterCount, count(filters)},
        {I::MainIncludeSub, true},
        {I::MainFavoriteItems, Strings(folders)},
        {I::MainFilterItems, Strings(filters)},
        {I::MainToolBarVisible, false},
        {I::MainFilterVisible, false},
        {I::MainFavoriteVisible, false},
        {I::MainIncludeSubVisible, false},
        {I::MainStatusBarVisible, false},
        {I::MainLivePreview, true},
        {I::Mp3Space, true},
        {I::Mp3Case, true},
        {I::Mp3AddPre, true},
        {I::Mp3FormatIndex, 2L},
        {I::Mp3SpaceIndex, 2L},
        {I::Mp3CaseIndex, 1L},
        {I::Mp3EmulationIndex, 3L},
        {I::Mp3FormatCount, count(formats)},
        {I::Mp3LastFormat, std::string("%7 - %2")},
        {I::Mp3FormatItems, Strings(formats)},
        {I::Mp3ReadId3v2, false},
    };
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
                  "[RenamePanel][MP3Panel][Case][Insert][Delete][Replace][Attr][Emu][Main]");
    }
    for (const OptionKey& key : OptionKeys())
        if (key.readAs) {
            EXPECT_TRUE(differedOnce.count(key.id)) << key.key << " never differs from its default";
        }
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(OptionsTest, TheLoadedStatesDriveTheDependentControls) {
    const auto window = StartWith("[Case]\r\nMFRB1=0\r\nMFRB3=1\r\nRB1=0\r\nRB4=1\r\nCaseEXT=1\r\n"
                                  "[Replace]\r\nReplace=0\r\nRemove=1\r\n"
                                  "[Attr]\r\nChangeAttr=1\r\nSelect=1\r\nNO=0\r\n"
                                  "ChkSetTimeStamp=1\r\nTimeNow=1\r\n"
                                  "[Mp3Panel]\r\nSpace=1\r\ncase=1\r\nAddPre=0\r\n"
                                  "visible=1\r\nDown=1\r\n"
                                  "[RenamePanel]\r\nvisible=0\r\nDown=0\r\n"
                                  "[Main]\r\nFavoriteVisible=0\r\nStatusBarVisible=0\r\n");
    const RulePages& pages = *Find<RulePages>(*window, "RulePages");
    EXPECT_TRUE(pages.MFRB3->isChecked());
    EXPECT_FALSE(pages.MFRB1->isChecked());
    EXPECT_TRUE(pages.RB4->isChecked());
    EXPECT_TRUE(pages.cbCaseEXT->isEnabled());
    EXPECT_TRUE(pages.rdbRemove->isChecked());
    EXPECT_FALSE(pages.edTarget->isEnabled());
    EXPECT_TRUE(pages.ChkReadOnly->isEnabled());
    EXPECT_TRUE(pages.TBSelect->isEnabled());
    EXPECT_FALSE(pages.TbNo->isEnabled());
    EXPECT_TRUE(pages.DateTimePicker1->isEnabled());
    EXPECT_TRUE(Find<QComboBox>(*window, "cbSpace")->isEnabled());
    EXPECT_TRUE(Find<QComboBox>(*window, "cbCase")->isEnabled());
    EXPECT_FALSE(Find<QComboBox>(*window, "cbEmulation")->isEnabled());

    // The panels and the View menu start from the loaded states, so the next
    // click flips the right way.
    EXPECT_FALSE(Find<FloatingPanel>(*window, "TB97Rename")->isVisible());
    EXPECT_TRUE(Find<FloatingPanel>(*window, "TB97Mp3")->isVisible());
    EXPECT_FALSE(Find<QAction>(*window, "FilesPanelsMenuItem")->isChecked());
    EXPECT_TRUE(Find<QAction>(*window, "MP3PanelsMenuItem")->isChecked());
    EXPECT_FALSE(Find<QAction>(*window, "PathMenuItem")->isChecked());
    EXPECT_FALSE(Find<QAction>(*window, "statusbarMenuItem")->isChecked());
    EXPECT_TRUE(Find<QAction>(*window, "FilterMenuItem")->isChecked());
    ASSERT_TRUE(test::Activate(window.get()));
    ASSERT_TRUE(test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbView"), {"PathMenuItem"}));
    EXPECT_TRUE(ControlShown(*window, "cbFavorite"));
    EXPECT_TRUE(Find<QAction>(*window, "PathMenuItem")->isChecked());
}

TEST_F(OptionsTest, APanelThatStartsHiddenOpensWhereItWasStored) {
    struct Case {
        const char* file;
        const char* button;
        const char* panel;
        QPoint stored;
    };
    const Case cases[] = {
        {"[MP3Panel]\r\nLeft=311\r\nTop=257\r\n", "TbRenameMp3", "TB97Mp3", QPoint(311, 257)},
        {"[RenamePanel]\r\nLeft=87\r\nTop=301\r\nvisible=0\r\nDown=0\r\n", "TbRenameFiles",
         "TB97Rename", QPoint(87, 301)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto window = StartWith(c.file);
        auto* panel = Find<FloatingPanel>(*window, c.panel);
        auto* button = Find<QToolButton>(*window, c.button);
        ASSERT_FALSE(panel->isVisible());
        ASSERT_TRUE(test::Activate(window.get()));
        test::ClickAt(button);
        ASSERT_TRUE(panel->isVisible());
        QCoreApplication::processEvents();
        EXPECT_EQ(panel->pos(), c.stored);
        EXPECT_EQ(panel->geometry().topLeft(), c.stored);
        // Hidden and shown again, it stays where it was.
        test::ClickAt(button);
        ASSERT_FALSE(panel->isVisible());
        test::ClickAt(button);
        EXPECT_EQ(panel->pos(), c.stored);
    }
}

TEST_F(OptionsTest, AllFalseRadioGroupsLoadWithNothingChosen) {
    const auto window = StartWith("[Case]\r\nMFRB1=0\r\nRB1=0\r\n[Replace]\r\nReplace=0\r\n");
    const RulePages& pages = *Find<RulePages>(*window, "RulePages");
    for (QRadioButton* button :
         {pages.MFRB1, pages.MFRB2, pages.MFRB3, pages.MFRB4, pages.RB1, pages.RB2, pages.RB3,
          pages.RB4, pages.rdbReplace, pages.rdbRemove})
        EXPECT_FALSE(button->isChecked()) << button->objectName().toStdString();
    // The group still works as a group afterwards.
    pages.MFRB2->setChecked(true);
    pages.MFRB3->setChecked(true);
    EXPECT_FALSE(pages.MFRB2->isChecked());
}

TEST_F(OptionsTest, TheLoadFindsKeysUnderEveryAcceptedSpelling) {
    // Other letter case and blanks around the names; the save's own spellings
    // of the keys the load reads differently.
    const auto window = StartWith("[MP3PANEL]\r\nTagCount=5\r\nFormat_4=%5\r\nCase=1\r\n"
                                  "[main]\r\nFavorite =/srv/\r\nFilter =*.txt\r\nFILTERCOUNT=13\r\n"
                                  "Filter_12=*.ogg\r\n"
                                  "[Emu]\r\nStartFromStr=007\r\n  ApplyTo  =1\r\n");
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "cbFormat")).last(), "%5");
    EXPECT_TRUE(Find<QCheckBox>(*window, "ChkCase")->isChecked());
    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText(), "/srv/");
    EXPECT_EQ(Find<QComboBox>(*window, "cbFilter")->currentText(), "*.txt");
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "cbFilter")).last(), "*.ogg");
    EXPECT_EQ(Find<QComboBox>(*window, "meStartFrom")->currentText(), "007");
    EXPECT_EQ(Find<QComboBox>(*window, "CBApplyTo")->currentIndex(), 1);
    EXPECT_EQ(Find<QLabel>(*window, "lblFileName")->text(), "FileName");
}

TEST_F(OptionsTest, HistoryListsSkipEmptyAndRepeatedItems) {
    const auto window = StartWith(
        "[Main]\r\nFilterCount=6\r\nFilter_0=*.mp3\r\nFilter_1=\r\nFilter_2=*.Flac\r\n"
        "Filter_3=*.FLAC\r\nFilter_4=*.wav\r\nDirCount=3\r\nFavorite_0=/a/\r\nFavorite_1=/A/\r\n"
        "Favorite_2=/b/\r\nFavorite=/typed/\r\n"
        "[Case]\r\nCaseEXTCount=2\r\nExt_0=GIF\r\nExt_1=webp\r\n"
        "[Emu]\r\nExtCount=1\r\nExt_0=dat\r\nStartFromCount=2\r\nStart_0=0001\r\nStart_1=9\r\n");
    QStringList filters = ItemTexts(Find<QComboBox>(*window, "cbFilter"));
    ASSERT_EQ(filters.size(), 14);
    EXPECT_EQ(filters.mid(12), QStringList({"*.Flac", "*.wav"})) << "*.mp3 is built in as *.MP3";
    // The box was empty: it keeps the stored text instead of selecting an item.
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "cbFavorite")), QStringList({"/a/", "/b/"}));
    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText(), "/typed/");
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "cbCaseEXT")).size(), 17);
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "cbCaseEXT")).last(), "webp");
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "cbExt")).last(), "dat");
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "meStartFrom")),
              QStringList({"1", "01", "001", "0001", "00001", "9"}));
    EXPECT_EQ(Find<QComboBox>(*window, "meStartFrom")->currentText(), "001");
}

TEST_F(OptionsTest, TheSerialKindChoosesTheStartValues) {
    struct Case {
        const char* file;
        QStringList items;
        const char* text;
    };
    const Case cases[] = {
        {"[Emu]\r\nAlpha=2\r\n", {"A", "AA", "AAA", "AAAA", "AAAAA"}, "A"},
        {"[Emu]\r\nAlpha=2\r\nStartFromStr=AAAA\r\n", {"A", "AA", "AAA", "AAAA", "AAAAA"}, "AAAA"},
        {"[Emu]\r\nAlpha=1\r\n", {"a", "aa", "aaa", "aaaa", "aaaaa"}, "a"},
        // No kind: the start text is not read.
        {"[Emu]\r\nAlpha=7\r\nStartFromStr=ZZZ\r\n", {}, "001"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.Write("Options.ini", c.file);
        const auto window = Start(dir.Path());
        EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "meStartFrom")), c.items) << c.file;
        EXPECT_EQ(Find<QComboBox>(*window, "meStartFrom")->currentText(), c.text) << c.file;
    }
}

TEST_F(OptionsTest, SpinBoxesAndIndexesAreHeldInRange) {
    struct Case {
        const char* value;
        int index; // meindex, bounds 1..50
        int count; // edtCount, no bounds of its own
    };
    const Case cases[] = {
        {"0", 1, 0},           {"2.6", 3, 3}, {"-5", 1, -5}, {"1e9", 50, 1000000000},
        {"1e30", 50, INT_MAX}, {"abc", 1, 0}, {"nan", 1, 0}, {"49.5", 50, 50},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.Write("Options.ini",
                  std::string("[Insert]\r\nindex=") + c.value + "\r\n[Delete]\r\nCount=" + c.value +
                      "\r\n[Emu]\r\nstep=" + c.value + "\r\n[Mp3Panel]\r\ncbSpace=" + c.value +
                      "\r\n[RenamePanel]\r\nActiveIndex=" + c.value + "\r\n");
        const auto window = Start(dir.Path());
        EXPECT_EQ(Find<QSpinBox>(*window, "meindex")->value(), c.index) << c.value;
        EXPECT_EQ(Find<QSpinBox>(*window, "mestep")->value(), c.index) << c.value;
        EXPECT_EQ(Find<QSpinBox>(*window, "edtCount")->value(), c.count) << c.value;
        const int page = Find<QTabWidget>(*window, "pgcGeneral")->currentIndex();
        EXPECT_TRUE(page >= 0 && page <= 5) << c.value;
        const int space = Find<QComboBox>(*window, "cbSpace")->currentIndex();
        EXPECT_TRUE(space >= -1 && space <= 2) << c.value;
    }
}

TEST_F(OptionsTest, AStoredIndexOutsideTheListSelectsNothing) {
    const auto window = StartWith("[Mp3Panel]\r\ncbCase=3\r\ncbEmulation=-1\r\ncbSpace=1\r\n");
    EXPECT_EQ(Find<QComboBox>(*window, "cbCase")->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>(*window, "cbEmulation")->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>(*window, "cbSpace")->currentIndex(), 1);
    window->SetSettingsFolder(m_dir.MakeDir("again"));
    window->SaveOptions();
    IniFile saved(window->SettingsPath());
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.ReadString("Mp3Panel", "cbCase", ""), "-1");
}

TEST_F(OptionsTest, AnOversizedWindowIsHeldWithinTheDesktop) {
    const auto window = StartWith("[Main]\r\nWidth=999999999\r\nHeight=99999999999999\r\n");
    const QSize desktop = window->screen()->availableVirtualSize();
    EXPECT_LE(window->width(), desktop.width());
    EXPECT_LE(window->height(), desktop.height());
}

TEST_F(OptionsTest, TheSaveKeepsWhatElseTheFileHolds) {
    const auto window =
        StartWith("; kept\r\n[Other]\r\nmine=1\r\n[Main]\r\nLeft=130\r\nextra=yes\r\n");
    Find<QLineEdit>(*window, "meSource")->setText("x");
    window->SaveOptions();
    IniFile saved(window->SettingsPath());
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.ReadString("Other", "mine", ""), "1");
    EXPECT_EQ(saved.ReadString("Main", "extra", ""), "yes");
    EXPECT_EQ(saved.ReadString("Main", "Left", ""), "130");
    EXPECT_EQ(saved.ReadString("Insert", "InsertStr", ""), "x");
    EXPECT_EQ(ReadFile(window->SettingsPath())
                  .rfind("; kept\r\n[Other]\r\nmine=1\r\n[Main]\r\nLeft=130\r\n", 0),
              0u);
}

TEST_F(OptionsTest, ASaveThatCannotWriteLeavesTheOldFileUnchanged) {
    const std::string old = "[Main]\r\nLeft=130\r\nTop=40\r\n";
    const std::string path = m_dir.Write("Options.ini", old);
    {
        const auto window = Start(m_dir.Path());
        Find<QLineEdit>(*window, "meSource")->setText("changed");
        ASSERT_TRUE(test::LockFolder(m_dir.Path()));
        window->SaveOptions();
        EXPECT_EQ(ReadFile(path), old);
        // The window's own end saves again and fails the same way.
    }
    EXPECT_EQ(ReadFile(path), old);
    test::UnlockFolder(m_dir.Path());
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1);

    // An immutable file in a writable folder: the rename over it fails.
    {
        const auto window = Start(m_dir.Path());
        Find<QLineEdit>(*window, "meSource")->setText("changed");
        if (!test::MakeImmutable(path))
            GTEST_SKIP() << "chattr +i refused: needs root and a file system with the flag";
        window->SaveOptions();
    }
    EXPECT_EQ(ReadFile(path), old);
    ASSERT_EQ(Shell("chattr -i '" + path + "'"), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(OptionsTest, AFileThatCannotBeReadIsNeitherAppliedNorReplaced) {
    // A folder in the file's place: opening works, reading fails.
    m_dir.MakeDir("Options.ini");
    m_dir.Write("Options.ini/inside", "x");
    {
        const auto window = Start(m_dir.Path());
        // The built-in state stays, which differs from the defaults here.
        EXPECT_TRUE(Find<QCheckBox>(*window, "chkAllSub")->isChecked());
        EXPECT_EQ(window->size(), QSize(667, 500).expandedTo(window->minimumSize()));
    }
    EXPECT_TRUE(fs::is_directory(m_dir.Path() + "Options.ini"));
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(OptionsTest, TheEndOfOneRunIsTheStartOfTheNext) {
    {
        const auto window = Start(m_dir.Path());
        ASSERT_TRUE(test::Activate(window.get()));
        ASSERT_TRUE(
            test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbView"), {"PathMenuItem"}));
        Find<QTabWidget>(*window, "pgcGeneral")->setCurrentIndex(3);
        Find<QLineEdit>(*window, "edTarget")->setText("new");
        test::ClickAt(Find<QToolButton>(*window, "TbRenameMp3"));
        Find<QComboBox>(*window, "cbFormat")->setEditText("%2 (%4)");
        ASSERT_TRUE(test::Reach(Find<QToolButton>(*window, "Image2")));
        test::ClickAt(Find<QToolButton>(*window, "Image2"));
        ASSERT_TRUE(test::Activate(window.get()));
        ASSERT_TRUE(
            test::ChooseFromMenuButton(Find<QToolButton>(*window, "TbFile"), {"ExitMenuItem"}));
    }
    ASSERT_TRUE(fs::exists(m_dir.Path() + "Options.ini"));
    const auto window = Start(m_dir.Path());
    EXPECT_FALSE(ControlShown(*window, "cbFavorite"));
    EXPECT_FALSE(Find<QAction>(*window, "PathMenuItem")->isChecked());
    EXPECT_TRUE(Find<QToolButton>(*window, "TbRenameMp3")->isChecked());
    EXPECT_FALSE(Find<QToolButton>(*window, "TbRenameFiles")->isChecked());
    EXPECT_TRUE(Find<FloatingPanel>(*window, "TB97Mp3")->isVisible());
    EXPECT_FALSE(Find<FloatingPanel>(*window, "TB97Rename")->isVisible());
    EXPECT_EQ(Find<QComboBox>(*window, "cbFilter")->currentText(), "*.mp3");
    EXPECT_EQ(Find<QTabWidget>(*window, "pgcGeneral")->currentIndex(), 3);
    EXPECT_EQ(Find<QLineEdit>(*window, "edTarget")->text(), "new");
    EXPECT_EQ(Find<QComboBox>(*window, "cbFormat")->currentText(), "%2 (%4)");
    EXPECT_EQ(ItemTexts(Find<QComboBox>(*window, "cbFormat")).count("%2 (%4)"), 1);
}

TEST_F(OptionsTest, ARestoredFolderIsScannedAtStart) {
    TempDir files;
    files.Write("song.mp3", "x");
    files.Write("note.txt", "y");
    auto window = std::make_unique<TMainForm>();
    window->SetSettingsFolder(m_dir.Path());
    m_dir.Write("Options.ini", "[Main]\r\nFavorite=" + files.Path() + "\r\n");
    ASSERT_TRUE(test::WaitForScan(*window, [&] { window->show(); }));
    EXPECT_EQ(Find<FolderTree>(*window, "ShellTree")->SelectedPath(), files.Path());
    EXPECT_EQ(Find<QLabel>(*window, "StatusPanel0")->text(), "Total files : 2");
}

TEST_F(OptionsTest, AMissingRestoredFolderStartsNoScan) {
    auto window = std::make_unique<TMainForm>();
    window->SetSettingsFolder(m_dir.Path());
    m_dir.Write("Options.ini", "[Main]\r\nFavorite=" + m_dir.Path() + "gone/\r\n");
    QSignalSpy done(Find<TSearchThread>(*window, "SearchThread"), &TSearchThread::SearchDone);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText().toStdString(),
              m_dir.Path() + "gone/");
    EXPECT_TRUE(Find<FolderTree>(*window, "ShellTree")->SelectedPath().empty());
    EXPECT_EQ(done.count(), 0);
}

} // namespace
} // namespace quorvane
