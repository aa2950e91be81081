#pragma once
// The flight time calculator "Reisezeit": start and target planet, a ship or a
// typed speed, and a start or arrival time; shows the duration and the other
// time. Owns the planet list, read from planeten.dat at load and written back
// at unload.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <cstdint>
#include <string>

#include "common/ui/FormWindow.h"
#include "flight/FlightForm.h"
#include "flight/Planeten.h"
#include "flight/PlanetenDat.h"

namespace krvx {

class FrmZeit : public FormWindow {
    Q_OBJECT
public:
    explicit FrmZeit(Services& services);

    void load() override;

    // Appends the planet to the list and to both planet lists, then selects
    // the second planet in both. false (and nothing changed) when the list is full.
    bool addPlanet(const std::string& name, std::int16_t Galaxie, std::int16_t System, std::int16_t Planet);

    const Planeten& planeten() const { return Planeten_; }

protected:
    void unload() override;

private:
    FlightFormState formState() const;
    void showState(const FlightFormState& state);
    void setSpeedFromShip();
    void recomputeAll();
    void arrivalStepOnly();
    void startStepOnly();

    Planeten Planeten_;
    PlanetFileState fileState_ = PlanetFileState::Missing;
    bool loading_ = false;
    QStringList loadedNames_;  // the planets read at load, put into the lists at once
    bool added_ = false;

    QLabel* LblStart;
    QComboBox* CmbStart;
    QLabel* LblZiel;
    QComboBox* CmbZiel;
    QPushButton* CmdNeuerPlanet;
    QComboBox* CmbSchiff;
    QLabel* LblGeschwindigkeit;
    QLineEdit* TxtGeschwindigkeit;
    QLabel* LblStartzeit;
    QLineEdit* TxtStart;
    QLabel* LblDauer;
    QLineEdit* TxtDauer;
    QLabel* LblAnkunft;
    QLineEdit* TxtAnkunft;
    QRadioButton* OptAnkunft;
    QRadioButton* OptStart;
};

} // namespace krvx
