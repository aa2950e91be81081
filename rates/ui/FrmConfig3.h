#pragma once
// The credit-rate editor "Konfiguration": fifteen rate fields read from
// creditkurse.dat when the window opens and written back soon after a rate is
// typed and when it closes.

#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <optional>

#include "common/ui/FormWindow.h"
#include "common/ui/QuietSave.h"
#include "rates/CreditRatesFile.h"

namespace krvx {

class FrmConfig3 : public FormWindow {
    Q_OBJECT
public:
    explicit FrmConfig3(Services& services);

    void load() override;

protected:
    void unload() override;

private:
    CreditRateTexts fieldTexts() const;
    void showFile();
    void saveQuietly();

    // boxes_[record][resource]: columns "Kaufkurs", "Verkaufskurs", "RH-Kurs";
    // rows Erz, Alu, Leg, Kri, Ene. Saved by the regional number rule; a box
    // that is no number saves what the column to its left saved for its row,
    // in the first column an empty field (docs/number-rules.md).
    std::array<std::array<QLineEdit*, 5>, 3> boxes_{};
    QPushButton* cmdSchiffe_ = nullptr;
    // What the fields showed for a creditkurse.dat that is there but could
    // not be read; closing with them unchanged leaves the file alone.
    std::optional<CreditRateTexts> shownForUnreadFile_;
    QuietSave* quietSave_ = nullptr;
};

} // namespace krvx
