#pragma once
// The windows are placed in twips for the program's own font. Where the
// desktop imposes another application font (a platform theme such as qt6ct,
// a desktop's font setting), each window scales what it placed by the ratio
// of the font in force to the program's font, as desktop toolkits scale their
// forms by their font: a player who enlarged his desktop font gets larger
// windows with everything in proportion. With the program's own font, or a
// smaller one, every window stays exactly as placed.

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

class QWidget;

namespace krvx {

// The font the windows are placed for: Liberation Sans 8.
QFont windowFont();

// How much larger a font is than windowFont(): the larger of the ratios of
// the average width of letters and digits and of the line height, never below
// 1; exactly 1 for windowFont() itself.
double fontScale(const QFont& font);

// A rectangle placed at scale 1, scaled: each edge is scaled and rounded on
// its own, so controls that touch or line up still do.
QRect scaledRect(const QRect& placed, double scale);

// Scales one window. From its construction until start() the window holds
// windowFont() as its own font, so that its controls are placed and sized
// for the font they are drawn for whatever the desktop's font is. start()
// records what was placed (the window's size, each control's geometry, the
// controls' own fonts); from then on the window follows the application font
// and is scaled for it, at once and on every later change of the font.
class FontScaling : public QObject {
public:
    explicit FontScaling(QWidget* window);

    void start();
    double scale() const { return scale_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Placed {
        QPointer<QWidget> widget;
        QRect geometry;
        std::optional<QFont> font; // a control's own font (a title), scaled with the rest
    };
    double scaleFor(const QFont& font) const;
    void record(QWidget* parent);
    void apply(double scale);
    void keepPlace(const QRect& before);

    QWidget* window_;
    QSize size_;
    std::vector<Placed> placed_;
    double scale_ = 1.0;
    bool started_ = false;
};

} // namespace krvx
