// Boxes that only show a result are read-only, never disabled: their text is
// drawn in the scheme's normal colours (measured on the drawn box, in the
// default and in a dark palette), Tab passes them by, screen readers read
// them as read-only text, and a result is selected and copied as in any box.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "app/ui/AllWindows.h"
#include "catalogue/SchiffeDat.h"
#include "common/ui/Controls.h"
#include "common/ui/FormWindow.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;

double luminance(QRgb colour) {
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

// The contrast of the drawn box: its background is the colour most of its
// inside shows, its text the pixel that stands out most from it.
double drawnContrast(QLineEdit* box) {
    const QImage image = box->grab().toImage();
    std::map<QRgb, int> counts;
    for (int y = 3; y < image.height() - 3; ++y) {
        for (int x = 3; x < image.width() - 3; ++x) ++counts[image.pixel(x, y)];
    }
    const QRgb background =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    const double back = luminance(background);
    double best = 1.0;
    for (const auto& [colour, count] : counts) {
        const double l = luminance(colour);
        best = std::max(best, (std::max(l, back) + 0.05) / (std::min(l, back) + 0.05));
    }
    return best;
}

// A dark scheme as desktops ship it: light text on dark grey, the disabled
// text a middle grey.
QPalette darkPalette() {
    QPalette dark(QColor(0x3c, 0x3c, 0x3c), QColor(0x2a, 0x2a, 0x2a));
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = group == QPalette::Disabled ? QColor(0x80, 0x80, 0x80) : QColor(0xee, 0xee, 0xee);
        dark.setColor(group, QPalette::Base, QColor(0x3a, 0x3a, 0x3a));
        for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) dark.setColor(group, role, text);
    }
    return dark;
}

struct ResultBoxes : testing::Test {
    test::TestServices t;
    QPalette original = QApplication::palette();
    void SetUp() override {
        test::copySeedFiles(t.dir.path());
        loadSchiffe(t.ships, t.file("schiffe.dat"), SpeedWidth::Bits16);
        registerAllWindows(t.windows, t.services);
    }
    void TearDown() override {
        QApplication::setPalette(original);
        test::settle();
    }
    QWidget* open(const char* name) {
        QWidget* window = t.windows.show(name);
        test::activate(window);
        return window;
    }
};

TEST_F(ResultBoxes, AreReadOnlyAndDrawnInTheNormalTextColour) {
    struct Case {
        const char* window;
        bool amountMode; // "Produktionszeit in Stunden" ticked
        std::vector<QString> readOnly;
    };
    const std::vector<QString> times{"TxtZeitErz", "txtZeitAlu", "txtZeitLeg", "TxtZeitKri", "TxtZeitEne"};
    std::vector<QString> amounts{"TxtZErz", "TxtZAlu", "TxtZLeg", "TxtZKri", "TxtZEne"};
    amounts.insert(amounts.end(), times.begin(), times.end());
    std::vector<QString> timeMode = times;
    timeMode.push_back("TxtDauer");
    const Case cases[] = {
        {kFrmZeit, false, {"TxtDauer"}},
        {kFrmSchiffspreise, false, {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne"}},
        {kFrmProdZeit, false, timeMode},
        {kFrmProdZeit, true, amounts},
        {kFrmConfig2, false, {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne", "TxtGeschw", "TxtBauzeit"}},
    };
    for (const auto& [scheme, palette] : {std::pair{"default", original}, std::pair{"dark", darkPalette()}}) {
        QApplication::setPalette(palette);
        test::settle();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.window) + (c.amountMode ? " (amounts)" : "") + ", " + scheme);
            QWidget* window = open(c.window);
            if (c.amountMode) test::click(window, "ChkFest");
            std::vector<QString> readOnly;
            double lowest = 100;
            for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
                EXPECT_TRUE(box->isEnabled()) << fromQ(box->objectName());
                if (!box->isReadOnly()) continue;
                readOnly.push_back(box->objectName());
                EXPECT_FALSE(box->focusPolicy() & Qt::TabFocus) << fromQ(box->objectName());
                const QAccessible::State state = QAccessible::queryAccessibleInterface(box)->state();
                EXPECT_TRUE(state.readOnly && !state.disabled) << fromQ(box->objectName());
                if (box->text().isEmpty()) setBoxText(box, QStringLiteral("12:34"));
                const double contrast = drawnContrast(box);
                EXPECT_GE(contrast, 4.5) << fromQ(box->objectName());
                lowest = std::min(lowest, contrast);
            }
            std::sort(readOnly.begin(), readOnly.end());
            std::vector<QString> expected = c.readOnly;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(readOnly, expected);
            std::printf("contrast %s%s %s: %.2f:1\n", c.window, c.amountMode ? " (amounts)" : "", scheme, lowest);
            t.windows.close(c.window);
            test::settle();
        }
    }
}

TEST_F(ResultBoxes, AResultIsCopiedAndTheWindowComputesAsBefore) {
    QWidget* window = open(kFrmProdZeit);
    test::retype(window, "TxtErz", "100");
    test::retype(window, "TxtZErz", "250");
    test::focusOn(control(window, "ChkFest"));
    auto* time = control<QLineEdit>(window, "TxtZeitErz");
    const QString result = time->text();
    ASSERT_NE(result, QStringLiteral("0"));

    QTest::mouseClick(time, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), time);
    test::pressKey(Qt::Key_A, Qt::ControlModifier);
    test::pressKey(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), result);
    QGuiApplication::clipboard()->clear();
    const std::unique_ptr<QMenu> menu(time->createStandardContextMenu());
    const QString copyKey = QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText);
    for (QAction* action : menu->actions()) {
        if (action->text().endsWith(copyKey)) action->trigger();
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), result) << "the context menu's copy";
    test::typeText(QStringLiteral("9"));
    EXPECT_EQ(time->text(), result);

    // In amount mode the targets are results: a click into one and leaving it
    // again computes no times, as the disabled box of old could not.
    test::click(window, "ChkFest");
    test::retype(window, "TxtDauer", "5");
    test::focusOn(control(window, "ChkFest"));
    auto* target = control<QLineEdit>(window, "TxtZErz");
    EXPECT_EQ(target->text(), QStringLiteral("500"));
    QTest::mouseClick(target, Qt::LeftButton);
    test::focusOn(control(window, "TxtErz"));
    EXPECT_EQ(time->text(), result);
}

} // namespace
} // namespace krvx
