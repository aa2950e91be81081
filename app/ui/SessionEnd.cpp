#include "app/ui/SessionEnd.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <csignal>
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
constexpr int kMaxWaits = 200;  // 2 s of 10 ms rounds for open boxes to go

// The pipe from the signal handler to the event loop.
int signalPipe[2] = {-1, -1};

// All the handler does: note the signal in the pipe.
extern "C" void noteSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

void setDisposition(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) sigaction(number, &action, nullptr);
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
    : windows_(windows), messages_(messages) {}

SessionEnd::~SessionEnd() {
    if (notifier_) {
        setDisposition(SIG_DFL);
        notifier_.reset();
        ::close(signalPipe[0]);
        ::close(signalPipe[1]);
        signalPipe[0] = signalPipe[1] = -1;
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
    // From now on a signal ends the program at once: the shut-down may be
    // what hangs. Every save replaces its file atomically, so none is torn.
    setDisposition(SIG_DFL);
    endSession();
}

void SessionEnd::endSession() {
    if (messages_.unattended()) return;  // already ending
    messages_.answerUnattended([](std::string_view title, std::string_view text) {
        std::cerr << "korvax-rechner: " << oneLine(title) << ": " << oneLine(text) << std::endl;
    });
    closeTheMenu();
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
