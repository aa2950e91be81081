#include "common/ui/FormEvents.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "common/ui/Controls.h"

namespace krvx {

namespace {

// Activation changes (another window, a message box, a popup) are not focus
// changes of the form; nor is the focus that a read-only box takes for
// copying (the box stands for a disabled one, which never had the focus).
bool countsAsFocusChange(const QWidget* control, const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason &&
           !isReadOnlyBox(control);
}

class EventHook : public QObject {
public:
    using Test = std::function<bool(QEvent*)>;
    EventHook(QObject* parent, OncePerActionMessages& messages, Test test, std::function<void(QEvent*)> handler)
        : QObject(parent), messages_(messages), test_(std::move(test)), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && test_(event)) {
            UserAction action(messages_);
            handler_(event);
        }
        return false;
    }

private:
    OncePerActionMessages& messages_;
    Test test_;
    std::function<void(QEvent*)> handler_;
};

void hook(QWidget* control, OncePerActionMessages& messages, EventHook::Test test,
          std::function<void(QEvent*)> handler) {
    control->installEventFilter(new EventHook(control, messages, std::move(test), std::move(handler)));
}

} // namespace

void onLostFocus(QWidget* control, OncePerActionMessages& messages, std::function<void()> handler) {
    hook(
        control, messages,
        [control](QEvent* e) {
            return e->type() == QEvent::FocusOut && countsAsFocusChange(control, static_cast<QFocusEvent*>(e));
        },
        [handler = std::move(handler)](QEvent*) { handler(); });
}

void onGotFocus(QWidget* control, OncePerActionMessages& messages, std::function<void()> handler) {
    hook(
        control, messages,
        [control](QEvent* e) {
            return e->type() == QEvent::FocusIn && countsAsFocusChange(control, static_cast<QFocusEvent*>(e));
        },
        [handler = std::move(handler)](QEvent*) { handler(); });
}

void onKeyReleased(QComboBox* combo, OncePerActionMessages& messages, std::function<void(int)> handler) {
    hook(
        combo, messages,
        [](QEvent* e) { return e->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(e)->isAutoRepeat(); },
        [handler = std::move(handler)](QEvent* e) { handler(virtualKeyCode(static_cast<QKeyEvent*>(e)->key())); });
}

int virtualKeyCode(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Meta:
        return 91;
    // German keyboard punctuation and umlauts (the OEM keys).
    case Qt::Key_Udiaeresis:
        return 186;
    case Qt::Key_Plus:
    case Qt::Key_Asterisk:
        return 187;
    case Qt::Key_Comma:
    case Qt::Key_Semicolon:
        return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return 189;
    case Qt::Key_Period:
    case Qt::Key_Colon:
        return 190;
    case Qt::Key_NumberSign:
    case Qt::Key_Apostrophe:
        return 191;
    case Qt::Key_Odiaeresis:
        return 192;
    case Qt::Key_ssharp:
    case Qt::Key_Question:
        return 219;
    case Qt::Key_AsciiCircum:
        return 220;
    case Qt::Key_Adiaeresis:
        return 222;
    case Qt::Key_Less:
    case Qt::Key_Greater:
    case Qt::Key_Bar:
        return 226;
    default:
        break;
    }
    // Any other character key types text: give it a code that counts as typing.
    if (key >= Qt::Key_Space && key <= Qt::Key_ydiaeresis) return 229;
    return 0;
}

void onChange(QLineEdit* box, OncePerActionMessages& messages, std::function<void()> handler) {
    QObject::connect(box, &QLineEdit::textChanged, box, [&messages, handler = std::move(handler)](const QString&) {
        UserAction action(messages);
        handler();
    });
}

void onClick(QAbstractButton* button, OncePerActionMessages& messages, std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, button, [&messages, handler = std::move(handler)](bool) {
        UserAction action(messages);
        handler();
    });
}

} // namespace krvx
