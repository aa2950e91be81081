#pragma once
// Opening the display. On Linux, without one (no desktop session, a display
// that cannot be reached, a Wayland session without Qt's Wayland plugin) Qt
// would abort with several lines of its own; the program says so in one
// German line on stderr instead and ends with exit status 1, before it has
// written anything. Windows always has a display.

#include <QApplication>
#include <memory>

namespace krvx {

inline constexpr int kNoDisplayStatus = 1;

// Linux: while it lives, what Qt says from any thread is held back, to be said when it
// ends; a fatal message (no display) ends the program with its one line.
class HeldQtMessages {
public:
    HeldQtMessages();
    ~HeldQtMessages();
    HeldQtMessages(const HeldQtMessages&) = delete;
    HeldQtMessages& operator=(const HeldQtMessages&) = delete;
};

// The application object on the display, or the program ends here.
std::unique_ptr<QApplication> openDisplay(int& argc, char** argv);

// Linux: the line said when there is no display, for these values of DISPLAY and
// WAYLAND_DISPLAY (null when unset).
std::string noDisplayText(const char* display, const char* waylandDisplay);

} // namespace krvx
