#include "app/ui/FrmSplash.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/ui/Logo.h"
#include "app/version.h"
#include "common/messages.h"
#include "common/ui/Controls.h"
#include "common/ui/Twips.h"

namespace krvx {

namespace {

QFont arial(double points, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A right-aligned label sized to its text: the right edge stays where it is.
void fitRightAligned(QLabel* label) {
    const int right = label->geometry().right();
    label->adjustSize();
    label->move(right - label->width() + 1, label->y());
}

QLabel* label(QWidget* frame, const char* name, const QString& text, Place place, const QFont& font,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    QLabel* l = makeLabel(frame, name, text, place);
    l->setFont(font);
    l->setAlignment(alignment);
    return l;
}

// The system the program was built for, shown above the version.
#ifdef Q_OS_WIN
constexpr const char* kPlatformName = "Windows";
#else
constexpr const char* kPlatformName = "Linux";
#endif

// The title in one line: where the screen draws the font wider than its
// place (Linux's hinting, Windows at 125 and 150 %), a little smaller.
void fitOnOneLine(QLabel* label) {
    QFont font = label->font();
    while (QFontMetrics(font, label).horizontalAdvance(label->text()) > label->width() && font.pointSizeF() > 12) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
}

} // namespace

FrmSplash::FrmSplash(Services& services) : FormWindow(services, kFrmSplash, toQ(kAppTitle), 7380, 4245) {
    // A splash screen: no title bar, above the menu it appears over.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);

    Frame1 = makeFrame(this, "Frame1", QString(), {120, 120, 7080, 4050});
    Frame1->installEventFilter(this);

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAccessibleName(toQ(kAppTitle));
    placeTwips(imgLogo, 480, 195, 1380, 3465);

    // The maker's details.
    label(Frame1, "lblLicenseTo", QStringLiteral("Ein Rechenhelfer für Spieler von Korvax"), {120, 75, 6855, 255},
          arial(8.25, false), Qt::AlignRight | Qt::AlignTop);
    label(Frame1, "lblCompanyProduct", QString::fromUtf8("Korvax-Spielerwerkzeuge"), {2520, 765, 3975, 330},
          arial(12, true));
    label(Frame1, "lblCopyright", QString::fromUtf8("© Korvax-Rechner-Team"), {4320, 3075, 2535, 255},
          arial(8.25, false), Qt::AlignRight | Qt::AlignTop);
    label(Frame1, "lblCompany", QStringLiteral("Gemeinschaftsprojekt"), {4320, 3315, 2535, 255}, arial(8.25, false),
          Qt::AlignRight | Qt::AlignTop);

    lblProductName =
        label(Frame1, "lblProductName", QStringLiteral("Produkt"), {2520, 1140, 3975, 1095}, arial(26.25, true));
    lblPlatform = label(Frame1, "lblPlatform", QString::fromLatin1(kPlatformName), {5475, 2340, 1380, 360},
                        arial(15.75, true), Qt::AlignRight | Qt::AlignTop);
    fitRightAligned(lblPlatform);
    lblVersion = label(Frame1, "lblVersion", QStringLiteral("Version"), {5970, 2700, 885, 285}, arial(12, true),
                       Qt::AlignRight | Qt::AlignTop);
    fitRightAligned(lblVersion);
    lblWarning = label(Frame1, "lblWarning",
                       QStringLiteral("Warnung: Benutzung auf eigene Gefahr. Produkt ist noch im "
                                      "Beta-Stadium. Keine Haftung"),
                       {150, 3660, 6855, 195}, arial(8.25, false));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kCloseAfterMs);
    connect(Timer1, &QTimer::timeout, this, &QWidget::close);
}

void FrmSplash::load() {
    lblVersion->setText(toQ(versionText(programVersion())));
    lblVersion->setAccessibleName(lblVersion->text());
    fitRightAligned(lblVersion);
    lblProductName->setText(toQ(kAppTitle));
    lblProductName->setAccessibleName(lblProductName->text());
    fitOnOneLine(lblProductName);
    // In the middle of the screen, over the menu.
    placeCentred();
    QCoreApplication::instance()->installEventFilter(this);
    Timer1->start();
    // The logo follows as soon as the windows are on screen, drawn for the
    // pixel density of the screen the splash is on.
    QTimer::singleShot(0, this,
                       [this] { imgLogo->setPixmap(drawLogo(imgLogo->size(), imgLogo->devicePixelRatioF())); });
}

namespace {

// A modifier on its own is no key press yet.
bool isModifierOnly(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
        return true;
    default:
        return false;
    }
}

} // namespace

void FrmSplash::keyPressEvent(QKeyEvent* event) {
    if (isModifierOnly(event)) {
        FormWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    close();
}

bool FrmSplash::eventFilter(QObject* watched, QEvent* event) {
    // While the splash is up, a key is meant for it even when the window
    // manager gave the keyboard to the menu below (many do not focus splash
    // screens): the key closes the splash and goes nowhere else. A key typed
    // into a window the user has opened meanwhile belongs to that window: it
    // closes the splash and is not lost.
    if (event->type() == QEvent::KeyPress && watched != this && isVisible()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isModifierOnly(key)) {
            close();
            auto* target = qobject_cast<QWidget*>(watched);
            auto* opened = target ? qobject_cast<FormWindow*>(target->window()) : nullptr;
            return !opened || opened->objectName() == QLatin1String(kFrmMenu);
        }
    }
    // A click on a label or on the logo reaches the frame too, passed up from
    // the child; only the frame's own background counts.
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && Frame1->rect().contains(at) && !Frame1->childAt(at)) {
            close();
            return true;
        }
    }
    return FormWindow::eventFilter(watched, event);
}

} // namespace krvx
