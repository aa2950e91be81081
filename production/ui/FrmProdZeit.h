#pragma once
// "Produktionszeiten": production per hour, target amount and time until the
// target for the five resources; the check box switches to the amounts after
// a number of hours. The box texts are kept in produktion.dat between runs.

#include <QCheckBox>
#include <QLineEdit>
#include <array>

#include "common/ui/FormWindow.h"
#include "common/ui/WindowRegistry.h"
#include "production/Produktionszeit.h"

namespace krvx {

class FrmProdZeit : public FormWindow {
    Q_OBJECT
public:
    explicit FrmProdZeit(Services& services);

    // Reads produktion.dat into the boxes; the window opens in time mode with
    // nothing computed.
    void load() override;

    // Sets the texts of TxtZErz .. TxtZEne as they stand (also while they are
    // read-only in amount mode). Computes nothing and keeps the mode.
    void setZielmengen(const FuenfTexte& texte);

protected:
    // Writes produktion.dat from the boxes. A file that cannot be written is
    // skipped without a message; the old file stays whole.
    void unload() override;

private:
    void zeitenBerechnen();
    void mengenBerechnen();
    void modusSetzen();
    bool mengenModus() const { return chkFest_->isChecked(); }

    FuenfTexte texte(const std::array<QLineEdit*, kZeilenAnzahl>& boxen) const;
    static void schreiben(const std::array<QLineEdit*, kZeilenAnzahl>& boxen, const FuenfTexte& texte);

    std::array<QLineEdit*, kZeilenAnzahl> produktion_{}; // TxtErz .. TxtEne
    std::array<QLineEdit*, kZeilenAnzahl> ziel_{}; // TxtZErz .. TxtZEne
    std::array<QLineEdit*, kZeilenAnzahl> zeit_{}; // TxtZeitErz .. TxtZeitEne
    QCheckBox* chkFest_ = nullptr;
    QLineEdit* txtDauer_ = nullptr; // hours: its first comma becomes the point, then a leading number
};

// The ship cost calculator's hand-over: shows FrmProdZeit (creating and
// loading it first when it is not open), then sets its five target texts.
// Returns the window, or nullptr when the registry does not know it.
FrmProdZeit* zielmengenUebernehmen(WindowRegistry& windows, const FuenfTexte& texte);

} // namespace krvx
