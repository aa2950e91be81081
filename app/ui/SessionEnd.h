#pragma once
// The run ended from outside: SIGTERM (logout, shutdown, a service manager
// stopping the user's programs), SIGINT (Ctrl+C in the terminal), SIGHUP (the
// terminal gone) or the desktop session ending (an X11 session manager's
// "die", which reaches the program as a request to quit; its "save yourself"
// alone, a checkpoint, ends nothing). Each runs the
// main menu's own shut-down in the event loop, so every window saves its file
// and the debug log is closed, with nobody there to answer a box. Further
// signals let that shut-down finish, unless it takes over 5 s: then the next
// one ends the program at once (every save is atomic, no file is torn).
// Signals ignored from the start (nohup) stay ignored.

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

    // A request to quit the application runs endSession() first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void signalArrived();
    void closeTheMenu();

    WindowRegistry& windows_;
    OncePerActionMessages& messages_;
    std::unique_ptr<QSocketNotifier> notifier_;
    int waits_ = 0; // rounds spent waiting for open boxes to go
    // Kept for the shut-down: at the process' file limit the windows still
    // find a descriptor to save their files with.
    int reserve_;
};

} // namespace krvx
