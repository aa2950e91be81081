#pragma once
// The old form model's control events on Qt widgets:
// - lost focus / got focus: a focus change that is not caused by another
//   window, a message box or a popup taking activation; a read-only box
//   (setReadOnlyBox) raises neither;
// - key released in an editable combo box, with the old virtual-key codes;
// - change: QLineEdit::textChanged (fires on typing and on setText when the
//   text really changes; a setText inside the handler re-enters it).
// Each handler runs inside a UserAction, so one user event shows an identical
// message box at most once.

#include <QAbstractButton>
#include <QComboBox>
#include <QWidget>
#include <functional>

#include "common/messages.h"

class QLineEdit;

namespace krvx {

void onLostFocus(QWidget* control, OncePerActionMessages& messages, std::function<void()> handler);
void onGotFocus(QWidget* control, OncePerActionMessages& messages, std::function<void()> handler);

// Key released in an editable combo box (the filter sits on the combo box
// itself; auto-repeat releases are skipped). The handler gets the old
// virtual-key code: letters 65-90, digits 48-57, space 32, backspace 8, tab 9,
// enter 13, shift 16, control 17, alt 18, escape 27, page up .. arrow down
// 33-40, delete 46, F1 112 ...; 0 for keys without a code.
void onKeyReleased(QComboBox* combo, OncePerActionMessages& messages, std::function<void(int)> handler);
int virtualKeyCode(int qtKey);

// textChanged / clicked wrapped in a UserAction.
void onChange(QLineEdit* box, OncePerActionMessages& messages, std::function<void()> handler);
void onClick(QAbstractButton* button, OncePerActionMessages& messages, std::function<void()> handler);

} // namespace krvx
