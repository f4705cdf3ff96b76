#include "shell/TSearchForm.h"

#include "support/Input.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

template <typename T> T* Child(QWidget& form, const char* name) {
    T* child = form.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(TSearchForm, LooksAsDocumented) {
    TSearchForm form;
    form.show();

    EXPECT_EQ(form.objectName(), "SearchForm");
    EXPECT_EQ(form.windowTitle(), "Searching Files..");
    EXPECT_EQ(form.size(), QSize(356, 79));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(form.frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());

    QFrame* panel = Child<QFrame>(form, "PanelMain");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), form.rect());
    EXPECT_EQ(panel->frameShadow(), QFrame::Raised);
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(250, 255, 232));

    BusyIndicator* animation = Child<BusyIndicator>(form, "Animate1");
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->geometry(), QRect(13, 13, 16, 16));
    EXPECT_TRUE(animation->IsSpinning());

    QLabel* label = Child<QLabel>(form, "Label1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Searching Files,Please wait..");
    EXPECT_EQ(label->pos(), QPoint(104, 40));

    QPushButton* cancel = Child<QPushButton>(form, "BtnCancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel[&C]");
    EXPECT_EQ(cancel->geometry(), QRect(256, 40, 89, 33));
    EXPECT_TRUE(cancel->isDefault());

    form.hide();
    EXPECT_FALSE(animation->IsSpinning());
}

TEST(TSearchForm, EveryWayOfCancellingEmitsOneRequestAndKeepsTheWindow) {
    struct Case {
        const char* what;
        std::function<void(TSearchForm&)> act;
    };
    const Case cases[] = {
        {"click",
         [](TSearchForm& form) { test::ClickAt(form.findChild<QPushButton*>("BtnCancel")); }},
        {"Esc", [](TSearchForm&) { test::PressKey(Qt::Key_Escape); }},
        {"Enter", [](TSearchForm&) { test::PressKey(Qt::Key_Return); }},
        {"Alt+C", [](TSearchForm&) { test::PressKey(Qt::Key_C, Qt::AltModifier); }},
        {"Space", [](TSearchForm&) { test::PressKey(Qt::Key_Space); }},
    };
    for (const Case& c : cases) {
        TSearchForm form;
        ASSERT_TRUE(test::Activate(&form)) << c.what;
        // The keys go wherever the focus is in the shown window: its button.
        ASSERT_EQ(QApplication::focusWidget(), form.findChild<QPushButton*>("BtnCancel"))
            << c.what << ": " << test::NameOf(QApplication::focusWidget());
        QSignalSpy cancelled(&form, &TSearchForm::CancelRequested);
        c.act(form);
        if (cancelled.isEmpty())
            cancelled.wait(5000); // a mnemonic clicks the button a moment later
        EXPECT_EQ(cancelled.count(), 1) << c.what;
        EXPECT_TRUE(form.isVisible()) << c.what << ": the window stays until the scan ends";
    }
}

TEST(TSearchForm, DeletesItselfWhenClosed) {
    QPointer<TSearchForm> form = new TSearchForm;
    form->show();
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

} // namespace
} // namespace quorvane
