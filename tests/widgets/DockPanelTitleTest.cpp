#include "widgets/DockPanelTitle.h"
#include "widgets/HyperlinkLabel.h"

#include "support/Input.h"

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
    ASSERT_TRUE(test::Activate(&window));
    panel->setFloating(true);
    ASSERT_TRUE(panel->isFloating());
    ASSERT_TRUE(test::Activate(panel));
    test::DoubleClickAt(title, QPoint(10, title->height() / 2));
    EXPECT_FALSE(panel->isFloating());
    // Docked already: a double click leaves it docked.
    test::DoubleClickAt(title, QPoint(10, title->height() / 2));
    EXPECT_FALSE(panel->isFloating());
}

TEST(DockPanelTitle, CloseButtonIsReported) {
    QDockWidget panel("Panel");
    panel.setObjectName("Panel");
    auto* title = new DockPanelTitle(&panel);
    panel.setTitleBarWidget(title);
    ASSERT_TRUE(test::Activate(&panel));
    QSignalSpy closed(title, &DockPanelTitle::CloseClicked);
    test::ClickAt(title->CloseButton());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(title->CloseButton()->objectName(), "PanelClose");
}

TEST(HyperlinkLabel, ClickAndKeyboardBothFollowTheLink) {
    HyperlinkLabel link("https://example.org/");
    link.resize(200, 20);
    ASSERT_TRUE(test::Activate(&link));
    QSignalSpy clicked(&link, &HyperlinkLabel::clicked);
    test::ClickAt(&link);
    test::ClickAt(&link, {}, Qt::RightButton);
    ASSERT_EQ(test::FocusByTab(&link), &link);
    test::PressKey(Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 2);
}

} // namespace
} // namespace quorvane
