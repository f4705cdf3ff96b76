#pragma once
// Input the way the platform delivers it. Focus is given as a click or Tab
// would give it; keys go to whatever widget then holds the focus (a combo box
// is its line edit's focus proxy, so the combo gets them first); mouse events
// enter through the window system at a point of a window, so Qt itself finds
// the widget under the point and synthesises enter and leave events.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QRadioButton>
#include <QStackedWidget>
#include <QString>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <string>
#include <vector>

namespace quorvane::test {

// Lets the event loop reach its next idle moment, where the window decides
// the availability of its commands again.
inline void ReachIdle() {
    QCoreApplication::processEvents();
}

// Shows a top-level window and makes it the active one, as a click on it would.
inline bool Activate(QWidget* window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

inline std::string NameOf(const QObject* object) {
    return object ? object->objectName().toStdString() : std::string("(none)");
}

// Mouse events at `pos` of `widget` (its centre when null), entering through
// the window that holds it.
inline QWindow* WindowOf(QWidget* widget) {
    QWidget* top = widget->window();
    if (!top->windowHandle())
        top->winId();
    return top->windowHandle();
}

inline QPoint WindowPoint(QWidget* widget, QPoint pos) {
    if (pos.isNull())
        pos = widget->rect().center();
    return widget->mapTo(widget->window(), pos);
}

inline void ClickAt(QWidget* widget, QPoint pos = {}, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(WindowOf(widget), button, modifiers, WindowPoint(widget, pos));
}

inline void DoubleClickAt(QWidget* widget, QPoint pos = {}) {
    QTest::mouseDClick(WindowOf(widget), Qt::LeftButton, Qt::NoModifier, WindowPoint(widget, pos));
}

// The pointer comes into the widget from elsewhere in its window, so Qt
// sees it cross the widget's edge (as it sees a real pointer do).
inline void MoveMouseTo(QWidget* widget, QPoint pos = {}) {
    const QPoint elsewhere(1, 1);
    if (widget->window()->childAt(elsewhere) != widget)
        QTest::mouseMove(WindowOf(widget), elsewhere);
    QTest::mouseMove(WindowOf(widget), WindowPoint(widget, pos));
}

// Gives the widget the focus as Tab does and reports who holds it then.
inline QWidget* FocusByTab(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    return QApplication::focusWidget();
}

// Where the keyboard's keys arrive: the focus widget, or the active window
// itself when nothing in it has the focus.
inline QWidget* KeyReceiver() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : QApplication::activeWindow();
}

// A key pressed and released.
inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QWidget* receiver = KeyReceiver())
        QTest::keyClick(receiver, key, modifiers);
}

inline void TypeText(const QString& text) {
    if (QWidget* receiver = KeyReceiver())
        QTest::keyClicks(receiver, text);
}

// Brings the pages that hold `widget` to the front by clicking their tabs.
inline void BringPageToFront(QWidget* widget) {
    std::vector<std::pair<QTabWidget*, QWidget*>> pages;
    for (QWidget *child = widget, *parent = widget->parentWidget(); parent;
         child = parent, parent = parent->parentWidget())
        if (qobject_cast<QStackedWidget*>(parent))
            if (auto* tabs = qobject_cast<QTabWidget*>(parent->parentWidget()))
                pages.emplace_back(tabs, child);
    for (auto it = pages.rbegin(); it != pages.rend(); ++it) {
        QTabBar* bar = it->first->tabBar();
        const int index = it->first->indexOf(it->second);
        if (index >= 0 && index != it->first->currentIndex())
            ClickAt(bar, bar->tabRect(index).center());
    }
}

// Makes a control reachable as a user sees it: its window shown and active,
// its page in front. True when it can be seen then.
inline bool Reach(QWidget* widget) {
    if (!Activate(widget->window()))
        return false;
    BringPageToFront(widget);
    return widget->isVisible();
}

// Clicks a button where a user would: a check or radio button on its box.
inline void ClickButton(QAbstractButton* button) {
    QPoint at = button->rect().center();
    if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
        at.setX(qMin(8, button->width() / 2));
    ClickAt(button, at);
}

// A click on a column header, at the middle of the section.
inline void ClickHeaderSection(QHeaderView* header, int section) {
    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    ClickAt(header->viewport(), QPoint(x, header->viewport()->height() / 2));
}

// The centre of one row's first cell in an item view's viewport.
inline QPoint RowPoint(QAbstractItemView* view, const QModelIndex& index) {
    return view->visualRect(index).center();
}

// Waits for a pop-up menu other than `previous` to open.
inline QMenu* WaitForPopup(QWidget* previous = nullptr) {
    QMenu* menu = nullptr;
    const bool opened = QTest::qWaitFor([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu && menu != previous && menu->isVisible();
    });
    return opened ? menu : nullptr;
}

inline QAction* EntryNamed(QMenu* menu, const QString& name) {
    for (QAction* entry : menu->actions())
        if (entry->objectName() == name || (entry->menu() && entry->menu()->objectName() == name))
            return entry;
    return nullptr;
}

// Walks an open pop-up menu with the mouse: each name but the last opens a
// submenu, the last entry is clicked. Records what went wrong in `missing`.
inline void ClickThroughOpenMenu(const std::vector<QString>& path, QString* missing) {
    QMenu* menu = WaitForPopup();
    for (std::size_t i = 0; i < path.size(); ++i) {
        QAction* entry = menu ? EntryNamed(menu, path[i]) : nullptr;
        if (!entry || !entry->isVisible()) {
            *missing = path[i];
            if (menu)
                menu->close();
            while (QApplication::activePopupWidget())
                QApplication::activePopupWidget()->close();
            return;
        }
        const QPoint centre = menu->actionGeometry(entry).center();
        MoveMouseTo(menu, centre);
        ClickAt(menu, centre);
        if (i + 1 < path.size())
            menu = WaitForPopup(menu);
    }
}

// Opens the menu of a menu button with a click and clicks the entry at the
// end of `path` (entry object names, submenus on the way). True when every
// entry was found and clicked; a disabled entry is clicked too, so the caller
// sees that nothing happened.
inline bool ChooseFromMenuButton(QToolButton* button, const std::vector<QString>& path) {
    QString missing;
    bool walked = false;
    // The button opens its menu modally while the click is being handled.
    QTimer::singleShot(0, [&] {
        ClickThroughOpenMenu(path, &missing);
        walked = true;
    });
    ClickAt(button);
    return QTest::qWaitFor([&] { return walked; }) && missing.isEmpty();
}

// Opens a widget's context menu with a right click at `pos` and clicks the entry.
inline bool ChooseFromContextMenu(QWidget* widget, QPoint pos, const std::vector<QString>& path) {
    ClickAt(widget, pos, Qt::RightButton);
    QString missing;
    ClickThroughOpenMenu(path, &missing);
    return missing.isEmpty();
}

} // namespace quorvane::test
