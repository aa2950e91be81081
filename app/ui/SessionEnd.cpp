#include "app/ui/SessionEnd.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <iostream>
#include <string>

#include "common/messages.h"
#include "common/ui/FormWindow.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

namespace {

constexpr int kMaxWaits = 200; // 2 s of 10 ms rounds for open boxes to go

// A message box's text for stderr: one line.
std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
}

} // namespace

void SessionEnd::endSession() {
    if (messages_.unattended()) return; // already ending
    freeReserve();
    messages_.answerUnattended([](std::string_view title, std::string_view text) {
        std::cerr << "korvax-rechner: " << oneLine(title) << ": " << oneLine(text) << std::endl;
    });
    closeTheMenu();
}

bool SessionEnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) endSession();
    return false;
}

void SessionEnd::closeTheMenu(bool waitForBoxes) {
    // A message box or input box that is open runs an event loop of its own,
    // and the code that opened it waits for its answer: it is closed first
    // (as if cancelled) and the shut-down runs once that code is done.
    if (QThread::currentThread()->loopLevel() > 1 && (waits_ < kMaxWaits || !waitForBoxes)) {
        ++waits_;
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        if (waitForBoxes) {
            QTimer::singleShot(10, this, [this] { closeTheMenu(); });
            return;
        }
    }
    if (windows_.window(kFrmMenu)) {
        windows_.close(kFrmMenu);
    } else {
        QCoreApplication::quit();
    }
}

} // namespace krvx
