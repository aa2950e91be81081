#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "app/projectversion.h"
#include "app/ui/DisplayStart.h"
#include "app/ui/FrmSplash.h"
#include "common/ui/QtMessageService.h"
#include "common/ui/Twips.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
using test::settle;

FrmSplash* showSplash(test::TestServices& t) {
    t.windows.registerWindow(kFrmSplash, [&t] { return new FrmSplash(t.services); });
    return t.windows.show<FrmSplash>(kFrmSplash);
}

TEST(FrmSplash, LabelsAfterLoad) {
    test::TestServices t;
    FrmSplash* splash = showSplash(t);
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->size(), QSize(twips(7380), twips(4245)));
    auto* frame = control<QGroupBox>(splash, "Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), twipsRect(120, 120, 7080, 4050));
    EXPECT_TRUE(frame->title().isEmpty());

    struct Row {
        const char* name;
        const char* text;
        QRect place; // in the frame; right-aligned labels sized to their text keep the right edge
        bool sizedToText;
        double points;
        bool bold;
    };
    const Row rows[] = {
        {"lblProductName", "Korvax Rechner", twipsRect(2520, 1140, 3975, 1095), false, 26.25, true},
        {"lblPlatform", "Linux", twipsRect(5475, 2340, 1380, 360), true, 15.75, true},
        {"lblVersion", "Version " KRVX_VERSION, twipsRect(5970, 2700, 885, 285), true, 12, true},
        {"lblWarning", "Warnung: Benutzung auf eigene Gefahr. Produkt ist noch im Beta-Stadium. Keine Haftung",
         twipsRect(150, 3660, 6855, 195), false, 8.25, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto* label = control<QLabel>(splash, row.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget(), frame);
        EXPECT_EQ(label->text(), QString::fromUtf8(row.text));
        EXPECT_EQ(label->font().family(), "Liberation Sans");
        // A text wider than its place on this screen is drawn a little smaller, in one line.
        EXPECT_LE(label->font().pointSizeF(), row.points);
        EXPECT_GE(label->font().pointSizeF(), row.points * 0.9);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        EXPECT_EQ(label->font().bold(), row.bold);
        if (row.sizedToText) {
            EXPECT_EQ(label->geometry().right(), row.place.right());
            EXPECT_EQ(label->y(), row.place.y());
            EXPECT_TRUE(label->alignment() & Qt::AlignRight);
        } else {
            EXPECT_EQ(label->geometry(), row.place);
        }
    }

    settle(); // the logo comes once the window is on screen
    auto* logo = control<QLabel>(splash, "imgLogo");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->geometry(), twipsRect(480, 195, 1380, 3465));
    // Drawn for the screen's pixel density: one pixel of the picture per device pixel.
    EXPECT_EQ(logo->pixmap().deviceIndependentSize().toSize(), logo->size());
    EXPECT_EQ(logo->pixmap().devicePixelRatio(), logo->devicePixelRatioF());

    // The four maker labels.
    int makerLabels = 0;
    for (const char* name : {"lblLicenseTo", "lblCompanyProduct", "lblCopyright", "lblCompany"}) {
        auto* label = control<QLabel>(splash, name);
        if (label && !label->text().isEmpty() && frame->rect().contains(label->geometry())) ++makerLabels;
    }
    EXPECT_EQ(makerLabels, 4);
}

TEST(FrmSplash, ClosesOnKeysTimerAndFrameBackgroundButNotOnItsPictures) {
    struct Case {
        const char* what;
        std::function<void(FrmSplash*)> act;
        bool closes;
    };
    auto clickOn = [](const char* name, QPoint at = {}) {
        return [name, at](FrmSplash* splash) {
            QWidget* target = control(splash, name);
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at.isNull() ? target->rect().center() : at);
        };
    };
    // Between the logo and the title, below the platform line: no label there.
    const QPoint emptyFrameSpot(twips(2100), twips(3100));
    const Case cases[] = {
        {"letter key", [](FrmSplash* s) { QTest::keyClick(s, Qt::Key_A); }, true},
        {"escape", [](FrmSplash* s) { QTest::keyClick(s, Qt::Key_Escape); }, true},
        {"space", [](FrmSplash* s) { QTest::keyClick(s, Qt::Key_Space); }, true},
        {"shift alone", [](FrmSplash* s) { QTest::keyClick(s, Qt::Key_Shift); }, false},
        {"click on the frame background", clickOn("Frame1", emptyFrameSpot), true},
        {"click on the warning", clickOn("lblWarning"), false},
        {"click on the product name", clickOn("lblProductName"), false},
        {"click on the version", clickOn("lblVersion"), false},
        {"click on the logo", clickOn("imgLogo"), false},
        {"click on the window's margin outside the frame",
         [](FrmSplash* s) { QTest::mouseClick(s, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2)); }, false},
        {"right click on the frame background",
         [emptyFrameSpot](FrmSplash* s) {
             QTest::mouseClick(control(s, "Frame1"), Qt::RightButton, Qt::NoModifier, emptyFrameSpot);
         },
         false},
        {"timer",
         [](FrmSplash* s) {
             auto* timer = s->findChild<QTimer*>("Timer1");
             ASSERT_NE(timer, nullptr);
             EXPECT_TRUE(timer->isActive());
             EXPECT_EQ(timer->interval(), 2500);
             timer->setInterval(1); // rather than waiting the 2.5 seconds
             const QPointer<FrmSplash> watched(s); // deleted once it has closed
             EXPECT_TRUE(QTest::qWaitFor([watched] { return watched.isNull() || !watched->isVisible(); }, 2000));
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestServices t;
        QPointer<FrmSplash> splash = showSplash(t);
        ASSERT_FALSE(splash.isNull());
        test::activate(splash);
        if (std::string(c.what) == "click on the frame background") {
            ASSERT_EQ(control(splash, "Frame1")->childAt(emptyFrameSpot), nullptr);
        }
        c.act(splash);
        settle();
        EXPECT_EQ(splash.isNull(), c.closes);
        EXPECT_EQ(t.windows.window(kFrmSplash) == nullptr, c.closes);
        EXPECT_TRUE(t.script.boxes.empty());
    }
}

TEST(FrmSplash, KeyMeantForTheSplashDoesNotReachTheWindowBelow) {
    // The window manager may leave the keyboard with the menu under the splash.
    test::TestServices t;
    QWidget below;
    auto* box = new QLineEdit(&below);
    test::activate(&below);
    box->setFocus();
    QPointer<FrmSplash> splash = showSplash(t);
    ASSERT_FALSE(splash.isNull());
    test::activate(&below);

    QTest::keyClick(box, Qt::Key_Shift);
    settle();
    EXPECT_FALSE(splash.isNull());
    QTest::keyClick(box, Qt::Key_X);
    settle();
    EXPECT_TRUE(splash.isNull());
    EXPECT_TRUE(box->text().isEmpty());

    QTest::keyClick(box, Qt::Key_Y); // once the splash is gone, keys go where they belong
    EXPECT_EQ(box->text(), "y");
}

TEST(FrmSplash, KeyTypedIntoAWindowOpenedMeanwhileIsNotLost) {
    test::TestServices t;
    QPointer<FrmSplash> splash = showSplash(t);
    FormWindow calculator(t.services, kFrmProdZeit, "Produktionszeiten", 1500, 1000);
    auto* box = new QLineEdit(&calculator);
    test::focusOn(box);

    QTest::keyClick(box, Qt::Key_X);
    settle();
    EXPECT_TRUE(splash.isNull());
    EXPECT_EQ(box->text(), "x");
}

TEST(FrmSplash, BoxesOutliveAWindowThatClosesOnItsOwn) {
    test::TestServices t;
    QPointer<FrmSplash> splash = showSplash(t);
    test::activate(splash);
    splash->findChild<QTimer*>("Timer1")->setInterval(1);
    bool readAfterSplash = false;
    QTimer::singleShot(0, [&] { // the player reads the box once the splash has gone
        QWidget* box = QTest::qWaitFor([&] { return splash.isNull(); }) ? QApplication::activeModalWidget() : nullptr;
        readAfterSplash = box && box->close();
    });
    QtMessageService().message("Fehler beim Laden von kurse.dat");
    EXPECT_TRUE(readAfterSplash);

    auto* window = new FormWindow(t.services, kFrmProdZeit, "Produktionszeiten", 1500, 1000);
    test::activate(window);
    QTimer::singleShot(50, window, &QWidget::close); // deleted on close, its box with it
    EXPECT_EQ(QtMessageService().question("Speichern?", "Produktionszeiten"), Answer::Cancel);
}

TEST(DisplayStart, WhatOtherThreadsSayWhileTheDisplayOpensIsAllSaidAfterwards) {
    static std::atomic<int> said = 0;
    const QtMessageHandler before =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) { ++said; });
    {
        const HeldQtMessages held;
        const auto talk = [] {
            for (int i = 0; i < 50000; ++i) qInfo("Qt");
        };
        const std::jthread a(talk), b(talk), c(talk), d(talk); // joined before the holding ends
    }
    qInstallMessageHandler(before);
    EXPECT_EQ(said, 200000);
}

} // namespace
} // namespace krvx
