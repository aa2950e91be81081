#pragma once
// The base of every window: a fixed-size top-level window placed in twips
// (scaled for the desktop's font, see FontScale.h), with the old form model's
// load and unload, the default button, and the
// lost-focus, got-focus and key-released events.

#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "common/ui/Services.h"
#include "common/ui/WindowNames.h"

namespace krvx {

class FontScaling;

class FormWindow : public QWidget {
    Q_OBJECT
public:
    // name: the window's program-wide name, also its objectName; caption: its
    // title; the client area in twips.
    FormWindow(Services& services, const QString& name, const QString& caption, int clientWidthTwips,
               int clientHeightTwips);

    Services& services() const { return services_; }

    // Centres the window over another one (when it is shown) or else on the
    // screen, always kept inside the screen's free area.
    void placeCentred(const QWidget* over = nullptr);

    // Runs load() once. Showing a window can make Qt deliver pending events
    // while load() still runs; a close that arrives then (the user closing the
    // menu while it starts up) waits until load() is done and closes the
    // window right after, with its full unload.
    void runLoad();

    // Asks the window whether it may close now (the catalogue editor's save
    // question). Once it has agreed it is not asked again: its close then
    // goes ahead. False keeps it open, the user goes on working in it.
    bool agreeToClose();

protected:
    // Load: runs once after construction, before the window is first shown.
    virtual void load() {}

    // Asked before the window closes (by the user, the registry or the menu's
    // shut-down): false keeps it open, and nothing of its unload runs.
    virtual bool queryUnload() { return true; }

    // Unload: runs when the window closes, once queryUnload has agreed,
    // before it is deleted.
    virtual void unload() {}

    // Enter (Return or keypad Enter) clicks this button when it is enabled,
    // wherever the focus is, except on another command button, which takes
    // Enter itself. The button is drawn as the default one.
    void setDefaultButton(QPushButton* button);

    // Escape, wherever the focus is, closes the window as its close button
    // does (the save question included), in a window where Escape has no
    // other meaning.
    void setEscapeCloses() { escapeCloses_ = true; }

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Services& services_;
    QPointer<QPushButton> defaultButton_;
    bool escapeCloses_ = false;
    bool unloaded_ = false;
    bool closeAgreed_ = false;
    bool loading_ = false;
    bool closeAfterLoad_ = false;
    FontScaling* fontScaling_; // a child of the window
};

} // namespace krvx
