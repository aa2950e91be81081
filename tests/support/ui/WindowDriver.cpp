#include "support/ui/WindowDriver.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
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
    for (QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(target, static_cast<char>(c.unicode()));
        } else { // QTest knows no key for most letters beyond ASCII: their key with its text
            const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
            QTest::sendKeyEvent(QTest::Press, target, key, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, target, key, QString(c), Qt::NoModifier);
        }
    }
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

bool closeWindow(QWidget* window) {
    QPointer<QWidget> alive(window);
    window->close();
    settle();
    return alive.isNull();
}

void retype(QWidget* control, const QString& text) {
    focusOn(control);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        ASSERT_NE(combo->lineEdit(), nullptr) << "a combo box that takes no typing";
        combo->lineEdit()->selectAll(); // Ctrl+A would reach the combo box's key handler
    } else {
        pressKey(Qt::Key_A, Qt::ControlModifier);
    }
    if (text.isEmpty())
        pressKey(Qt::Key_Delete);
    else
        typeText(text);
}

void click(QWidget* control) {
    ASSERT_TRUE(control->isEnabled()) << control->objectName().toStdString() << " is disabled";
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
    settle();
}

QStringList texts(const QWidget* window, const std::vector<const char*>& names) {
    QStringList out;
    for (const char* name : names) {
        QWidget* c = control(window, name);
        if (auto* e = qobject_cast<QLineEdit*>(c)) out << e->text();
        if (auto* m = qobject_cast<QComboBox*>(c)) out << m->currentText();
    }
    return out;
}

QString spokenName(QWidget* control) {
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
    return spoken ? spoken->text(QAccessible::Name) : QString();
}

} // namespace krvx::test
