#include "common/ui/FontScale.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace krvx {

namespace {

// Controls whose children the window places (frames, plain panels); the
// children of any other control (a list's scroll bars, a combo box's field)
// are laid out by that control.
bool placesChildren(const QWidget* widget) {
    return qobject_cast<const QGroupBox*>(widget) || widget->metaObject() == &QWidget::staticMetaObject;
}

int scaled(int value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}

// A caption that needs more room than its scaled place gives (the desktop
// font's letters are not all wider by the same ratio, nor are a scaled
// font's lines taller by exactly that ratio) grows away from the side it is
// aligned to, and downwards.
void fitCaption(QWidget* widget) {
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->wordWrap()) return;
        text = label->text();
        alignment = label->alignment();
    } else if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget)) {
        text = static_cast<const QAbstractButton*>(widget)->text();
    }
    const QSize needed = widget->sizeHint();
    if (text.isEmpty() || (needed.width() <= widget->width() && needed.height() <= widget->height())) return;
    QRect place = widget->geometry();
    if (needed.width() > place.width() && (alignment & Qt::AlignRight)) {
        place.setLeft(place.right() + 1 - needed.width());
    } else if (needed.width() > place.width()) {
        place.setWidth(needed.width());
    }
    place.setHeight(std::max(place.height(), needed.height()));
    widget->setGeometry(place);
}

// The width a caption's widest line takes in a font; '&' marks a mnemonic.
double captionWidth(const QString& caption, const QFont& font) {
    const QFontMetricsF metrics(font);
    double widest = 0.0;
    for (const QString& line : caption.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(QString(line).remove(QLatin1Char('&'))));
    }
    return widest;
}

QString captionOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) return frame->title();
    return {};
}

} // namespace

QFont windowFont() {
    return QFont(QStringLiteral("Liberation Sans"), 8);
}

double fontScale(const QFont& font) {
    const QFont placedFor = windowFont();
    if (font == placedFor) return 1.0;
    // Letters and digits: the windows show captions and numbers.
    const QString sample = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    const QFontMetricsF now(font);
    const QFontMetricsF then(placedFor);
    const double width = now.horizontalAdvance(sample) / then.horizontalAdvance(sample);
    const double height = now.height() / then.height();
    return std::max({1.0, width, height});
}

QRect scaledRect(const QRect& placed, double scale) {
    const int left = scaled(placed.left(), scale);
    const int top = scaled(placed.top(), scale);
    return QRect(left, top, scaled(placed.left() + placed.width(), scale) - left,
                 scaled(placed.top() + placed.height(), scale) - top);
}

FontScaling::FontScaling(QWidget* window) : QObject(window), window_(window) {
    window->setFont(windowFont());
    window->installEventFilter(this);
}

void FontScaling::start() {
    if (started_) return;
    started_ = true;
    size_ = window_->size();
    record(window_);
    window_->setFont(QFont()); // from now on the application's font
    apply(scaleFor(window_->font()));
}

// A font's letters are not all wider by one ratio (a monospace font widens an
// "i" far more than an "m"): the window grows enough for its widest-grown
// caption too.
double FontScaling::scaleFor(const QFont& font) const {
    double scale = fontScale(font);
    if (font == windowFont()) return scale;
    for (const Placed& p : placed_) {
        if (!p.widget || p.font) continue; // a control's own font does not follow the desktop's
        const QString caption = captionOf(p.widget);
        const double placedWidth = caption.isEmpty() ? 0.0 : captionWidth(caption, windowFont());
        if (placedWidth > 0.0) scale = std::max(scale, captionWidth(caption, font) / placedWidth);
    }
    return scale;
}

void FontScaling::record(QWidget* parent) {
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow()) continue;
        std::optional<QFont> own;
        if (widget->testAttribute(Qt::WA_SetFont)) own = widget->font();
        placed_.push_back({widget, widget->geometry(), own});
        if (placesChildren(widget)) record(widget);
    }
}

bool FontScaling::eventFilter(QObject* watched, QEvent* event) {
    if (started_ && watched == window_ && event->type() == QEvent::FontChange) apply(scaleFor(window_->font()));
    return QObject::eventFilter(watched, event);
}

void FontScaling::apply(double scale) {
    if (scale == scale_) return;
    scale_ = scale;
    for (const Placed& p : placed_) {
        if (!p.widget) continue;
        if (p.font) {
            QFont font = *p.font;
            if (font.pointSizeF() > 0) {
                font.setPointSizeF(font.pointSizeF() * scale);
            } else if (font.pixelSize() > 0) {
                font.setPixelSize(scaled(font.pixelSize(), scale));
            }
            p.widget->setFont(font);
        }
        p.widget->setGeometry(scaledRect(p.geometry, scale));
    }
    if (scale > 1.0) {
        for (const Placed& p : placed_) {
            if (p.widget) fitCaption(p.widget);
        }
    }
    const QRect before = window_->frameGeometry();
    window_->setFixedSize(scaledRect(QRect(QPoint(), size_), scale).size());
    keepPlace(before);
}

// A window that has a place (it is shown, or was placed) keeps its centre
// where it was and stays inside the screen's free area.
void FontScaling::keepPlace(const QRect& before) {
    if (!window_->isVisible() && !window_->testAttribute(Qt::WA_Moved)) return;
    const QScreen* screen = window_->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(), window_->frameGeometry().size());
    frame.moveCenter(before.center());
    frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width())));
    frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height())));
    window_->move(frame.topLeft());
}

} // namespace krvx
