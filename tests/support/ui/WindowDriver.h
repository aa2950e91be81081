#pragma once
// Driving real windows in tests: find controls by name, activate a window,
// move the focus and type as a user would.

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace krvx::test {

// The child control of that objectName; fails the test when it is missing.
template <class T = QWidget>
T* control(const QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

// Shows the window and waits until it is active, so focus events arrive.
void activate(QWidget* window);

// Gives the control the focus as a Tab or a mouse click would (raising the
// lost-focus event of the control that had it).
void focusOn(QWidget* control);

// Types text key by key into the focused control.
void typeText(const QString& text);

// One key press and release on the focused control.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Lets queued events run (deferred deletes included).
void settle();

// Focuses the box, selects its whole text and types text over it.
void retype(QWidget* control, const QString& text);

// What a screen reader announces as the control's name.
QString spokenName(QWidget* control);

} // namespace krvx::test
