#include "widgets/DockPanelTitle.h"
#include "widgets/HyperlinkLabel.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(DockPanelTitle, DoubleClickDocksAFloatingPanel) {
    QMainWindow window;
    auto* panel = new QDockWidget("Panel", &window);
    panel->setObjectName("Panel");
    auto* title = new DockPanelTitle(panel);
    panel->setTitleBarWidget(title);
    window.addDockWidget(Qt::BottomDockWidgetArea, panel);
    window.show();
    panel->setFloating(true);
    ASSERT_TRUE(panel->isFloating());
    QTest::mouseDClick(title, Qt::LeftButton);
    EXPECT_FALSE(panel->isFloating());
    // Docked already: a double click leaves it docked.
    QTest::mouseDClick(title, Qt::LeftButton);
    EXPECT_FALSE(panel->isFloating());
}

TEST(DockPanelTitle, CloseButtonIsReported) {
    QDockWidget panel("Panel");
    panel.setObjectName("Panel");
    auto* title = new DockPanelTitle(&panel);
    QSignalSpy closed(title, &DockPanelTitle::CloseClicked);
    title->CloseButton()->click();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(title->CloseButton()->objectName(), "PanelClose");
}

TEST(HyperlinkLabel, ClickAndKeyboardBothFollowTheLink) {
    HyperlinkLabel link("https://example.org/");
    link.resize(200, 20);
    QSignalSpy clicked(&link, &HyperlinkLabel::clicked);
    QTest::mouseClick(&link, Qt::LeftButton);
    QTest::mouseClick(&link, Qt::RightButton);
    QTest::keyClick(&link, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 2);
}

} // namespace
} // namespace quorvane
