// Korvax Rechner: answers its command line, creates the program-wide services
// in the working directory (or the data folder, with --data-folder) and shows
// the main menu, whose load starts everything else.
#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/commandline.h"
#include "app/datafolder.h"
#include "common/debugging.h"
#include "app/ui/AllWindows.h"
#include "app/ui/SystemRegional.h"
#include "catalogue/ShipCatalogue.h"
#include "common/ui/QtMessageService.h"
#include "common/ui/Services.h"
#include "common/ui/WindowRegistry.h"
#include "rates/Tausch.h"

int main(int argc, char** argv) {
    // --help and --version need no display, so they come before Qt.
    if (const std::optional<int> status = krvx::prepareStart(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(KRVX_APP_ID));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));

    const QLocale locale = QLocale::system();
    QTranslator qtTranslations;
    // The whole interface is German, so are the standard buttons of the message boxes.
    if (qtTranslations.load(QLocale(QLocale::German),
                            QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslations);
    }

    std::error_code noFolder;
    const std::filesystem::path dataDir = std::filesystem::current_path(noFolder);
    krvx::tidyDataFolder(dataDir);

    const krvx::RegionalSettings regional = krvx::regionalSettingsOf(locale);
    krvx::SystemFileOps files;
    krvx::Debugging log(dataDir / "KRVXR.debug", regional, {}, files);
    krvx::ShipCatalogue ships(log);
    krvx::QtMessageService boxes;
    krvx::OncePerActionMessages messages(boxes);
    krvx::Tausch tausch(dataDir, messages);
    krvx::WindowRegistry windows;
    krvx::Services services{dataDir, regional, log, ships, tausch, messages, windows, files};

    krvx::registerAllWindows(windows, services);
    windows.show(QStringLiteral("FrmMenu"));
    // However the program is told to end (the menu closed, the desktop session
    // ending), the menu's shut-down runs: every window saves its file and the
    // debug log is closed.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&windows] { windows.close(QStringLiteral("FrmMenu")); });
    return QApplication::exec();
}
