#pragma once
// The flight time calculator "Reisezeit": start and target planet, a ship or a
// typed speed, and a start or arrival time; shows the duration and the other
// time. Owns the planet list, read from planeten.dat at load and written back
// soon after a planet is added and at unload.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <cstdint>
#include <string>

#include "common/ui/FormWindow.h"
#include "common/ui/QuietSave.h"
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
    // Runs the step on the boxes' texts, writes its debug lines, shows its results.
    void runStep(DebugLines (*step)(FlightFormState&, const Planeten&));

    Planeten Planeten_;
    FileState fileState_ = FileState::Missing;
    bool loading_ = false;
    QStringList loadedNames_; // the planets read at load, put into the lists at once
    bool added_ = false;
    QuietSave* quietSave_; // added planets are on disk soon, not only at the close

    // How each box reads a number: docs/number-rules.md.
    QLabel* LblStart;
    QComboBox* CmbStart; // a planet name, chosen from the list
    QLabel* LblZiel;
    QComboBox* CmbZiel; // a planet name, chosen from the list
    QPushButton* CmdNeuerPlanet;
    QComboBox* CmbSchiff; // a ship name, compared exactly
    QLabel* LblGeschwindigkeit;
    QLineEdit* TxtGeschwindigkeit; // leading number
    QLabel* LblStartzeit;
    QLineEdit* TxtStart; // clock time: a leading number on each side of ':', rounded to 16 bits
    QLabel* LblDauer;
    QLineEdit* TxtDauer; // result only
    QLabel* LblAnkunft;
    QLineEdit* TxtAnkunft; // clock time, as TxtStart
    QRadioButton* OptAnkunft;
    QRadioButton* OptStart;
};

} // namespace krvx
