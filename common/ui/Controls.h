#pragma once
// Building controls the way the windows describe them: each control gets its
// name as objectName, its caption or tooltip as accessibleName, and its place
// in twips. Text conversion between the program's UTF-8 and QString.

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

inline QString toQ(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
inline std::string fromQ(const QString& text) { return text.toUtf8().toStdString(); }

struct Place {
    int left, top, width, height;  // twips; width/height 0 = size to the caption
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, Place place);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, Place place,
                        const QString& tooltip = {});
QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& text, Place place,
                       const QString& tooltip = {});
// Editable drop-down combo box without Qt's own completion and insertion.
QComboBox* makeComboBox(QWidget* parent, const char* name, Place place, const QString& tooltip = {});
QListWidget* makeListBox(QWidget* parent, const char* name, Place place, const QString& tooltip = {});
QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, Place place,
                        const QString& tooltip = {});
QRadioButton* makeOption(QWidget* parent, const char* name, const QString& caption, Place place,
                         const QString& tooltip = {});
QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, Place place);

// Sets the focus chain in this order.
void setFocusChain(std::initializer_list<QWidget*> order);

} // namespace krvx
