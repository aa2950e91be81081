#pragma once
// Building controls the way the windows describe them: each control gets its
// name as objectName, its place in twips and, for screen readers, the name a
// sighted user reads on or beside it: its caption as it stands (Qt's own
// accessible name, which follows every change of the caption); for a control
// without one the label the window gives (the captions of its row and column,
// "Erz Kaufkurs"), else its tooltip. The tooltip stays the accessible
// description.
// Text conversion between the program's UTF-8 and QString, and writing a text
// into a box the way the program does.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>

namespace krvx {

inline QString toQ(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string fromQ(const QString& text) {
    return text.toUtf8().toStdString();
}

struct Place {
    int left, top, width, height; // twips; width/height 0 = size to the caption
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, Place place);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, Place place,
                        const QString& tooltip = {});
QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& text, Place place, const QString& tooltip = {},
                       const QString& label = {});
// Editable drop-down combo box without Qt's own completion and insertion; its
// text field carries the same accessible name.
QComboBox* makeComboBox(QWidget* parent, const char* name, Place place, const QString& tooltip = {},
                        const QString& label = {});
QListWidget* makeListBox(QWidget* parent, const char* name, Place place, const QString& tooltip = {});
QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, Place place,
                        const QString& tooltip = {});
QRadioButton* makeOption(QWidget* parent, const char* name, const QString& caption, Place place,
                         const QString& tooltip = {});
QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, Place place);

// A text the program writes into a box (a result, a hand-over, a loaded value,
// a tidy-up) is shown from its first character: setText alone would scroll a
// long number to its end. Only in the box the user is typing in (it has the
// focus) does the cursor stay where the user left it, so that a tidy-up
// between two keystrokes does not send the next one to the front. A selection
// that the box's change handler made stays as it is.
void setBoxText(QLineEdit* box, const QString& text);
// The same, only when the text differs from the box's: the box keeps its
// cursor and selection, and its change handler does not run.
void setBoxTextIfChanged(QLineEdit* box, const QString& text);
// A box that only shows what the program computed or holds: read-only, never
// disabled. Its text keeps the normal colours of the scheme, can be selected
// and copied with the mouse, Ctrl+C and the context menu, and screen readers
// read it as read-only text rather than as unavailable. Tab passes it by (a
// click still gives it the focus, for copying), and it raises no got-focus or
// lost-focus event of its own, as the disabled box of old did not. false
// makes it an input box again.
void setReadOnlyBox(QLineEdit* box, bool readOnly = true);
bool isReadOnlyBox(const QWidget* control);
// The text field of an editable combo box: the program writes it when an entry
// is picked or stepped to, never while the user types there, so its text
// always shows from the first character.
void setComboText(QComboBox* combo, const QString& text);

// Sets the focus chain in this order.
void setFocusChain(std::initializer_list<QWidget*> order);

} // namespace krvx
