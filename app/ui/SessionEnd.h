#pragma once
// The run ended from outside: SIGTERM (logout, shutdown, a service manager
// stopping the user's programs), SIGINT (Ctrl+C in the terminal), SIGHUP (the
// terminal gone) or an X11 session manager ending the session. Each runs the
// main menu's own shut-down in the event loop, so every window saves its file
// and the debug log is closed, with nobody there to answer a box. A second
// signal during that shut-down ends the program at once.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace krvx {

class OncePerActionMessages;
class WindowRegistry;

class SessionEnd : public QObject {
    Q_OBJECT
public:
    SessionEnd(WindowRegistry& windows, OncePerActionMessages& messages);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    // Catches SIGTERM, SIGINT and SIGHUP from now on. False when that was not
    // possible (the signals then end the program as they always do).
    bool catchSignals();

    // The menu's shut-down, unattended: an open message box is closed as if
    // cancelled, every later question is answered No and every message goes
    // to stderr.
    void endSession();

private:
    void signalArrived();
    void closeTheMenu();

    WindowRegistry& windows_;
    OncePerActionMessages& messages_;
    std::unique_ptr<QSocketNotifier> notifier_;
    int waits_ = 0;  // rounds spent waiting for open boxes to go
};

} // namespace krvx
