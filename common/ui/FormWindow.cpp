#include "common/ui/FormWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

#include "common/ui/FontScale.h"
#include "common/ui/Twips.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

FormWindow::FormWindow(Services& services, const QString& name, const QString& caption, int clientWidthTwips,
                       int clientHeightTwips)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      services_(services) {
    setObjectName(name);
    setWindowTitle(caption);
    setAccessibleName(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(clientWidthTwips), twips(clientHeightTwips));
    fontScaling_ = new FontScaling(this);
}

void FormWindow::placeCentred(const QWidget* over) {
    const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect place(QPoint(), frameGeometry().size());
    place.moveCenter(over && over->isVisible() ? over->frameGeometry().center() : area.center());
    place.moveLeft(std::clamp(place.left(), area.left(), std::max(area.left(), area.right() - place.width())));
    place.moveTop(std::clamp(place.top(), area.top(), std::max(area.top(), area.bottom() - place.height())));
    move(place.topLeft());
}

void FormWindow::setDefaultButton(QPushButton* button) {
    if (defaultButton_) defaultButton_->setDefault(false);
    defaultButton_ = button;
    if (button) button->setDefault(true);
}

void FormWindow::runLoad() {
    loading_ = true;
    load();
    loading_ = false;
    // Placed and loaded for the program's font: from here on the window is
    // scaled for the font the desktop imposes.
    fontScaling_->start();
    if (closeAfterLoad_) {
        closeAfterLoad_ = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (loading_) {
        closeAfterLoad_ = true;
        event->ignore();
        return;
    }
    if (!unloaded_) {
        if (!agreeToClose()) {
            event->ignore();
            return;
        }
        unloaded_ = true;
        {
            UserAction action(services_.messages);
            unload();
        }
        services_.windows.forget(this);
    }
    event->accept();
}

bool FormWindow::agreeToClose() {
    if (!closeAgreed_ && !unloaded_) {
        UserAction action(services_.messages);
        closeAgreed_ = queryUnload();
    }
    return closeAgreed_ || unloaded_;
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        // A focused command button takes Enter itself; on any other control
        // (a box, a list, a check box, an option) Enter presses the window's
        // default button, and does nothing where the window has none. Check
        // boxes and options answer to a click and to Space only.
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* target = focused ? focused : defaultButton_.data();
        if (target && target->isEnabled() && target->isVisible()) {
            target->click();
            event->accept();
            return;
        }
    }
    if (escapeCloses_ && event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace krvx
