#pragma once
// The run ended from outside. On Linux: SIGTERM (logout, shutdown, a service
// manager stopping the user's programs), SIGINT (Ctrl+C in the terminal),
// SIGHUP (the terminal gone) or the desktop session ending (an X11 session
// manager's "die", which reaches the program as a request to quit; its "save
// yourself" alone, a checkpoint, ends nothing). On Windows: a logout or
// shutdown (the session manager's request to commit the data) or a request to
// close that comes from another program (taskkill), whichever window gets it.
// Each runs the main menu's own shut-down, so every window saves its file and
// the debug log is closed, with nobody there to answer a box. On Linux it runs
// in the event loop; further signals let it finish, unless it takes over 5 s:
// then the next one ends the program at once (every save is atomic, no file is
// torn). Signals ignored from the start (nohup) stay ignored. When the X
// server goes away, Qt ends the program by exit(1) from within its event
// processing: the shut-down then runs at once on the way out. Windows ends the
// program as soon as it has answered the end of the session, so there the
// shut-down runs before the answer.

#include <QObject>
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
    // cancelled, every later question is answered No (nothing failed is tried
    // again) and every message goes to stderr.
    void endSession();

    // A request to quit the application runs endSession() first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Closes the menu once no box is open any more (an open one is closed, and
    // the code that opened it finishes first), or at once when that cannot wait.
    void closeTheMenu(bool waitForBoxes = true);
    // Gives back what was kept for the shut-down (on Linux a file descriptor).
    void freeReserve();

    struct Platform; // what the system ends the run by
    WindowRegistry& windows_;
    OncePerActionMessages& messages_;
    int waits_ = 0; // rounds spent waiting for open boxes to go
    std::unique_ptr<Platform> platform_;
};

} // namespace krvx
