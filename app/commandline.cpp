#include "app/commandline.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <ostream>
#include <string_view>
#include <system_error>

#include "app/datafolder.h"
#include "app/version.h"
#include "common/messages.h"
#include "common/paths.h"

namespace fs = std::filesystem;

namespace krvx {

namespace {

constexpr std::string_view kProgram = "korvax-rechner";

// Qt's own options, which QApplication takes out of the arguments itself;
// Qt reads them with one dash or two.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "name",          "title",   "visual"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "widgetcount", "nograb",
                                                      "dograb",  "sync",        "testability"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

CommandLine failure(std::string message) {
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.error = std::move(message);
    return result;
}

std::string inQuotes(std::string_view text) {
    return "„" + std::string(text) + "“";
}

// A start that cannot go on: said on the terminal, and in a box for a player
// who started the program from the desktop's menu and sees no terminal.
int refuseStart(const std::string& text, std::ostream& err, MessageService& boxes) {
    err << kProgram << ": " << text << "\n" << std::flush;
    boxes.message(text, kAppTitle, MessageIcon::Error);
    return 1;
}

// The seeding's failure is no reason to stop: the program runs without that file.
void warnSeeding(const SeedResult& seeded, std::ostream& err) {
    if (!seeded.error.empty()) {
        err << kProgram << ": Warnung: " << seeded.error << "\n" << std::flush;
    }
}

// Creates, seeds and enters the data folder (the one named after
// --data-folder, else the user's); the exit status when it cannot.
std::optional<int> enterDataFolder(const std::string& named, const fs::path& executable, std::ostream& err,
                                   MessageService& boxes) {
    std::string unknown;
    std::error_code noPath;
    const std::optional<fs::path> folder =
        named.empty() ? userDataFolder(unknown) : fs::absolute(pathOfUtf8(named), noPath);
    if (!folder) {
        return refuseStart(unknown, err, boxes);
    }
    const DataFolderResult prepared = prepareDataFolder(*folder, seedFolderFor(executable));
    if (!prepared.error.empty()) {
        return refuseStart(prepared.error, err, boxes);
    }
    warnSeeding(prepared.seeded, err);
    std::error_code entered;
    fs::current_path(*folder, entered);
    if (entered) {
        return refuseStart(
            "Der Datenordner " + inQuotes(utf8Of(*folder)) + " lässt sich nicht öffnen: " + entered.message(), err,
            boxes);
    }
    return std::nullopt;
}

// Whether the program was started in the folder its own file lies in.
bool inProgramFolder(const fs::path& executable) {
    std::error_code unknown;
    return fs::equivalent(fs::current_path(unknown), executable.parent_path(), unknown) && !unknown;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
            return failure("überzähliges Argument " + inQuotes(arg));
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            result.action = CommandLine::Action::Help;
            return result;
        } else if (arg == "--version") {
            result.action = CommandLine::Action::Version;
            return result;
        } else if (arg == "--data-folder" || arg.rfind("--data-folder=", 0) == 0) {
            // An optional folder: after "=", or as the next argument unless that is an option.
            result.dataFolder = true;
            if (arg.size() > std::string_view("--data-folder").size()) {
                result.folder = arg.substr(arg.find('=') + 1);
                if (result.folder.empty()) return failure("die Option „--data-folder=“ verlangt einen Ordner");
            } else if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1].front() != '-') {
                result.folder = args[++i];
            }
        } else if (arg.rfind("--help=", 0) == 0 || arg.rfind("--version=", 0) == 0) {
            return failure("die Option " + inQuotes(arg.substr(0, arg.find('='))) + " erlaubt kein Argument");
        } else {
            const std::string_view bare = std::string_view(arg).substr(arg.rfind("--", 0) == 0 ? 2 : 1);
            const std::string_view name = bare.substr(0, bare.find('='));
            if (listed(kQtFlags, bare) || (listed(kQtOptionsWithValue, name) && name.size() < bare.size())) {
                continue;
            }
            if (!listed(kQtOptionsWithValue, bare)) {
                return failure("unbekannte Option " + inQuotes(arg));
            }
            if (i + 1 == args.size()) {
                return failure("die Option " + inQuotes(arg) + " verlangt ein Argument");
            }
            ++i;
        }
    }
    return result;
}

std::string helpText() {
    return "Aufruf: korvax-rechner [OPTION]...\n"
           "Korvax Rechner: Reisezeit, Schiffspreise, Produktionszeiten und Tausch-Rechner\n"
           "für das Weltraum-Strategiespiel Korvax.\n"
           "\n"
           "Ohne Option arbeitet das Programm im aktuellen Verzeichnis: dort liest und\n"
           "schreibt es schiffe.dat, planeten.dat, die Kursdateien und KRVXR.debug.\n"
           "Im eigenen Programmordner gestartet, arbeitet es im Datenordner.\n"
           "\n"
           "      --data-folder [ORDNER]\n"
           "                     im Datenordner " +
           platform::dataFolderShown() +
           "\n"
           "                       arbeiten, mit ORDNER in diesem Ordner (etwa dem des\n"
           "                       alten Rechners); ein Ordner ohne Datendateien wird\n"
           "                       angelegt und mit Beispieldateien gefüllt, vorhandene\n"
           "                       Dateien bleiben unverändert\n"
           "      --help         diese Hilfe anzeigen und beenden\n"
           "      --version      Versionsinformation anzeigen und beenden\n"
           "\n"
           "Die Optionen von Qt (etwa -platform, -display, -style) werden an Qt\n"
           "weitergegeben.\n"
           "\n"
           "Läuft das Programm im selben Datenordner schon, wird es nach vorn geholt und\n"
           "der zweite Start endet. " +
           platform::endedFromOutside() +
           "das Schließen des Hauptmenüs: jedes Fenster speichert seine Datei.\n"
           "\n"
           "Exit-Status: 0 bei Erfolg (auch wenn das laufende Programm nach vorn geholt\n"
           "wurde), 1 ohne grafische Anzeige, wenn der Datenordner nicht angelegt werden\n"
           "kann, das aktuelle Verzeichnis nicht erreichbar ist oder das laufende Programm\n"
           "nicht antwortet, 2 bei falschen Argumenten.\n";
}

std::string versionNotice() {
    return std::string(kProgram) + " " + versionNumber(programVersion()) + "\n" +
           "Lizenz GPLv3+: GNU GPL Version 3 oder neuer <https://gnu.org/licenses/gpl.html>.\n"
           "Dies ist freie Software: Sie dürfen sie verändern und weitergeben.\n"
           "Es gibt KEINE GARANTIE, soweit gesetzlich zulässig.\n";
}

std::optional<int> answerCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine line = parseCommandLine(args);
    switch (line.action) {
    case CommandLine::Action::Help:
        out << helpText() << std::flush;
        return 0;
    case CommandLine::Action::Version:
        out << versionNotice() << std::flush;
        return 0;
    case CommandLine::Action::Fail:
        err << kProgram << ": " << line.error << "\n"
            << "„" << kProgram << " --help“ zeigt, welche Optionen es gibt.\n"
            << std::flush;
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    return std::nullopt;
}

std::optional<int> prepareStart(const std::vector<std::string>& args, const fs::path& executable, std::ostream& out,
                                std::ostream& err, MessageService& boxes) {
    if (const std::optional<int> status = answerCommandLine(args, out, err)) {
        return status;
    }
    const CommandLine line = parseCommandLine(args);
    if (line.dataFolder) {
        if (const std::optional<int> status = enterDataFolder(line.folder, executable, err, boxes)) return status;
    } else if (inProgramFolder(executable)) {
        if (!platform::programFolderHoldsData(executable)) {
            if (const std::optional<int> status = enterDataFolder({}, executable, err, boxes)) return status;
        } else {
            warnSeeding(prepareDataFolder(executable.parent_path(), seedFolderFor(executable)).seeded, err);
        }
    }
    // Every file is read and written in the working directory by its whole
    // path, which must be known and leave room for a file name of any length.
    std::error_code unreachable;
    const fs::path here = fs::current_path(unreachable);
    if (!unreachable && !platform::roomForFileNames(here)) {
        unreachable = std::make_error_code(std::errc::filename_too_long);
    }
    if (unreachable) {
        return refuseStart("Das aktuelle Verzeichnis ist nicht erreichbar: " + unreachable.message(), err, boxes);
    }
    return std::nullopt;
}

std::optional<int> prepareStart(int argc, char** argv, MessageService& boxes) {
    return prepareStart(platform::arguments(argc, argv), platform::programFile(argc, argv), std::cout, std::cerr,
                        boxes);
}

} // namespace krvx
