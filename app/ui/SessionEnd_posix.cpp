// The end of a run on Linux: SIGTERM, SIGINT and SIGHUP, noted by the signal
// handler in a pipe that the event loop watches; and the display's loss.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "app/ui/SessionEnd.h"
#include "common/ui/WindowNames.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The orderly shut-down waits up to 2 s for open boxes and then saves a few
// small files: what takes longer than this hangs.
constexpr long long kGraceMs = 5000;

// The pipe from the signal handler to the event loop.
int signalPipe[2] = {-1, -1};
// When the first signal came (ms of the monotonic clock), 0 before.
std::atomic<long long> firstSignalMs{0};

// A signal's disposition, except where it was ignored from the start (nohup):
// that stays.
void setDisposition(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) {
        struct sigaction before {};
        if (sigaction(number, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
            sigaction(number, &action, nullptr);
        }
    }
}

// All the handler does: note the signal in the pipe. A further signal lets
// the shut-down finish (a logout sends SIGTERM and SIGHUP at once) unless
// that runs past its grace: then the signal ends the program at once.
extern "C" void noteSignal(int number) {
    const int saved = errno;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ms = now.tv_sec * 1000LL + now.tv_nsec / 1000000 + 1;
    long long first = 0;
    if (!firstSignalMs.compare_exchange_strong(first, ms) && ms - first > kGraceMs) {
        setDisposition(SIG_DFL);
        ::raise(number); // delivered when the handler returns
    }
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

// What the program's end by exit() runs.
struct AtExit {
    virtual void endNow() = 0;

protected:
    ~AtExit() = default;
};

// The session end of the running program, while it lives.
AtExit* endingAtExit = nullptr;
QtMessageHandler qtMessages = nullptr; // the one before noteDisplayLost

extern "C" void endAtExit() {
    if (endingAtExit) std::exchange(endingAtExit, nullptr)->endNow();
}

// When the X server has gone, Qt says so and ends the program by exit(1):
// from its event processing, or where Xlib finds the connection broken. The
// shut-down is put first among what exit() runs, before the end of Qt's own
// objects, which the windows still need.
void noteDisplayLost(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const QCoreApplication* app = QCoreApplication::instance();
    if (type == QtWarningMsg && text.startsWith(QLatin1String("The X11 connection broke")) && app &&
        QThread::currentThread() == app->thread() && endingAtExit) {
        static const bool armed = std::atexit(endAtExit) == 0;
        (void)armed;
    }
    qtMessages(type, context, text);
}

} // namespace

struct SessionEnd::Platform final : AtExit {
    explicit Platform(SessionEnd& session) : owner(session) {}
    SessionEnd& owner;
    std::unique_ptr<QSocketNotifier> notifier;
    // Kept for the shut-down: at the process' file limit the windows still
    // find a descriptor to save their files with.
    int reserve = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

    // The program ends by exit() while its windows still exist: Qt does so
    // from its event processing when the X server has gone. Nothing waits for
    // the event loop now: an open box is closed as if cancelled and the menu
    // closes under it, unless a shut-down has already closed it.
    void endNow() override {
        owner.endSession();
        if (owner.windows_.window(kFrmMenu)) owner.closeTheMenu(false);
    }
};

SessionEnd::SessionEnd(WindowRegistry& windows, OncePerActionMessages& messages)
    : windows_(windows), messages_(messages), platform_(std::make_unique<Platform>(*this)) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    if (!endingAtExit) {
        endingAtExit = platform_.get();
        qtMessages = qInstallMessageHandler(noteDisplayLost);
    }
}

SessionEnd::~SessionEnd() {
    // A normal end: main() has returned, or the windows are gone.
    if (endingAtExit == platform_.get()) {
        endingAtExit = nullptr;
        qInstallMessageHandler(qtMessages);
    }
    freeReserve();
    if (platform_->notifier) {
        // The handler stays: a signal while the program ends is only noted
        // (a logout's SIGHUP right behind its SIGTERM).
        platform_->notifier.reset();
        const int ends[2] = {signalPipe[0], signalPipe[1]};
        signalPipe[0] = signalPipe[1] = -1;
        ::close(ends[0]);
        ::close(ends[1]);
    }
}

void SessionEnd::freeReserve() {
    if (platform_->reserve >= 0) ::close(platform_->reserve);
    platform_->reserve = -1;
}

bool SessionEnd::catchSignals() {
    if (platform_->notifier) return true;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    platform_->notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(platform_->notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        endSession();
    });
    setDisposition(noteSignal);
    return true;
}

} // namespace krvx
