#include "common/ui/WindowRegistry.h"

#include <QApplication>

#include "common/ui/FormWindow.h"

namespace krvx {

void WindowRegistry::registerWindow(const QString& name, Factory factory) {
    factories_[name] = std::move(factory);
}

bool WindowRegistry::knows(const QString& name) const {
    return factories_.count(name) > 0;
}

FormWindow* WindowRegistry::show(const QString& name) {
    FormWindow* form = window(name);
    if (!form) {
        auto factory = factories_.find(name);
        if (factory == factories_.end()) return nullptr;
        form = factory->second();
        open_[name] = form;
        form->runLoad();
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

FormWindow* WindowRegistry::window(const QString& name) const {
    auto it = open_.find(name);
    return it == open_.end() ? nullptr : it->second.data();
}

void WindowRegistry::close(const QString& name) {
    FormWindow* form = window(name);
    if (!form) {
        open_.erase(name);
        return;
    }
    form->close(); // its close forgets it, unless the window chose to stay open
}

void WindowRegistry::bringToFront(const QString& first) {
    for (const auto& [name, form] : open_) {
        if (form && name != first) form->raise();
    }
    if (FormWindow* form = window(first)) {
        if (form->isMinimized()) form->showNormal();
        form->raise();
        form->activateWindow();
    }
    // A box waiting for an answer blocks every window: it stays in front of
    // them and keeps the keyboard, or the player would face a window that
    // does not answer with the box hidden behind it.
    if (QWidget* box = QApplication::activeModalWidget()) {
        box->raise();
        box->activateWindow();
    }
}

void WindowRegistry::forget(const FormWindow* form) {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->second == form) {
            open_.erase(it);
            return;
        }
    }
}

} // namespace krvx
