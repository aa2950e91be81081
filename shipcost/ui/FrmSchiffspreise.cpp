#include "shipcost/ui/FrmSchiffspreise.h"

#include <string>
#include <vector>

#include "catalogue/ShipCatalogue.h"
#include "common/ui/Controls.h"
#include "common/ui/FormEvents.h"
#include "common/ui/NumpadDecimal.h"
#include "common/ui/WindowRegistry.h"
#include "shipcost/Fehlermeldung.h"
#include "shipcost/Namenssuche.h"
#include "shipcost/Preise.h"
#include "exchange/ui/FrmTausch.h"
#include "production/ui/FrmProdZeit.h"

namespace krvx {

FrmSchiffspreise::FrmSchiffspreise(Services& services)
    : FormWindow(services, kFrmSchiffspreise, QStringLiteral("Schiffspreise"), 6060, 4500) {
    makeLabel(this, "LblSchiff", QStringLiteral("Schiff:"), {240, 120, 1215, 255});
    makeLabel(this, "LblAnzahl", QStringLiteral("Anzahl:"), {3480, 120, 735, 255});
    makeLabel(this, "LblZuschlag", QStringLiteral("Zuschlag in %"), {4680, 120, 1095, 255});
    CmbSchiff_ = makeComboBox(this, "CmbSchiff", {240, 480, 2055, 315}, QStringLiteral("Schiffstyp wählen"));
    TxtAnzahl_ =
        makeTextBox(this, "TxtAnzahl", QString(), {3480, 480, 735, 285}, QStringLiteral("Zu produzierende Anzahl"));
    TxtZuschlag_ = makeTextBox(this, "TxtZuschlag", QStringLiteral("0"), {5160, 480, 615, 285},
                               QStringLiteral("Einzelzuschlag für diesen Schiffstyp"));
    CmdAdd_ = makeButton(this, "CmdAdd", QStringLiteral("Hinzufügen"), {240, 960, 2055, 375},
                         QStringLiteral("In Liste aufnehmen"));
    CmdSub_ = makeButton(this, "CmdSub", QStringLiteral("Entfernen"), {2640, 960, 1695, 375});
    LstKaufliste_ =
        makeListBox(this, "LstKaufliste", {240, 1560, 5535, 1035}, QStringLiteral("Auflistung aller \"Bestellungen\""));
    ChkSchiffshaendler_ = makeCheckBox(this, "ChkSchiffshaendler", QStringLiteral("Schiffshändler"),
                                       {720, 2760, 1455, 255}, QStringLiteral("20% Abschlag auf alle Preise"));
    makeLabel(this, "LblGesamtzuschlag", QStringLiteral("Gesamtzuschlag in %"), {3240, 2760, 1575, 255});
    TxtGesZuschlag_ = makeTextBox(this, "TxtGesZuschlag", QStringLiteral("0"), {5040, 2760, 735, 285},
                                  QStringLiteral("Zuschlag für die gesamte Liste"));
    for (QLineEdit* box : {TxtAnzahl_, TxtZuschlag_, TxtGesZuschlag_}) readsDecimalPoint(box);
    makeLabel(this, "LblErz", QStringLiteral("Erz"), {240, 3240, 735, 255});
    makeLabel(this, "LblAlu", QStringLiteral("Aluminium"), {1320, 3240, 0, 0});
    makeLabel(this, "LblLeg", QStringLiteral("Legierungen"), {2520, 3240, 0, 0});
    makeLabel(this, "LblKri", QStringLiteral("Kristalle"), {3600, 3240, 0, 0});
    makeLabel(this, "LblEne", QStringLiteral("Energie"), {4680, 3240, 0, 0});
    ergebnis_ = {
        makeTextBox(this, "TxtErz", QString(), {240, 3480, 975, 285}, QStringLiteral("Anzahl Erze aus dem Geschäft")),
        makeTextBox(this, "TxtAlu", QString(), {1320, 3480, 975, 285},
                    QStringLiteral("Anzahl Aluminium aus dem Geschäft")),
        makeTextBox(this, "TxtLeg", QString(), {2520, 3480, 975, 285},
                    QStringLiteral("Anzahl Legierungen aus dem Geschäft")),
        makeTextBox(this, "TxtKri", QString(), {3600, 3480, 975, 285},
                    QStringLiteral("Anzahl Kristalle aus dem Geschäft")),
        makeTextBox(this, "TxtEne", QString(), {4680, 3480, 975, 285},
                    QStringLiteral("Anzahl Energie aus dem Geschäft")),
    };
    for (QLineEdit* box : ergebnis_) {
        setReadOnlyBox(box);
    }
    CmdProdZeit_ =
        makeButton(this, "CmdProdZeit", QStringLiteral("In Produktionszeiten übernehmen"), {240, 3840, 1815, 615},
                   QStringLiteral("Daten auf das Produktionszeiten-Formular übertragen"));
    CmdHandel_ = makeButton(this, "CmdHandel", QStringLiteral("In Handelsrechner übernehmen"), {3960, 3840, 1815, 615});
    // The two long captions wrap onto two lines inside their tall buttons; the
    // accessible name keeps the caption in one line.
    for (QPushButton* button : {CmdProdZeit_, CmdHandel_}) {
        button->setAccessibleName(button->text());
        button->setText(button->text().replace(QStringLiteral(" übernehmen"), QStringLiteral("\nübernehmen")));
    }

    // Tab order by tab index; Tab passes the labels and the read-only result boxes by.
    setFocusChain({CmbSchiff_, TxtAnzahl_, TxtZuschlag_, CmdAdd_, LstKaufliste_, TxtGesZuschlag_, ergebnis_[4],
                   ergebnis_[0], ergebnis_[1], ergebnis_[3], ergebnis_[2], ChkSchiffshaendler_, CmdProdZeit_,
                   CmdHandel_, CmdSub_});
    setDefaultButton(CmdAdd_);

    OncePerActionMessages& messages = services.messages;
    onClick(CmdAdd_, messages, [this] { cmdAddClick(); });
    onClick(CmdSub_, messages, [this] { cmdSubClick(); });
    onClick(CmdHandel_, messages, [this] { cmdHandelClick(); });
    onClick(CmdProdZeit_, messages, [this] { cmdProdZeitClick(); });
    onClick(ChkSchiffshaendler_, messages, [this] { PreisBerechnen(); });
    onChange(TxtGesZuschlag_, messages, [this] { PreisBerechnen(); });
    onKeyReleased(CmbSchiff_, messages, [this](int keyCode) {
        if (keyCode >= 32) {
            ComboBoxSpeedFill(CmbSchiff_);
        }
    });
}

void FrmSchiffspreise::load() {
    const std::span<const Schiffstyp> ships = services().ships.Schiffstypen();
    QStringList names;
    names.reserve(static_cast<qsizetype>(ships.size()));
    schiffsnamen_.reserve(ships.size());
    for (const Schiffstyp& ship : ships) {
        names.append(toQ(ship.name));
        schiffsnamen_.push_back(fromQ(names.back()));
    }
    CmbSchiff_->addItems(names);
    CmbSchiff_->setCurrentIndex(-1);
    setComboText(CmbSchiff_, QString());

    // Centred on the screen: the window has no owner.
    placeCentred();
}

void FrmSchiffspreise::unload() {
    liste_.leeren();
}

void FrmSchiffspreise::ComboBoxSpeedFill(QComboBox* CmbSchiff) {
    const QString typed = CmbSchiff->currentText();
    const qsizetype n = typed.size();
    if (n == 0) {
        return;
    }
    std::vector<std::string> copied;
    const bool loadedList =
        CmbSchiff == CmbSchiff_ && schiffsnamen_.size() == static_cast<std::size_t>(CmbSchiff->count());
    if (!loadedList) {
        copied.reserve(static_cast<std::size_t>(CmbSchiff->count()));
        for (int i = 0; i < CmbSchiff->count(); ++i) {
            copied.push_back(fromQ(CmbSchiff->itemText(i)));
        }
    }
    const int found = sucheNamensanfang(loadedList ? schiffsnamen_ : copied, fromQ(typed));
    if (found < 0) {
        return; // nothing begins with the typed text: it stays as typed
    }
    const QString completed = CmbSchiff->itemText(found);
    CmbSchiff->setCurrentIndex(found);
    CmbSchiff->setEditText(completed);
    if (QLineEdit* edit = CmbSchiff->lineEdit()) {
        edit->setSelection(static_cast<int>(n), static_cast<int>(completed.size() - n));
    }
}

void FrmSchiffspreise::PreisBerechnen() {
    const PreisIndex index(services().ships.Schiffstypen());
    const Preisrechnung rechnung =
        krvx::PreisBerechnen(liste_, index, fromQ(TxtGesZuschlag_->text()), ChkSchiffshaendler_->isChecked());
    services().messages.show(rechnung.meldungen);
    if (!rechnung.texte) {
        return;
    }
    for (std::size_t r = 0; r < ergebnis_.size(); ++r) {
        setBoxText(ergebnis_[r], toQ((*rechnung.texte)[r]));
    }
}

void FrmSchiffspreise::cmdAddClick() {
    const AddErgebnis result =
        liste_.add(fromQ(CmbSchiff_->currentText()), fromQ(TxtAnzahl_->text()), fromQ(TxtZuschlag_->text()));
    if (!result.meldungen.empty()) {
        services().messages.show(result.meldungen);
        return;
    }
    if (result.hinzugefuegt) {
        LstKaufliste_->addItem(toQ(listenzeile(liste_.Bestellungen().back())));
    }
    PreisBerechnen();
}

int FrmSchiffspreise::selectedLine() const {
    const QList<QListWidgetItem*> selected = LstKaufliste_->selectedItems();
    return selected.isEmpty() ? -1 : LstKaufliste_->row(selected.first());
}

void FrmSchiffspreise::cmdSubClick() {
    const int s = selectedLine();
    if (const Meldungen fehler = liste_.remove(s); !fehler.empty()) {
        services().messages.show(fehler);
        return;
    }
    delete LstKaufliste_->takeItem(s);
    // Like the old list box, no line is selected after a removal.
    LstKaufliste_->clearSelection();
    LstKaufliste_->setCurrentRow(-1);
    PreisBerechnen();
}

std::array<std::string, 5> FrmSchiffspreise::ergebnisTexte() const {
    std::array<std::string, 5> texts;
    for (std::size_t r = 0; r < ergebnis_.size(); ++r) {
        texts[r] = fromQ(ergebnis_[r]->text());
    }
    return texts;
}

void FrmSchiffspreise::cmdHandelClick() {
    const std::array<std::string, 5> texte = ergebnisTexte();
    auto* tausch = services().windows.show<FrmTausch>(kFrmTausch);
    if (tausch == nullptr) {
        services().messages.show({fehlerMeldung("CmdHandel", fehler::fensterFehlt(kFrmTausch))});
        return;
    }
    tausch->uebernehmen(texte);
}

void FrmSchiffspreise::cmdProdZeitClick() {
    if (zielmengenUebernehmen(services().windows, ergebnisTexte()) == nullptr) {
        services().messages.show({fehlerMeldung("CmdProdZeit", fehler::fensterFehlt(kFrmProdZeit))});
    }
}

} // namespace krvx
