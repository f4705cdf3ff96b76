// What the load of "Options.ini" makes of what it finds: the states that
// drive other controls, other spellings of the names, history lists, values
// out of range.
#include "platform/IniFile.h"
#include "shell/OptionsFixture.h"
#include "shell/RulePages.h"
#include "widgets/FloatingPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <climits>

namespace quorvane {
namespace {

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
    EXPECT_TRUE(Find<QRadioButton>(pages, "MFRB3")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(pages, "MFRB1")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(pages, "RB4")->isChecked());
    EXPECT_TRUE(Find<QComboBox>(pages, "cbCaseEXT")->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(pages, "rdbRemove")->isChecked());
    EXPECT_FALSE(Find<QLineEdit>(pages, "edTarget")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(pages, "ChkReadOnly")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(pages, "TBSelect")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(pages, "TbNo")->isEnabled());
    EXPECT_TRUE(Find<QDateEdit>(pages, "DateTimePicker1")->isEnabled());
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
         {Find<QRadioButton>(pages, "MFRB1"), Find<QRadioButton>(pages, "MFRB2"),
          Find<QRadioButton>(pages, "MFRB3"), Find<QRadioButton>(pages, "MFRB4"),
          Find<QRadioButton>(pages, "RB1"), Find<QRadioButton>(pages, "RB2"),
          Find<QRadioButton>(pages, "RB3"), Find<QRadioButton>(pages, "RB4"),
          Find<QRadioButton>(pages, "rdbReplace"), Find<QRadioButton>(pages, "rdbRemove")})
        EXPECT_FALSE(button->isChecked()) << button->objectName().toStdString();
    // The group still works as a group afterwards.
    Find<QRadioButton>(pages, "MFRB2")->setChecked(true);
    Find<QRadioButton>(pages, "MFRB3")->setChecked(true);
    EXPECT_FALSE(Find<QRadioButton>(pages, "MFRB2")->isChecked());
}

TEST_F(OptionsTest, TheLoadFindsKeysUnderEveryAcceptedSpelling) {
    // Other letter case and blanks around the names; the save's own spellings
    // of the keys the load reads differently.
    const auto window = StartWith("[MP3PANEL]\r\nTagCount=5\r\nFormat_4=%5\r\nCase=1\r\n"
                                  "[main]\r\nFavorite =/srv/\r\nFilter =*.txt\r\nFILTERCOUNT=13\r\n"
                                  "Filter_12=*.ogg\r\n"
                                  "[Emu]\r\nStartFromStr=007\r\n  ApplyTo  =1\r\n");
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "cbFormat")).last(), "%5");
    EXPECT_TRUE(Find<QCheckBox>(*window, "ChkCase")->isChecked());
    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText(), "/srv/");
    EXPECT_EQ(Find<QComboBox>(*window, "cbFilter")->currentText(), "*.txt");
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "cbFilter")).last(), "*.ogg");
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
    QStringList filters = ItemsOf(Find<QComboBox>(*window, "cbFilter"));
    ASSERT_EQ(filters.size(), 14);
    EXPECT_EQ(filters.mid(12), QStringList({"*.Flac", "*.wav"})) << "*.mp3 is built in as *.MP3";
    // The box was empty: it keeps the stored text instead of selecting an item.
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "cbFavorite")), QStringList({"/a/", "/b/"}));
    EXPECT_EQ(Find<QComboBox>(*window, "cbFavorite")->currentText(), "/typed/");
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "cbCaseEXT")).size(), 17);
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "cbCaseEXT")).last(), "webp");
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "cbExt")).last(), "dat");
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "meStartFrom")),
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
        EXPECT_EQ(ItemsOf(Find<QComboBox>(*window, "meStartFrom")), c.items) << c.file;
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

} // namespace
} // namespace quorvane
