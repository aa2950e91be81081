#include "support/ui/Layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "support/ui/WindowDriver.h"

namespace krvx::test {
namespace {

// The kind of control the name's prefix promises; nullptr for none.
const QMetaObject* kindOf(const QString& name) {
    static const struct {
        const char* prefix;
        const QMetaObject* kind;
    } kinds[] = {
        {"Lbl", &QLabel::staticMetaObject},
        {"Label", &QLabel::staticMetaObject},
        {"Txt", &QLineEdit::staticMetaObject},
        {"Cmd", &QPushButton::staticMetaObject},
        {"Command", &QPushButton::staticMetaObject},
        {"Chk", &QCheckBox::staticMetaObject},
        {"Opt", &QRadioButton::staticMetaObject},
        {"Cmb", &QComboBox::staticMetaObject},
        {"Lst", &QListWidget::staticMetaObject},
    };
    for (const auto& k : kinds)
        if (name.startsWith(QLatin1String(k.prefix), Qt::CaseInsensitive)) return k.kind;
    return nullptr;
}

QString shownText(const QWidget* c) {
    if (auto* l = qobject_cast<const QLabel*>(c)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(c)) return b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(c)) return e->text();
    if (auto* m = qobject_cast<const QComboBox*>(c)) return m->currentText();
    return {};
}

std::string describe(QRect r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

void expectControl(const QWidget* window, const ControlRow& row) {
    SCOPED_TRACE(row.name);
    const QWidget* c = control(window, row.name);
    ASSERT_NE(c, nullptr);
    const QMetaObject* kind = kindOf(c->objectName());
    ASSERT_NE(kind, nullptr) << "a name without a known prefix";
    EXPECT_TRUE(c->metaObject()->inherits(kind)) << "is a " << c->metaObject()->className();
    EXPECT_EQ(shownText(c).toStdString(), row.text);
    EXPECT_EQ(c->toolTip().toStdString(), row.tooltip);
    const bool widens = qobject_cast<const QLabel*>(c) || qobject_cast<const QCheckBox*>(c) ||
                        qobject_cast<const QRadioButton*>(c);
    QSize size = c->size();
    if (row.place.width() > 0) {
        size = QSize(widens ? std::max(row.place.width(), c->sizeHint().width()) : row.place.width(), row.place.height());
    }
    EXPECT_EQ(describe(c->geometry()), describe(QRect(row.place.topLeft(), size)));
    // A button does not widen; its caption must fit as it is.
    const QString caption = qobject_cast<const QPushButton*>(c) ? shownText(c) : QString();
    const int needed = widens ? c->sizeHint().width() : c->fontMetrics().size(Qt::TextShowMnemonic, caption).width();
    EXPECT_LE(needed, c->width()) << "cuts its caption";
}

// The named control that stands for the widget: a combo box for its text field.
const QWidget* named(const QWidget* w) {
    while (w && w->objectName().isEmpty()) w = w->parentWidget();
    return w;
}

// The names of the controls that step visits from the first of order on, one
// per further name, against order.
void visit(const QWidget* window, const std::vector<const char*>& order, const std::function<QWidget*(QWidget*)>& step) {
    ASSERT_FALSE(order.empty());
    QWidget* at = control(window, order.front());
    ASSERT_NE(at, nullptr);
    std::vector<std::string> expected(order.begin(), order.end()), visited{order.front()};
    while (visited.size() < expected.size()) {
        at = step(at);
        const QWidget* shown = named(at);
        ASSERT_NE(shown, nullptr);
        visited.push_back(shown->objectName().toStdString());
    }
    EXPECT_EQ(visited, expected);
}

} // namespace

void expectControls(const QWidget* window, const std::vector<ControlRow>& rows) {
    for (const ControlRow& row : rows) expectControl(window, row);
}

void expectTabOrder(const QWidget* window, const std::vector<const char*>& order) {
    if (!order.empty()) focusOn(control(window, order.front()));
    visit(window, order, [](QWidget*) {
        pressKey(Qt::Key_Tab);
        return QApplication::focusWidget();
    });
}

void expectFocusChain(const QWidget* window, const std::vector<const char*>& order) {
    visit(window, order, [](QWidget* at) {
        QWidget* from = at;
        do at = at->nextInFocusChain();
        while (at != from && (at->objectName().isEmpty() || at->focusPolicy() == Qt::NoFocus));
        return at;
    });
}

} // namespace krvx::test
