// Korvax Rechner: answers its command line, opens the display, enters its
// data folder (the working directory, or the user's data folder with
// --data-folder) unless a program already runs there, creates the
// program-wide services and shows the main menu, whose load starts
// everything else.
#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <filesystem>
#include <iostream>
#include <optional>
#include <system_error>

#include "app/commandline.h"
#include "app/datafolder.h"
#include "app/ui/AllWindows.h"
#include "app/ui/DisplayStart.h"
#include "app/ui/ProgramFonts.h"
#include "common/datafiles.h"
#include "common/ui/ProgramStyle.h"
#include "app/ui/SessionEnd.h"
#include "app/ui/SingleProgram.h"
#include "app/ui/SystemRegional.h"
#include "catalogue/ShipCatalogue.h"
#include "common/debugging.h"
#include "common/paths.h"
#include "common/ui/Controls.h"
#include "common/ui/FontScale.h"
#include "common/ui/QtMessageService.h"
#include "common/ui/Services.h"
#include "common/ui/WindowRegistry.h"
#include "rates/Tausch.h"

int main(int argc, char** argv) {
    // --help and --version need no display, so they come before Qt.
    if (const std::optional<int> status = krvx::answerCommandLine(argc, argv)) {
        return *status;
    }
    const std::unique_ptr<QApplication> app = krvx::openDisplay(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(KRVX_APP_ID));
    krvx::useProgramStyle();
    // The font the windows are placed for; a desktop that imposes its own
    // (a platform theme) gets windows scaled to it.
    krvx::loadProgramFonts();
    QApplication::setFont(krvx::windowFont());

    QTranslator qtTranslations;
    // The whole interface is German, so are Qt's own texts (the standard
    // buttons, the boxes' context menus): from the program's resources where
    // it carries them (Windows has no Qt translations), else the system's.
    for (const QString& folder :
         {QStringLiteral(":/translations"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (qtTranslations.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QApplication::installTranslator(&qtTranslations);
            break;
        }
    }
    krvx::QtMessageService boxes;

    // Qt has taken its own options out of the arguments.
    if (const std::optional<int> status = krvx::prepareStart(argc, argv, boxes)) {
        return *status;
    }
    std::error_code noFolder;
    const std::filesystem::path dataDir = std::filesystem::current_path(noFolder);

    // Two programs in one folder would write each other's files over.
    krvx::SingleProgram single(dataDir, krvx::userRuntimeFolder());
    switch (single.start()) {
    case krvx::SingleProgram::Start::Answered:
        std::cerr << "korvax-rechner: Korvax Rechner läuft schon im Datenordner „" << krvx::utf8Of(dataDir)
                  << "“ und wurde nach vorn geholt." << std::endl;
        return 0;
    case krvx::SingleProgram::Start::NoAnswer:
        boxes.message("Korvax Rechner läuft schon im Datenordner „" + krvx::utf8Of(dataDir) +
                          "“, antwortet aber nicht.\n\nBeenden Sie das laufende Programm (es hält die Sperrdatei „" +
                          krvx::fromQ(single.lockFile()) + "“) und starten Sie Korvax Rechner dann neu.",
                      krvx::kAppTitle, krvx::MessageIcon::Error);
        return 1;
    case krvx::SingleProgram::Start::Elsewhere:
        boxes.message("Korvax Rechner läuft schon im Datenordner „" + krvx::utf8Of(dataDir) +
                          "“, lässt sich von hier aus aber nicht nach vorn holen (es läuft unter einem anderen "
                          "Benutzer oder auf einem anderen Rechner).\n\nZwei Programme in einem Datenordner würden "
                          "einander die Dateien überschreiben: Beenden Sie das andere Programm oder wählen Sie einen "
                          "anderen Datenordner.",
                      krvx::kAppTitle, krvx::MessageIcon::Error);
        return 1;
    case krvx::SingleProgram::Start::Unchecked:
        boxes.message("Im Datenordner „" + krvx::utf8Of(dataDir) + "“ lässt sich keine Sperre anlegen (" +
                          krvx::fromQ(single.problem()) +
                          "). Ein zweiter Start im selben Datenordner wird nicht erkannt.",
                      krvx::kAppTitle);
        break;
    case krvx::SingleProgram::Start::Alone:
        if (!single.problem().isEmpty()) {
            std::cerr << "korvax-rechner: Warnung: " << krvx::fromQ(single.problem())
                      << " Ein zweiter Start im selben Datenordner holt dieses Programm nicht nach vorn." << std::endl;
        }
        break;
    }
    // From here on the data files are named from the folder the program works in.
    const std::filesystem::path here = krvx::dataFilesFolder(dataDir);
    krvx::tidyDataFolder(here);

    const krvx::RegionalSettings regional = krvx::regionalSettingsOf(QLocale::system());
    krvx::SystemFileOps files;
    krvx::Debugging log(here / krvx::kDebugLog, regional, {}, files);
    krvx::ShipCatalogue ships(log);
    krvx::OncePerActionMessages messages(boxes);
    krvx::Tausch tausch(here);
    krvx::WindowRegistry windows;
    krvx::Services services{here, regional, log, ships, tausch, messages, windows, files};

    krvx::registerAllWindows(windows, services);
    QObject::connect(&single, &krvx::SingleProgram::frontWanted, [&windows] { windows.bringToFront(krvx::kFrmMenu); });

    // However the program is told to end (the menu closed, a signal, the
    // desktop session ending, on Windows a close from another program), the
    // menu's shut-down runs: every window saves its file and the debug log is
    // closed.
    krvx::SessionEnd sessionEnd(windows, messages);
    sessionEnd.catchSignals();
    QObject::connect(app.get(), &QCoreApplication::aboutToQuit, [&sessionEnd] { sessionEnd.endSession(); });

    windows.show(krvx::kFrmMenu);
    return QApplication::exec();
}
