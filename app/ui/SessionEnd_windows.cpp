// The end of a run on Windows. A logout or shutdown asks every program to
// commit its data (WM_QUERYENDSESSION, Qt's commitDataRequest) and ends it as
// soon as it has answered the end of the session, so the shut-down runs inside
// that request. taskkill without /f posts WM_CLOSE to each of the program's
// windows: a close that comes through the message queue is from another
// program (a user's own close reaches the window directly) and ends the whole
// run, whichever window it was posted to.
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QSessionManager>

#include "app/ui/SessionEnd.h"

namespace krvx {

struct SessionEnd::Platform : QAbstractNativeEventFilter {
    SessionEnd& owner;
    explicit Platform(SessionEnd& session)
        : owner(session) {}

    // Messages taken from the queue come here with no result to set; those
    // sent straight to a window come with one.
    bool nativeEventFilter(const QByteArray& /*type*/, void* message, qintptr* result) override {
        const auto* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_CLOSE || result != nullptr) return false;
        endNow();
        return true;
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
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { platform_->endNow(); });
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
