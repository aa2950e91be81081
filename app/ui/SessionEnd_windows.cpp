// The end of a run on Windows. A logout or shutdown asks every program to
// commit its data (WM_QUERYENDSESSION, Qt's commitDataRequest) and ends it as
// soon as it has answered the end of the session, so the shut-down runs inside
// that request. taskkill without /f posts WM_CLOSE to each of the program's
// windows: a close that comes through the message queue or from another
// thread is from another program (a user's own close reaches the window
// directly) and ends the whole run, whichever window it was meant for.
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QSessionManager>
#include <cstdio>

#include "common/ui/FormWindow.h"
#include "common/ui/WindowRegistry.h"

#include "app/ui/SessionEnd.h"

namespace krvx {

struct SessionEnd::Platform : QAbstractNativeEventFilter {
    SessionEnd& owner;
    explicit Platform(SessionEnd& session) : owner(session) {}

    // Messages taken from the queue come here with no result to set; those
    // sent straight to a window come with one, and were sent by another
    // program when Windows says so.
    bool nativeEventFilter(const QByteArray& /*type*/, void* message, qintptr* result) override {
        const auto* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam != FALSE) endedByWindows();
        if (msg->message != WM_CLOSE || (result != nullptr && !InSendMessage())) return false;
        if (result != nullptr) *result = 0;
        endNow();
        return true;
    }

    // The session ends: Windows ends the program once it has answered, and
    // leaves it no time to tear its windows down (Wine ends it by a kill
    // then). Once the shut-down has run, every file is saved and the log is
    // closed: the program ends here, with status 0.
    void endedByWindows() {
        endNow();
        if (owner.windows_.window(kFrmMenu) != nullptr) return; // still shutting down
        std::fflush(nullptr);
        TerminateProcess(GetCurrentProcess(), 0);
    }

    // Windows does not wait for the event loop: an open box is closed as if
    // cancelled and the menu closes under it.
    void endNow() {
        owner.endSession();
        owner.closeTheMenu(false);
    }
};

SessionEnd::SessionEnd(WindowRegistry& windows, OncePerActionMessages& messages)
    : windows_(windows), messages_(messages), platform_(std::make_unique<Platform>(*this)) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return;
    app->installEventFilter(this);
    app->installNativeEventFilter(platform_.get());
    if (auto* gui = qobject_cast<QGuiApplication*>(app)) {
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { platform_->endedByWindows(); });
    }
}

SessionEnd::~SessionEnd() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(platform_.get());
}

void SessionEnd::freeReserve() {}

// Windows has no signals: a logout, a shutdown and taskkill reach the program
// as window messages, caught from its start. Nothing to do here.
bool SessionEnd::catchSignals() {
    return true;
}

} // namespace krvx
