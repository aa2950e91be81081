#pragma once
// Set-up shared by the flight window tests: both windows registered in a fresh
// set of services, typing into boxes, reading the log, checking the layout.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ui/Twips.h"
#include "flight/ui/FrmNeuerPlanet.h"
#include "flight/ui/FrmZeit.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx::test {

inline const char* const kThreePlanets =
    "Basis\r\n 1 \r\n 1 \r\n 1 \r\nHeimat\r\n 1 \r\n 1 \r\n 3 \r\nMine\r\n 1 \r\n 1 \r\n 7 \r\n";

struct FlightWindows : ::testing::Test {
    TestServices t;

    void SetUp() override {
        t.windows.registerWindow(kFrmZeit, [this] { return new FrmZeit(t.services); });
        t.windows.registerWindow(kFrmNeuerPlanet, [this] { return new FrmNeuerPlanet(t.services); });
    }
    FrmZeit* zeit() { return t.windows.window<FrmZeit>(kFrmZeit); }
    FrmNeuerPlanet* dialog() { return t.windows.window<FrmNeuerPlanet>(kFrmNeuerPlanet); }
    FrmZeit* openZeit(const char* planets = nullptr) {
        if (planets) writeBytes(t.file("planeten.dat"), planets);
        activate(t.windows.show(kFrmZeit));
        return zeit();
    }
    void closeZeit() {
        t.windows.close(kFrmZeit);
        settle();
    }
    QLineEdit* box(const char* name) { return control<QLineEdit>(zeit(), name); }
    QComboBox* list(const char* name) { return control<QComboBox>(zeit(), name); }
    QString text(const char* name) { return box(name)->text(); }

    // Focus into the control and replace its text as a user would (the test
    // keyboard types ASCII only; other text is pasted).
    static void typeInto(QWidget* target, const QString& value) {
        focusOn(target);
        auto* edit = qobject_cast<QLineEdit*>(target);
        if (auto* c = qobject_cast<QComboBox*>(target)) edit = c->lineEdit();
        edit->selectAll();
        if (value.isEmpty()) {
            pressKey(Qt::Key_Backspace);
        } else if (std::all_of(value.begin(), value.end(), [](QChar ch) { return ch.unicode() < 128; })) {
            typeText(value);
        } else {
            edit->insert(value);
        }
    }

    // The log's messages after their time stamps, without the two opening lines.
    std::vector<std::string> logMessages() {
        const std::string bytes = readBytes(t.file("KRVXR.debug"));
        std::vector<std::string> messages;
        for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
            const std::string line = bytes.substr(start, end - start);
            messages.push_back(line.substr(line.find("    ") + 4));
        }
        return {messages.begin() + 2, messages.end()};
    }
};

struct Place {
    const char* name;
    int left, top, width, height; // twips; 0 width: sized to the caption
    const char* caption;
    const char* tooltip;
};

// Every control at its place, with its caption whole (a caption wider than its
// box may widen it, never narrow it) and its tooltip.
inline void expectPlaces(const QWidget* window, const std::vector<Place>& places) {
    for (const Place& p : places) {
        QWidget* c = control(window, p.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->pos(), QPoint(twips(p.left), twips(p.top))) << p.name;
        const bool captioned = qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c);
        if (p.width > 0) {
            const int width = captioned ? std::max(twips(p.width), c->sizeHint().width()) : twips(p.width);
            EXPECT_EQ(c->size(), QSize(width, twips(p.height))) << p.name;
        }
        if (captioned) {
            EXPECT_LE(c->sizeHint().width(), c->width()) << p.name << " cuts its caption";
        }
        QString shown;
        if (auto* l = qobject_cast<QLabel*>(c)) shown = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(c)) shown = b->text();
        if (auto* e = qobject_cast<QLineEdit*>(c)) shown = e->text();
        EXPECT_EQ(shown, QString::fromUtf8(p.caption)) << p.name;
        EXPECT_EQ(c->toolTip(), QString::fromUtf8(p.tooltip)) << p.name;
    }
}

// Tab from the first name visits the others in order.
inline void expectTabOrder(const std::vector<std::string>& order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        pressKey(Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        while (focused && focused->objectName().isEmpty()) focused = focused->parentWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->objectName().toStdString(), order[i]) << "after " << order[i - 1];
    }
}

} // namespace krvx::test
