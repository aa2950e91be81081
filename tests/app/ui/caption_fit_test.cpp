// Every caption of every window is shown whole with the fonts the program
// uses: labels, buttons, options, check boxes and frame titles against their
// controls' room, and every control inside its parent. CTest runs this at
// QT_SCALE_FACTOR 1 and 2, where Qt's font metrics round differently.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/ui/AllWindows.h"
#include "catalogue/ShipCatalogue.h"
#include "common/ui/Controls.h"
#include "common/ui/FormWindow.h"
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

bool fits(QSize needed, QRect room) { return needed.width() <= room.width() && needed.height() <= room.height(); }

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

TEST(CaptionFit, EveryCaptionOfEveryWindowFitsItsControl) {
    test::TestServices t;
    for (const auto& entry : std::filesystem::directory_iterator(KRVX_SOURCE_DIR "/packaging/seed")) {
        std::filesystem::copy_file(entry.path(), t.file(entry.path().filename().string()));
    }
    loadSchiffe(t.ships, t.file("schiffe.dat"), SpeedWidth::Bits16);
    registerAllWindows(t.windows, t.services);

    for (const char* name : {"FrmMenu", "frmSplash", "FrmZeit", "FrmNeuerPlanet", "FrmSchiffspreise", "FrmProdZeit",
                             "FrmTausch", "FrmConfig3", "FrmConfig2"}) {
        SCOPED_TRACE(name);
        FormWindow* window = t.windows.show(QString::fromLatin1(name));
        ASSERT_NE(window, nullptr);
        test::settle();
        for (const std::string& fault : cutCaptions(window)) ADD_FAILURE() << fault;
    }
}

} // namespace
} // namespace krvx
