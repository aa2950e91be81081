#pragma once
// Every window exists at most once and is reachable by its name (kFrmZeit,
// kFrmTausch, ... of WindowNames.h). The registry creates a window on first
// use from its factory, loads it, shows it modeless and raises it; showing an
// open window only raises it. A closed window is deleted, so its next opening loads it afresh.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "common/ui/WindowNames.h"

namespace krvx {

class FormWindow;

class WindowRegistry {
public:
    using Factory = std::function<FormWindow*()>;

    void registerWindow(const QString& name, Factory factory);
    bool knows(const QString& name) const;

    // Creates and loads the window when it is not open, then shows, raises and
    // activates it. nullptr when no window of that name is registered.
    FormWindow* show(const QString& name);
    template <class T>
    T* show(const QString& name) {
        return dynamic_cast<T*>(show(name));
    }

    // The open window of that name, or nullptr.
    FormWindow* window(const QString& name) const;
    template <class T>
    T* window(const QString& name) const {
        return dynamic_cast<T*>(window(name));
    }

    // Closes the window when it is open (its unload runs); does nothing otherwise.
    // A window that refuses to close stays open and registered.
    void close(const QString& name);

    // Raises every open window and then the window first, which also takes
    // the keyboard, unless a box waits for an answer: that stays in front.
    // What a second start of the program asks for.
    void bringToFront(const QString& first);

    // Called by a window while it closes: from then on it counts as not open.
    void forget(const FormWindow* window);

private:
    std::map<QString, Factory> factories_;
    std::map<QString, QPointer<FormWindow>> open_;
};

} // namespace krvx
