#include "common/ui/Controls.h"

#include "common/ui/Twips.h"

#include <algorithm>

namespace krvx {

namespace {

// A control with a caption is named by Qt after its caption as it stands
// (also after the program changes it); only a control without one gets an
// accessible name of its own: the label the window gives, else its tooltip.
template <class W>
W* named(W* widget, const char* name, const QString& tooltip) {
    widget->setObjectName(QString::fromLatin1(name));
    if (!tooltip.isEmpty()) widget->setToolTip(tooltip);
    return widget;
}

template <class W>
W* namedWithoutCaption(W* widget, const char* name, const QString& label, const QString& tooltip) {
    named(widget, name, tooltip)->setAccessibleName(label.isEmpty() ? tooltip : label);
    return widget;
}

void place(QWidget* widget, Place p) {
    if (p.width > 0 && p.height > 0) {
        placeTwips(widget, p.left, p.top, p.width, p.height);
    } else {
        // Sized to its caption.
        widget->adjustSize();
        widget->move(twips(p.left), twips(p.top));
    }
}

// Captions are shown whole: a label, check box or option whose caption needs
// more room than its place gives (fonts differ from system to system) grows
// to the right.
void fitCaption(QWidget* widget) {
    const int needed = widget->sizeHint().width();
    if (needed > widget->width()) widget->resize(needed, widget->height());
}

} // namespace

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, Place p) {
    auto* label = named(new QLabel(caption, parent), name, {});
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label, p);
    fitCaption(label);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, Place p, const QString& tooltip) {
    auto* button = named(new QPushButton(caption, parent), name, tooltip);
    button->setAutoDefault(false);
    place(button, p);
    return button;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& text, Place p, const QString& tooltip,
                       const QString& label) {
    auto* box = namedWithoutCaption(new QLineEdit(text, parent), name, label, tooltip);
    box->setCursorPosition(0);
    place(box, p);
    return box;
}

QComboBox* makeComboBox(QWidget* parent, const char* name, Place p, const QString& tooltip, const QString& label) {
    auto* combo = namedWithoutCaption(new QComboBox(parent), name, label, tooltip);
    combo->setEditable(true);
    combo->lineEdit()->setAccessibleName(combo->accessibleName());
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(12);
    place(combo, p);
    return combo;
}

QListWidget* makeListBox(QWidget* parent, const char* name, Place p, const QString& tooltip) {
    auto* list = namedWithoutCaption(new QListWidget(parent), name, {}, tooltip);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    place(list, p);
    return list;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, Place p, const QString& tooltip) {
    auto* box = named(new QCheckBox(caption, parent), name, tooltip);
    place(box, p);
    fitCaption(box);
    return box;
}

QRadioButton* makeOption(QWidget* parent, const char* name, const QString& caption, Place p, const QString& tooltip) {
    auto* option = named(new QRadioButton(caption, parent), name, tooltip);
    place(option, p);
    fitCaption(option);
    return option;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, Place p) {
    auto* frame = named(new QGroupBox(caption, parent), name, {});
    place(frame, p);
    return frame;
}

void setBoxText(QLineEdit* box, const QString& text) {
    const bool typing = box->hasFocus() && !box->isReadOnly();
    const int cursor = box->cursorPosition();
    box->setText(text); // may run the box's change handler, nested writes included
    if (box->hasSelectedText()) return;
    box->setCursorPosition(typing ? std::min(cursor, static_cast<int>(box->text().size())) : 0);
}

void setBoxTextIfChanged(QLineEdit* box, const QString& text) {
    if (box->text() != text) setBoxText(box, text);
}

void setReadOnlyBox(QLineEdit* box, bool readOnly) {
    box->setReadOnly(readOnly);
    box->setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
}

bool isReadOnlyBox(const QWidget* control) {
    const auto* box = qobject_cast<const QLineEdit*>(control);
    return box && box->isReadOnly();
}

void setComboText(QComboBox* combo, const QString& text) {
    combo->setEditText(text);
    if (QLineEdit* edit = combo->lineEdit()) edit->setCursorPosition(0);
}

void setFocusChain(std::initializer_list<QWidget*> order) {
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace krvx
