// The window as a desktop starts it: the folder from the command line, the
// manual on F1 and in the Help menu, the program's own icon.
#include "shell/TMainForm.h"

#include "platform/Paths.h"
#include "shell/TAboutForm.h"
#include "shell/TSearchThread.h"
#include "support/MainWindow.h"
#include "support/TempDir.h"
#include "widgets/FileListModel.h"
#include "widgets/FileListView.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

#include "support/Find.h"
#include <memory>
#include <set>
#include <vector>

namespace quorvane {
namespace {

using test::Find;

using test::Names;
using test::TempDir;
using test::Window;

// Qt 6.4 hands file: addresses to a registered handler like any other scheme.
using FileUrlSpy = test::UrlSpy;

// A click into the list, as the user gives it the focus.
void FocusTheList(TMainForm& form) {
    form.show();
    QApplication::setActiveWindow(&form);
    QTest::mouseClick(Find<FileListView>(form, "ListView")->viewport(), Qt::LeftButton,
                      Qt::NoModifier, QPoint(5, 5));
}

TEST(Desktop, F1AndTheHelpMenuOpenTheManualsIndexPage) {
    const std::string manual = UserManualPath();
    ASSERT_FALSE(manual.empty()) << "no manual found from the build folder";
    const QUrl expected = QUrl::fromLocalFile(QString::fromStdString(manual));
    EXPECT_EQ(expected.fileName(), "index.html");

    Window window;
    TMainForm& form = window.form;
    FileUrlSpy spy({"file"});
    FocusTheList(form);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    ASSERT_EQ(spy.opened.size(), 1u);
    EXPECT_EQ(spy.opened[0], expected);

    // Help > "User &Manual": the Help button's menu, then the entry's access key.
    QTimer::singleShot(0, [] {
        if (QWidget* menu = QApplication::activePopupWidget())
            QTest::keyClick(menu, Qt::Key_M);
    });
    QTest::mouseClick(Find<QToolButton>(form, "TbHelp"), Qt::LeftButton);
    ASSERT_EQ(spy.opened.size(), 2u);
    EXPECT_EQ(spy.opened[1], expected);
}

TEST(Desktop, WithoutAManualF1DoesNothing) {
    const TempDir empty;
    Window window;
    TMainForm& form = window.form;
    form.SetManualFolder(empty.Path());
    FileUrlSpy spy({"file"});
    FocusTheList(form);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_TRUE(spy.opened.empty());
}

// No program takes the manual (offscreen, no URL handler): F1 shows it in a
// window of ours instead of doing nothing, and a second F1 raises that window.
TEST(Desktop, WhenNoProgramOpensTheManualF1ShowsItInOurOwnWindow) {
    ASSERT_FALSE(UserManualPath().empty()) << "no manual found from the build folder";
    Window window;
    TMainForm& form = window.form;
    for (int press = 0; press < 2; ++press) {
        FocusTheList(form);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    }
    const QList<QDialog*> windows = form.findChildren<QDialog*>("ManualWindow");
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    const auto* text = windows[0]->findChild<QTextBrowser*>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->documentTitle(), "Quorvane User Manual");
    EXPECT_TRUE(text->toPlainText().contains("Quorvane User Manual"));
    windows[0]->close();
}

TEST(Desktop, AFolderFromTheCommandLineIsListedInsteadOfTheStoredOne) {
    const TempDir stored;
    stored.Write("stored.txt");
    const TempDir given;
    given.Write("given-1.txt");
    given.Write("given-2.txt");
    const std::string gone = given.Path() + "gone/";
    struct Case {
        const char* what;
        std::string storedPath;
        std::string startFolder;
        std::set<std::string> listed;
        std::string pathBox;
    } cases[] = {
        {"both", stored.Path(), given.Path(), {"given-1.txt", "given-2.txt"}, given.Path()},
        {"argument only", "", given.Path(), {"given-1.txt", "given-2.txt"}, given.Path()},
        {"stored only", stored.Path(), "", {"stored.txt"}, stored.Path()},
        // A folder that went away after the arguments were read.
        {"argument gone", stored.Path(), gone, {"stored.txt"}, stored.Path()},
    };
    for (const Case& c : cases) {
        auto window = std::make_unique<Window>();
        TMainForm& form = window->form;
        window->settings.Write("Options.ini", "[Main]\nFavorite=" + c.storedPath + "\n");
        form.SetStartFolder(c.startFolder);
        ASSERT_TRUE(test::WaitForScan(form, [&] { form.show(); })) << c.what;
        EXPECT_EQ(Names(form), c.listed) << c.what;
        EXPECT_EQ(Find<QComboBox>(form, "cbFavorite")->currentText().toStdString(), c.pathBox)
            << c.what;
        EXPECT_EQ(Find<FolderTree>(form, "ShellTree")->SelectedPath(), c.pathBox) << c.what;
    }
}

TEST(Desktop, TheWindowAndTheAboutBoxShowTheProgramsOwnIcon) {
    Window window;
    const QIcon icon = window.form.windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48, 256})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    TAboutForm about;
    const QPixmap shown = about.Image1->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
              icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32));
}

} // namespace
} // namespace quorvane
