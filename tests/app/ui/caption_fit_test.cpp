// Every caption of every window is shown whole with the fonts the program
// uses: labels, buttons, options, check boxes and frame titles against their
// controls' room, every control inside its parent, every menu entry in its
// bar. The same once the desktop imposes a larger font on open windows and on
// windows opened after it. CTest runs this at QT_SCALE_FACTOR 1 and 2, where
// Qt's font metrics round differently.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/ui/AllWindows.h"
#include "catalogue/SchiffeDat.h"
#include "common/ui/Controls.h"
#include "common/ui/FontScale.h"
#include "common/ui/FormWindow.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

std::string describe(const QWidget* widget, const QString& text, QSize needed, QRect room) {
    return fromQ(widget->window()->objectName() + QLatin1Char('.') + widget->objectName() + QStringLiteral(" \"") +
                 text + QStringLiteral("\" needs ") + QString::number(needed.width()) + QLatin1Char('x') +
                 QString::number(needed.height()) + QStringLiteral(", has ") + QString::number(room.width()) +
                 QLatin1Char('x') + QString::number(room.height()));
}

bool fits(QSize needed, QRect room) {
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The room a caption gets and the room it needs, by the kind of control;
// false for controls without a caption.
bool captionRoom(const QWidget* widget, QString& text, QSize& needed, QRect& room) {
    const QFontMetrics metrics = widget->fontMetrics();
    QStyle* style = widget->style();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
        if (text.isEmpty() || label->textFormat() == Qt::RichText) return false;
        room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
        if (label->wordWrap()) {
            // Wrapped: the lines must fit below each other, and no word may be wider than the room.
            needed = metrics.boundingRect(room, Qt::TextWordWrap | label->alignment(), text).size();
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                needed.setWidth(std::max(needed.width(), metrics.horizontalAdvance(word)));
            }
        } else {
            needed = metrics.size(Qt::TextShowMnemonic, text);
        }
        return true;
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
        text = box->title();
        if (text.isEmpty()) return false;
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = text;
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.lineWidth = 1;
        const QRect label = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        needed = QSize(label.right() + 1, metrics.height());
        room = box->rect();
        return true;
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        text = button->text();
        if (text.isEmpty()) return false;
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(button)) contents = QStyle::SE_CheckBoxContents;
        if (qobject_cast<const QRadioButton*>(button)) contents = QStyle::SE_RadioButtonContents;
        if (const auto* push = qobject_cast<const QPushButton*>(button); push && push->isDefault()) {
            option.features |= QStyleOptionButton::DefaultButton;
        }
        room = style->subElementRect(contents, &option, button);
        needed = metrics.size(Qt::TextShowMnemonic, text);
        return true;
    }
    return false;
}

std::vector<std::string> cutCaptions(const QWidget* window) {
    std::vector<std::string> faults;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->isWindow()) continue;
        if (widget->objectName() == QStringLiteral("qt_menubar_ext_button")) {
            faults.push_back(describe(widget, QStringLiteral("(more entries)"), {}, {}) + ": the bar hides entries");
        }
        const QWidget* parent = widget->parentWidget();
        // Placed wholly beyond its parent's edge, a control is hidden on purpose.
        if (!parent->rect().intersects(widget->geometry())) continue;
        if (!parent->rect().contains(widget->geometry())) {
            faults.push_back(describe(widget, QStringLiteral("(control)"), widget->size(),
                                      parent->rect().intersected(widget->geometry())) +
                             " inside its parent");
        }
        QString text;
        QSize needed;
        QRect room;
        if (captionRoom(widget, text, needed, room) && !fits(needed, room)) {
            faults.push_back(describe(widget, text, needed, room));
        }
    }
    return faults;
}

struct CaptionFit : testing::Test {
    test::TestServices t;
    void SetUp() override {
        test::copySeedFiles(t.dir.path());
        loadSchiffe(t.ships, t.file("schiffe.dat"), SpeedWidth::Bits16);
        registerAllWindows(t.windows, t.services);
    }
    void TearDown() override { useFont(windowFont()); }
    static void useFont(const QFont& font) {
        QApplication::setFont(font);
        test::settle();
    }
    void forEveryWindow(const std::function<void(FormWindow*)>& check) {
        for (const QString& name : allWindowNames()) {
            SCOPED_TRACE(name.toStdString());
            FormWindow* window = t.windows.show(name);
            ASSERT_NE(window, nullptr);
            test::settle();
            check(window);
        }
    }
    static void expectCaptionsWhole(FormWindow* window) {
        for (const std::string& fault : cutCaptions(window)) ADD_FAILURE() << fault;
    }
    // The exchange window's captions change with its action.
    void expectEveryActionOfTheExchangeWhole() {
        FormWindow* tausch = t.windows.window(kFrmTausch);
        ASSERT_NE(tausch, nullptr);
        for (const char* option : {"OptVerkauf", "OptRH"}) {
            SCOPED_TRACE(option);
            test::activate(tausch);
            auto* button = test::control<QRadioButton>(tausch, option);
            test::click(button);
            ASSERT_TRUE(button->isChecked());
            expectCaptionsWhole(tausch);
        }
    }
};

TEST_F(CaptionFit, EveryCaptionOfEveryWindowFitsItsControl) {
    forEveryWindow(expectCaptionsWhole);
    expectEveryActionOfTheExchangeWhole();
}

// Open windows grow with the desktop's font and are back to the pixel with
// the program's own; windows opened under the larger font fit as well.
TEST_F(CaptionFit, TheWindowsScaleWithALargerDesktopFont) {
    std::vector<std::pair<QPointer<QWidget>, QRect>> placed;
    forEveryWindow([&](FormWindow* window) {
        placed.emplace_back(window, window->geometry());
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->window() == window && control->isVisibleTo(window)) {
                placed.emplace_back(control, control->geometry());
            }
        }
    });
    const QFont large(QStringLiteral("DejaVu Sans"), 11);
    ASSERT_EQ(QFontInfo(large).family(), QStringLiteral("DejaVu Sans")) << "fonts-dejavu-core is not installed";
    useFont(large);
    forEveryWindow([&](FormWindow* window) {
        expectCaptionsWhole(window);
        const auto before = std::find_if(placed.begin(), placed.end(), [&](auto& p) { return p.first == window; });
        ASSERT_NE(before, placed.end());
        EXPECT_GT(window->width(), before->second.width() * 4 / 3);
        EXPECT_GT(window->height(), before->second.height() * 4 / 3);
    });
    useFont(windowFont());
    for (const auto& [widget, geometry] : placed) {
        ASSERT_FALSE(widget.isNull());
        if (widget->isWindow()) {
            EXPECT_EQ(widget->size(), geometry.size()) << fromQ(widget->objectName());
        } else {
            EXPECT_EQ(widget->geometry(), geometry)
                << fromQ(widget->window()->objectName() + '.' + widget->objectName());
        }
    }
    useFont(large);
    for (const QString& name : allWindowNames()) t.windows.close(name);
    test::settle();
    forEveryWindow(expectCaptionsWhole);
}

// A font whose letters are not all wider by one ratio: a monospace font
// widens narrow letters far more than wide ones.
TEST_F(CaptionFit, EveryCaptionFitsUnderAMonospaceDesktopFont) {
    const QFont mono(QStringLiteral("DejaVu Sans Mono"), 10);
    ASSERT_EQ(QFontInfo(mono).family(), QStringLiteral("DejaVu Sans Mono")) << "fonts-dejavu-core is not installed";
    useFont(mono);
    forEveryWindow(expectCaptionsWhole);
    expectEveryActionOfTheExchangeWhole();
}

} // namespace
} // namespace krvx
