#pragma once
// The exchange calculator's window "Tauschrechner": five amounts and credits
// on the left, the results on the right, the first action above them. Every
// change of an input and every click of a first action recomputes; the five
// amounts are kept in tausch.dat between runs.

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <string>
#include <string_view>

#include "common/ui/FormWindow.h"
#include "exchange/TauschDat.h"
#include "exchange/TauschFelder.h"

namespace krvx {

class FrmTausch : public FormWindow, private TauschFelder {
    Q_OBJECT
public:
    explicit FrmTausch(Services& services);

    // Reads tausch.dat into the five amounts (each changed text recomputes).
    void load() override;

    // The hand-over from the ship cost window, after showing this window
    // through the registry (which loads it first): the five amounts in the
    // order Erz ... Ene, each text that differs from its box's running the
    // computation through its change event, then OptKauf and its click handler.
    void uebernehmen(const Mengen& amounts);

protected:
    // Writes tausch.dat.
    void unload() override;

private:
    // Sets the five amounts, TxtErz ... TxtEne.
    void setMengen(const Mengen& amounts);
    std::string text(Feld field) const override;
    void setText(Feld field, std::string_view text) override;
    std::optional<Aktion> aktion() const override;

    void TauschBerechnen();
    // The boxes' accessible names follow the frames' captions.
    void nameBoxes();
    void raiseMenu();
    void placeOverMenu();

    std::array<QLineEdit*, kFelder> boxes_{};
    QRadioButton* optKauf_ = nullptr;
    QRadioButton* optVerkauf_ = nullptr;
    QRadioButton* optRH_ = nullptr;
    QRadioButton* opt2Kauf_ = nullptr;
    QRadioButton* opt2Verkauf_ = nullptr;
    QRadioButton* opt2Rh_ = nullptr;
    QGroupBox* frmTauschen_ = nullptr;
    QGroupBox* frmErhalten_ = nullptr;
    bool computing_ = false;
};

} // namespace krvx
