#pragma once
// The splash screen the menu shows over itself at start-up: the program's
// title, version and a warning. It closes after 2.5 seconds, on a key press,
// or on a click on the background of its frame (not on a label or the logo).

#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include "common/ui/FormWindow.h"

namespace krvx {

class FrmSplash : public FormWindow {
    Q_OBJECT
public:
    explicit FrmSplash(Services& services);

    void load() override;

    static constexpr int kCloseAfterMs = 2500;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* Frame1;
    QLabel* imgLogo;
    QLabel* lblProductName;
    QLabel* lblPlatform;
    QLabel* lblVersion;
    QLabel* lblWarning;
    QTimer* Timer1;
};

} // namespace krvx
