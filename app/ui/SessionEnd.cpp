#include "app/ui/SessionEnd.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <unistd.h>

#include "common/messages.h"
#include "common/ui/FormWindow.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kMaxWaits = 200; // 2 s of 10 ms rounds for open boxes to go
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

// A message box's text for stderr: one line.
std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
}

} // namespace

SessionEnd::SessionEnd(WindowRegistry& windows, OncePerActionMessages& messages)
    : windows_(windows), messages_(messages), reserve_(::open("/dev/null", O_RDONLY | O_CLOEXEC)) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

SessionEnd::~SessionEnd() {
    if (reserve_ >= 0) ::close(reserve_);
    if (notifier_) {
        // The handler stays: a signal while the program ends is only noted
        // (a logout's SIGHUP right behind its SIGTERM).
        notifier_.reset();
        const int ends[2] = {signalPipe[0], signalPipe[1]};
        signalPipe[0] = signalPipe[1] = -1;
        ::close(ends[0]);
        ::close(ends[1]);
    }
}

bool SessionEnd::catchSignals() {
    if (notifier_) return true;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SessionEnd::signalArrived);
    setDisposition(noteSignal);
    return true;
}

void SessionEnd::signalArrived() {
    unsigned char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    endSession();
}

void SessionEnd::endSession() {
    if (messages_.unattended()) return; // already ending
    if (reserve_ >= 0) ::close(reserve_);
    reserve_ = -1;
    messages_.answerUnattended([](std::string_view title, std::string_view text) {
        std::cerr << "korvax-rechner: " << oneLine(title) << ": " << oneLine(text) << std::endl;
    });
    closeTheMenu();
}

bool SessionEnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) endSession();
    return false;
}

void SessionEnd::closeTheMenu() {
    // A message box or input box that is open runs an event loop of its own,
    // and the code that opened it waits for its answer: it is closed first
    // (as if cancelled) and the shut-down runs once that code is done.
    if (QThread::currentThread()->loopLevel() > 1 && waits_ < kMaxWaits) {
        ++waits_;
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        QTimer::singleShot(10, this, &SessionEnd::closeTheMenu);
        return;
    }
    if (windows_.window(kFrmMenu)) {
        windows_.close(kFrmMenu);
    } else {
        QCoreApplication::quit();
    }
}

} // namespace krvx
