#include "support/ui/Layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "support/ui/WindowDriver.h"

namespace krvx::test {
namespace {

// The class that a control's name promises by its prefix.
const char* kindOf(const QString& name) {
    const std::pair<const char*, const char*> kinds[] = {{"Lbl", "QLabel"}, {"Label", "QLabel"}, {"Txt", "QLineEdit"}, {"Cmd", "QPushButton"}, {"Command", "QPushButton"}, {"Chk", "QCheckBox"}, {"Opt", "QRadioButton"}, {"Cmb", "QComboBox"}, {"Lst", "QListWidget"}};
    for (const auto& [prefix, kind] : kinds)
        if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) return kind;
    return "a class of a known prefix";
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
    EXPECT_TRUE(c->inherits(kindOf(c->objectName()))) << "is a " << c->metaObject()->className();
    EXPECT_EQ(shownText(c).toStdString(), row.text);
    EXPECT_EQ(c->toolTip().toStdString(), row.tooltip);
    const bool widens = c->inherits("QLabel") || c->inherits("QCheckBox") || c->inherits("QRadioButton");
    QSize size = c->size();
    if (row.place.width() > 0) {
        size = QSize(widens ? std::max(row.place.width(), c->sizeHint().width()) : row.place.width(), row.place.height());
    }
    EXPECT_EQ(describe(c->geometry()), describe(QRect(row.place.topLeft(), size)));
    // A button does not widen; its caption must fit as it is.
    const QString caption = c->inherits("QPushButton") ? shownText(c) : QString();
    const int needed = widens ? c->sizeHint().width() : c->fontMetrics().size(Qt::TextShowMnemonic, caption).width();
    EXPECT_LE(needed, c->width()) << "cuts its caption";
}

// The names of the controls visited from the first of order on, by the Tab
// key or along the focus chain, against order.
void expectVisits(const QWidget* window, const std::vector<const char*>& order, bool byKey) {
    QWidget* at = control(window, order.front());
    ASSERT_NE(at, nullptr);
    if (byKey) focusOn(at);
    std::vector<std::string> visited{order.front()};
    while (visited.size() < order.size()) {
        if (byKey) {
            pressKey(Qt::Key_Tab);
            at = QApplication::focusWidget();
        } else {
            QWidget* from = at;
            do at = at->nextInFocusChain();
            while (at != from && (at->objectName().isEmpty() || at->focusPolicy() == Qt::NoFocus));
        }
        const QWidget* named = at; // a combo box for its text field
        while (named && named->objectName().isEmpty()) named = named->parentWidget();
        ASSERT_NE(named, nullptr);
        visited.push_back(named->objectName().toStdString());
    }
    EXPECT_EQ(visited, std::vector<std::string>(order.begin(), order.end()));
}

} // namespace

void expectControls(const QWidget* window, const std::vector<ControlRow>& rows) {
    for (const ControlRow& row : rows) expectControl(window, row);
}

void expectTabOrder(const QWidget* window, const std::vector<const char*>& order) {
    expectVisits(window, order, true);
}

void expectFocusChain(const QWidget* window, const std::vector<const char*>& order) {
    expectVisits(window, order, false);
}

} // namespace krvx::test
