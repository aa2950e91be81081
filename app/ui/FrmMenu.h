#pragma once
// The main menu: the program's start-up window. Its load shows it and the
// splash screen, reads the ship catalogue and opens the debug log; its four
// buttons and its "Config" entry open the other windows; closing it closes
// every other window, closes the log and ends the program.

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "common/ui/FormWindow.h"

namespace krvx {

class FrmMenu : public FormWindow {
    Q_OBJECT
public:
    explicit FrmMenu(Services& services);

    void load() override;

protected:
    bool queryUnload() override;
    void unload() override;

private:
    // Writes the routine's start line, shows the window, writes its end line.
    void openWindow(const char* routine, const QString& window);

    QWidget* client_;
    QMenuBar* menuBar_;
    QAction* config_;
    QPushButton* CmdTausch;
    QPushButton* CmdProduktion;
    QPushButton* CmdSchiffpreise;
    QLabel* LblTitel;
    QPushButton* CmdZeit;
};

} // namespace krvx
