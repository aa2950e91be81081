#include "app/ui/FrmMenu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QIcon>
#include <QTimer>
#include <exception>

#include "common/datafiles.h"
#include "common/debugging.h"
#include "app/ui/AllWindows.h"
#include "app/ui/Logo.h"
#include "catalogue/SchiffeDat.h"
#include "common/ui/Controls.h"
#include "common/ui/FormEvents.h"
#include "common/ui/Twips.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

namespace {

constexpr int kClientWidth = 4380;
constexpr int kClientHeight = 2610;

// Start-up steps that fail are skipped: the menu always opens.
template <class Step>
void ignoringErrors(Step step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

FrmMenu::FrmMenu(Services& services) : FormWindow(services, kFrmMenu, toQ(kAppTitle), kClientWidth, kClientHeight) {
    // The player keeps the program open beside the game: the menu can be
    // minimised (its size stays fixed, so it has no maximise button).
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    // The program's icon, in every window's title bar, once the menu is on
    // screen: it need not hold up the first sight of the menu.
    QTimer::singleShot(0, this, [] { QApplication::setWindowIcon(programIcon()); });

    // The menu bar sits above the client area, which keeps its full size.
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    config_ = menuBar_->addAction(QStringLiteral("Config"));
    config_->setObjectName(QStringLiteral("config"));
    const int barHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, twips(kClientWidth), barHeight);
    setFixedSize(twips(kClientWidth), twips(kClientHeight) + barHeight);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setGeometry(0, barHeight, twips(kClientWidth), twips(kClientHeight));

    CmdTausch = makeButton(client_, "CmdTausch", QStringLiteral("Tausch-Rechner"), {360, 240, 1695, 615},
                           QStringLiteral("Errechnen Sie die Tauschkurse"));
    CmdProduktion =
        makeButton(client_, "CmdProduktion", QStringLiteral("Produktionszeiten"), {2280, 240, 1695, 615},
                   QStringLiteral("Berrechnen Sie die Zeit um eine bestimmte Menge an Rohstoffen zu produzieren"));
    CmdSchiffpreise = makeButton(client_, "CmdSchiffpreise", QStringLiteral("Schiffspreise"), {360, 960, 1695, 615},
                                 QStringLiteral("Berrechnen Sie den Rohstoffverbrauch beim Schiffsbau"));
    LblTitel = makeLabel(client_, "LblTitel", QStringLiteral("KORVAX RECHNER"), {360, 1800, 3660, 615});
    CmdZeit = makeButton(client_, "CmdZeit", QStringLiteral("Reisezeit"), {2280, 960, 1695, 615},
                         QString::fromUtf8("Berechnen Sie die Dauer ihres Fluges und wählen sie die "
                                           "Ankunfts- bzw. Startzeiten aus"));

    // The title in a large decorative face.
    QFont title(QStringLiteral("Liberation Serif"));
    title.setStyleHint(QFont::Decorative);
    title.setPointSizeF(14.25);
    title.setWeight(QFont::ExtraBold);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    LblTitel->setFont(title);
    LblTitel->setAlignment(Qt::AlignCenter);

    setFocusChain({CmdTausch, CmdProduktion, CmdSchiffpreise, CmdZeit});

    OncePerActionMessages& messages = services.messages;
    onClick(CmdZeit, messages, [this] { openWindow("CmdZeit_Click", kFrmZeit); });
    onClick(CmdSchiffpreise, messages, [this] { openWindow("CmdSchiffspreise_Click", kFrmSchiffspreise); });
    onClick(CmdProduktion, messages, [this] { openWindow("CmdProduktion_Click", kFrmProdZeit); });
    onClick(CmdTausch, messages, [this] { openWindow("CmdTausch_Click", kFrmTausch); });
    connect(config_, &QAction::triggered, this, [this] {
        UserAction action(this->services().messages);
        openWindow("Config_Click", kFrmConfig3);
    });
}

void FrmMenu::openWindow(const char* routine, const QString& window) {
    const LogRoutine logged(services().log, routine);
    services().windows.show(window);
}

void FrmMenu::load() {
    Services& s = services();
    show();
    ignoringErrors([&] {
        if (QWidget* splash = s.windows.show(kFrmSplash)) {
            // Whoever showed the menu raises it after this load; the splash
            // then takes the front and the keyboard back.
            QTimer::singleShot(0, splash, [splash] {
                splash->raise();
                splash->activateWindow();
            });
        }
    });
    ignoringErrors([&] { loadSchiffe(s.ships, s.file(kSchiffeDat), SpeedWidth::Bits16); });
    ignoringErrors([&] { s.log.beginDebugging(); });
}

bool FrmMenu::queryUnload() {
    // Every window that may keep the program open (the catalogue editor's
    // save question answered with Abbrechen) is asked before any closes, so
    // that a stopped ending leaves every window as it was.
    for (const QString& name : shutDownOrder()) {
        FormWindow* window = services().windows.window(name);
        if (window && !window->agreeToClose()) return false;
    }
    return true;
}

void FrmMenu::unload() {
    Services& s = services();
    for (const QString& name : shutDownOrder()) {
        s.windows.close(name);
    }
    s.log.endDebugging();
    // The program ends once the menu is gone.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace krvx
