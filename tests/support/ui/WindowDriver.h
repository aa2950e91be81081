#pragma once
// Driving real windows in tests: find controls by name, activate a window,
// move the focus and type as a user would.

#include <QApplication>
#include <QString>
#include <QStringList>
#include <vector>
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

// Types text key by key into the focused control (umlauts too).
void typeText(const QString& text);

// One key press and release on the focused control.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Lets queued events run (deferred deletes included).
void settle();

// Closes the window as its close button does and lets the events run; true
// when the window is gone.
bool closeWindow(QWidget* window);

// Replaces the text of a box or an editable combo box as a user does: focuses
// it, selects its whole text and types the new text over it (Delete when the
// new text is empty).
void retype(QWidget* control, const QString& text);
inline void retype(const QWidget* window, const char* name, const QString& text) {
    retype(control(window, name), text);
}

// A left click near the left edge of an enabled button, check box or option
// (where a check box's or option's mark is), then the events it raised.
void click(QWidget* control);
inline void click(const QWidget* window, const char* name) {
    click(control(window, name));
}

// The texts that the named boxes (or combo boxes) of the window show, in order.
QStringList texts(const QWidget* window, const std::vector<const char*>& names);

// What a screen reader announces as the control's name.
QString spokenName(QWidget* control);

} // namespace krvx::test
