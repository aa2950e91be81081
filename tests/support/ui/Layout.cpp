#include "support/ui/Layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

#include "support/Files.h"
#include "support/ui/WindowDriver.h"

namespace krvx::test {
namespace {

std::string quoted(const QString& text) {
    QString out = text;
    out.replace('\\', "\\\\").replace('"', "\\\"").replace('\n', "\\n");
    return '"' + out.toStdString() + '"';
}

QString shownText(const QWidget* c) {
    if (auto* l = qobject_cast<const QLabel*>(c)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(c)) return b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(c)) return e->text();
    if (auto* m = qobject_cast<const QComboBox*>(c)) return m->currentText();
    return {};
}

// The names of the control and its named parents below the window, joined by '/'.
QString pathOf(const QWidget* c, const QWidget* window) {
    QString path = c->objectName();
    for (const QWidget* p = c->parentWidget(); p && p != window; p = p->parentWidget()) {
        if (!p->objectName().isEmpty()) path = p->objectName() + '/' + path;
    }
    return path;
}

// The control itself, or for an unnamed part (a combo box's text field) the named control it belongs to.
const QWidget* namedOwner(const QWidget* w, const QWidget* window) {
    while (w && w != window && w->objectName().isEmpty()) w = w->parentWidget();
    return w == window ? nullptr : w;
}

bool ownName(const QWidget* w) {
    return !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"));
}

std::string controlLine(const QWidget* c, const QWidget* window) {
    const QRect g = c->geometry();
    std::string line = pathOf(c, window).toStdString() + ' ' + c->metaObject()->className() + ' ' +
                       QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()).toStdString();
    const QString text = shownText(c);
    if (!text.isEmpty()) line += ' ' + quoted(text);
    if (!c->toolTip().isEmpty()) line += " tip " + quoted(c->toolTip());
    if (c->font() != QApplication::font()) {
        line +=
            QStringLiteral(" font %1pt weight %2").arg(c->font().pointSizeF()).arg(c->font().weight()).toStdString();
    }
    if (c->isHidden()) line += " hidden";
    if (!c->isEnabled()) line += " disabled";
    if (auto* e = qobject_cast<const QLineEdit*>(c); e && e->isReadOnly()) line += " readonly";
    if (auto* b = qobject_cast<const QAbstractButton*>(c); b && b->isCheckable())
        line += b->isChecked() ? " checked" : " unchecked";
    return line + '\n';
}

std::string focusChain(const QWidget* window) {
    std::string line = "focus chain:";
    const QWidget* last = nullptr;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        const QWidget* named = namedOwner(w, window);
        if (w->focusPolicy() == Qt::NoFocus || !named || named == last) continue;
        last = named;
        line += ' ' + named->objectName().toStdString();
        if (!(w->focusPolicy() & Qt::TabFocus)) line += "(click)";
    }
    return line + '\n';
}

} // namespace

std::string layoutText(const QWidget* window) {
    std::string text = "window " + window->objectName().toStdString() + ' ' + quoted(window->windowTitle()) + ' ' +
                       std::to_string(window->width()) + 'x' + std::to_string(window->height()) + '\n';
    std::vector<const QWidget*> controls;
    for (const QWidget* c : window->findChildren<QWidget*>()) {
        if (ownName(c)) controls.push_back(c);
    }
    auto place = [window](const QWidget* c) {
        const QPoint at = c->mapTo(window, QPoint(0, 0));
        return std::make_tuple(at.y(), at.x(), c->objectName());
    };
    std::stable_sort(controls.begin(), controls.end(),
                     [&](const QWidget* a, const QWidget* b) { return place(a) < place(b); });
    for (const QWidget* c : controls) text += controlLine(c, window);
    return text + focusChain(window);
}

std::string tabWalk(const QWidget* window, const char* first) {
    QWidget* start = control(window, first);
    if (!start) return {};
    focusOn(start);
    std::string line = std::string("tab:") + ' ' + first;
    for (int step = 0; step < 100; ++step) {
        pressKey(Qt::Key_Tab);
        const QWidget* named = namedOwner(QApplication::focusWidget(), window);
        line += ' ' + (named ? named->objectName().toStdString() : std::string("(outside)"));
        if (named == start || !named) break;
    }
    return line + '\n';
}

void expectGolden(std::string_view folder, std::string_view name, const std::string& text) {
    if (const char* update = std::getenv("KRVX_UPDATE_GOLDEN"); update && std::string_view(update) == "1") {
        std::filesystem::create_directories(goldenPath(folder, name).parent_path());
        writeBytes(goldenPath(folder, name), text);
        return;
    }
    EXPECT_EQ(text, golden(folder, name))
        << "differs from " << goldenPath(folder, name) << " (KRVX_UPDATE_GOLDEN=1 writes it anew)";
}

void expectTabOrder(const QWidget* window, const std::vector<const char*>& order) {
    std::string expected = "tab:";
    for (const char* name : order) expected += std::string(" ") + name;
    EXPECT_EQ(tabWalk(window, order.front()), expected + '\n');
}

} // namespace krvx::test
