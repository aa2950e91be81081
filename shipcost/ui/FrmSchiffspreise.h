#pragma once
// The ship cost calculator's window: pick a ship type (completed as it is
// typed), a count and a surcharge, add it to the order list, and read the cost
// of the whole list in the five resources. Two buttons hand the totals on to
// the exchange calculator and the production time calculator.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <array>
#include <string>
#include <vector>

#include "common/ui/FormWindow.h"
#include "shipcost/Bestellliste.h"

namespace krvx {

class FrmSchiffspreise : public FormWindow {
    Q_OBJECT
public:
    explicit FrmSchiffspreise(Services& services);

    // Fills the ship list from the catalogue; nothing is computed yet.
    void load() override;

    // Type-ahead: completes the text of the combo box to the first entry that
    // begins with it (case ignored, searching from the second entry and
    // wrapping) and selects the completed rest. Without a match the typed
    // text and the caret stay as they are.
    void ComboBoxSpeedFill(QComboBox* CmbSchiff);

    // Recomputes the five totals from the order list, the overall surcharge
    // and the ship trader box.
    void PreisBerechnen();

    const Bestellliste& bestellliste() const { return liste_; }

protected:
    void unload() override;

private:
    void cmdAddClick();
    void cmdSubClick();
    void cmdHandelClick();
    void cmdProdZeitClick();
    int selectedLine() const;
    std::array<std::string, 5> ergebnisTexte() const;

    Bestellliste liste_;
    // The ship field's items as the name search reads them, made once at load
    // (the list does not change after it): a keystroke then costs no copy of
    // thousands of names.
    std::vector<std::string> schiffsnamen_;

    // How each box reads a number: docs/number-rules.md.
    QComboBox* CmbSchiff_; // a ship name, compared exactly
    QLineEdit* TxtAnzahl_; // leading number, rounded to 32 bits
    QLineEdit* TxtZuschlag_; // leading number, kept in single precision
    QPushButton* CmdAdd_;
    QPushButton* CmdSub_;
    QListWidget* LstKaufliste_;
    QCheckBox* ChkSchiffshaendler_;
    QLineEdit* TxtGesZuschlag_; // leading number
    std::array<QLineEdit*, 5> ergebnis_; // TxtErz .. TxtEne: results only
    QPushButton* CmdProdZeit_;
    QPushButton* CmdHandel_;
};

} // namespace krvx
