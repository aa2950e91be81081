#pragma once
// Keeps what the player entered on disk soon after he entered it, so that a
// lost display, a kill or a crash loses none of it: each change starts the
// wait anew, and when the wait ends the window's save runs without a word (no
// box, no question, no debug line). The close still saves and reports as before.

#include <QObject>
#include <QTimer>
#include <functional>

namespace krvx {

class QuietSave : public QObject {
    Q_OBJECT
public:
    static constexpr int kWaitMs = 2000;

    // A child of the window, named "QuietSave"; save runs when the wait ends.
    QuietSave(QObject* window, std::function<void()> save);

    void changed() { timer_.start(); }
    bool waiting() const { return timer_.isActive(); }
    // Saves at once what is waiting (the end of the wait, brought forward).
    void saveNow();
    // Drops a waiting save: the close saves itself.
    void cancel() { timer_.stop(); }

private:
    QTimer timer_;
    std::function<void()> save_;
};

} // namespace krvx
