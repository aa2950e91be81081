#pragma once
// The ship catalogue editor "Konfiguration": steps through the catalogue,
// edits, adds and deletes entries; every save and delete rewrites
// schiffe.dat and reads it back.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstdint>

#include "catalogue/CatalogueEdit.h"
#include "common/ui/FormWindow.h"

namespace krvx {

class FrmConfig2 : public FormWindow {
    Q_OBJECT
public:
    explicit FrmConfig2(Services& services);

    void load() override;

    // Shows entry currentSchiff read-only and clears changed.
    void showSchiff();
    // Writes the catalogue to schiffe.dat; on failure puts the catalogue back
    // as the file holds it (asInFile, taken before the edit), shows the error
    // and leaves changed set. True when written. When the last reload skipped
    // records of the file, the old file is first kept as a copy and the user
    // told its name; without a copy the file is not written.
    bool saveSchiffe(CatalogueState asInFile);

    std::int16_t currentSchiff = 0; // index of the entry shown
    bool changed = false; // a value box was edited since the entry was shown or saved

protected:
    bool queryUnload() override;
    void unload() override;

private:
    void reload();
    void updateSteps();
    void openForInput();
    // Takes the name and the seven boxes into entry currentSchiff; shows why
    // and returns false when they cannot be stored.
    bool takeBoxesOver();
    // takeBoxesOver, then saveSchiffe: false when either fails, and the
    // editor stays open with what was typed, for a correction.
    bool saveBoxes();
    void showFrmConfig3();

    void pickFromList(int index);
    void stepLeft();
    void stepRight();
    void saveChange();
    void newShip();
    void deleteShip();
    void backToRates();

    ShipCatalogue& ships_;
    bool fileDamaged_ = false; // the last reload left records of schiffe.dat out
    QPushButton* cmdLinks_ = nullptr;
    QPushButton* cmdRechts_ = nullptr;
    QComboBox* cmbSchiffe_ = nullptr;
    // erz, alu, leg, kri, ene, speed, prod: each a leading number rounded to
    // 32 bits when taken over (docs/number-rules.md).
    std::array<QLineEdit*, kEntryBoxes> boxes_{};
    QPushButton* cmdSpeichern_ = nullptr;
    QPushButton* cmdEdit_ = nullptr;
    QPushButton* cmdDel_ = nullptr;
    QPushButton* cmdNeu_ = nullptr;
    QPushButton* command1_ = nullptr;
};

} // namespace krvx
