#include "support/ui/WindowDriver.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QEvent>

namespace krvx::test {

void activate(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << "window did not become active";
}

void focusOn(QWidget* control) {
    QWidget* window = control->window();
    if (QApplication::activeWindow() != window) activate(window);
    control->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}

void typeText(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "no control has the focus";
    QTest::keyClicks(target, text);
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "no control has the focus";
    QTest::keyClick(target, key, modifiers);
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void retype(QWidget* control, const QString& text) {
    focusOn(control);
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeText(text);
}

QString spokenName(QWidget* control) {
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
    return spoken ? spoken->text(QAccessible::Name) : QString();
}

} // namespace krvx::test
