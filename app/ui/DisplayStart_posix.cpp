// Opening the display on Linux, where there may be none.
#include "app/ui/DisplayStart.h"

#include <QByteArray>
#include <QList>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <unistd.h>

namespace krvx {

namespace {

struct Held {
    QtMsgType type;
    const char* file; // the context's texts are Qt's own constants
    int line;
    const char* function;
    const char* category;
    QString text;
};

// What Qt says while the display opens, from any of its threads: held back,
// and said after all when the display opened; replaced by the program's one
// line when it did not.
std::mutex heldLock;
std::optional<QList<Held>> heldMessages; // guarded by heldLock; empty when nothing is held
QtMessageHandler previousHandler = nullptr;

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const std::string line = noDisplayText(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        ::_exit(kNoDisplayStatus);
    }
    {
        const std::lock_guard<std::mutex> lock(heldLock);
        if (heldMessages) {
            heldMessages->append(Held{type, context.file, context.line, context.function, context.category, text});
            return;
        }
    }
    qt_message_output(type, context, text); // a thread came in as the holding ended
}

} // namespace

std::string noDisplayText(const char* display, const char* waylandDisplay) {
    const bool x11 = display != nullptr && *display != '\0';
    const bool wayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    std::string line = "korvax-rechner: ";
    if (!x11 && !wayland) {
        line +=
            "Keine grafische Anzeige: Korvax Rechner braucht eine Desktop-Sitzung (DISPLAY oder "
            "WAYLAND_DISPLAY ist nicht gesetzt).";
    } else if (!x11) {
        line += "Die Wayland-Anzeige „" + std::string(waylandDisplay) +
                "“ lässt sich nicht öffnen (ist das Paket qt6-wayland installiert?).";
    } else {
        line += "Die grafische Anzeige „" + std::string(display) + "“ lässt sich nicht öffnen.";
    }
    return line + "\n";
}

HeldQtMessages::HeldQtMessages() {
    const std::lock_guard<std::mutex> lock(heldLock);
    heldMessages.emplace();
    previousHandler = qInstallMessageHandler(holdOrEnd);
}

HeldQtMessages::~HeldQtMessages() {
    QList<Held> held;
    {
        const std::lock_guard<std::mutex> lock(heldLock);
        qInstallMessageHandler(previousHandler);
        held.swap(*heldMessages);
        heldMessages.reset();
    }
    for (const Held& message : held) {
        const QMessageLogContext context(message.file, message.line, message.function, message.category);
        qt_message_output(message.type, context, message.text);
    }
}

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv) {
    // From here on, a note on a stderr whose reader has gone (a closed
    // terminal's tee) fails instead of ending the program unsaved.
    std::signal(SIGPIPE, SIG_IGN);
    const HeldQtMessages held;
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace krvx
