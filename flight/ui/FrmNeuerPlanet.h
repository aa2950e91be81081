#pragma once
// The dialog "Neuer Planet": a name and three coordinates, added to the planet
// list of the flight time window with "Hinzufügen" (also Enter in any box).

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/ui/FormWindow.h"

namespace krvx {

class FrmNeuerPlanet : public FormWindow {
    Q_OBJECT
public:
    explicit FrmNeuerPlanet(Services& services);

private:
    void add();

    QLabel* LblName;
    QLineEdit* TxtName;
    QLabel* LblKoordinaten;
    // The coordinates: whole-field numbers, not 0, rounded to 16 bits
    // (docs/number-rules.md).
    QLineEdit* TxtGal;
    QLineEdit* TxtSys;
    QLineEdit* TxtPlanet;
    QPushButton* CmdAdd;
};

} // namespace krvx
