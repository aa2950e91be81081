#include "catalogue/ui/FrmConfig2.h"

#include <QStringList>
#include <filesystem>
#include <variant>
#include <utility>

#include "catalogue/SchiffeDat.h"
#include "common/datafiles.h"
#include "common/textfile.h"
#include "common/ui/Controls.h"
#include "common/ui/DataFileSave.h"
#include "common/ui/FormEvents.h"
#include "common/ui/NumpadDecimal.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

FrmConfig2::FrmConfig2(Services& services)
    : FormWindow(services, kFrmConfig2, QStringLiteral("Konfiguration"), 6300, 2415), ships_(services.ships) {
    cmdLinks_ = makeButton(this, "CmdLinks", QStringLiteral("<"), {240, 120, 255, 255});
    cmbSchiffe_ = makeComboBox(this, "CmbSchiffe", {2063, 120, 2175, 315}, {}, QStringLiteral("Schiffsname"));
    cmdRechts_ = makeButton(this, "CmdRechts", QStringLiteral(">"), {5880, 120, 255, 255});
    makeLabel(this, "LblErz", QStringLiteral("Erz"), {240, 480, 1095, 255});
    makeLabel(this, "Label1", QStringLiteral("Alu"), {1440, 480, 1095, 255});
    makeLabel(this, "Label2", QStringLiteral("Leg"), {2760, 480, 975, 255});
    makeLabel(this, "Label3", QStringLiteral("Kri"), {3960, 480, 855, 255});
    makeLabel(this, "Label4", QStringLiteral("Energie"), {5040, 480, 855, 255});
    boxes_[0] = makeTextBox(this, "TxtErz", {}, {240, 720, 1095, 285}, {}, QStringLiteral("Erz"));
    boxes_[1] = makeTextBox(this, "TxtAlu", {}, {1440, 720, 1095, 285}, {}, QStringLiteral("Alu"));
    boxes_[2] = makeTextBox(this, "TxtLeg", {}, {2640, 720, 1095, 285}, {}, QStringLiteral("Leg"));
    boxes_[3] = makeTextBox(this, "TxtKri", {}, {3840, 720, 1095, 285}, {}, QStringLiteral("Kri"));
    boxes_[4] = makeTextBox(this, "TxtEne", {}, {5040, 720, 1095, 285}, {}, QStringLiteral("Energie"));
    makeLabel(this, "Label5", QStringLiteral("Geschwindigkeit"), {240, 1200, 1215, 255});
    makeLabel(this, "Label6", QStringLiteral("Bauzeit in min"), {5040, 1200, 1095, 255});
    boxes_[5] = makeTextBox(this, "TxtGeschw", {}, {240, 1440, 1095, 285}, {}, QStringLiteral("Geschwindigkeit"));
    boxes_[6] = makeTextBox(this, "TxtBauzeit", {}, {5040, 1440, 1095, 285}, {}, QStringLiteral("Bauzeit in min"));
    cmdSpeichern_ = makeButton(this, "CmdSpeichern", QStringLiteral("Änderung speichern"), {2303, 1320, 1695, 375});
    cmdEdit_ = makeButton(this, "CmdEdit", QStringLiteral("Bearbeiten"), {240, 1920, 1095, 375});
    cmdDel_ = makeButton(this, "CmdDel", QStringLiteral("Löschen"), {1440, 1920, 1095, 375});
    cmdNeu_ = makeButton(this, "CmdNeu", QStringLiteral("Neues Schiff"), {2640, 1920, 1095, 375});
    command1_ = makeButton(this, "Command1", QStringLiteral("Handelskonfiguration"), {4200, 1920, 1935, 375});

    setFocusChain({boxes_[0], boxes_[1], boxes_[2], boxes_[3], boxes_[4], boxes_[5], boxes_[6], cmdEdit_, cmdNeu_,
                   cmdDel_, command1_, cmdLinks_, cmdRechts_, cmbSchiffe_, cmdSpeichern_});

    OncePerActionMessages& messages = services.messages;
    for (QLineEdit* box : boxes_) {
        readsDecimalPoint(box);
        onChange(box, messages, [this] { changed = true; });
    }
    // A name typed while the entry is open for input is asked about on
    // closing like a typed value; the name field is always open, but only an
    // entry open for input takes its name over.
    connect(cmbSchiffe_->lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (cmdSpeichern_->isEnabled()) changed = true;
    });
    // An entry is picked from the list (or with the arrow keys), never by
    // leaving the name field: Qt would otherwise jump to the first entry whose
    // name equals the typed one, dropping a rename and the values typed so far.
    disconnect(cmbSchiffe_->lineEdit(), &QLineEdit::editingFinished, cmbSchiffe_, nullptr);
    connect(cmbSchiffe_, &QComboBox::activated, this, [this](int index) {
        UserAction action(this->services().messages);
        pickFromList(index);
    });
    onClick(cmdLinks_, messages, [this] { stepLeft(); });
    onClick(cmdRechts_, messages, [this] { stepRight(); });
    onClick(cmdEdit_, messages, [this] { openForInput(); });
    onClick(cmdSpeichern_, messages, [this] { saveChange(); });
    onClick(cmdNeu_, messages, [this] { newShip(); });
    onClick(cmdDel_, messages, [this] { deleteShip(); });
    onClick(command1_, messages, [this] { backToRates(); });
    setEscapeCloses();
}

void FrmConfig2::load() {
    reload();
}

void FrmConfig2::reload() {
    fileDamaged_ = loadSchiffe(ships_, services().file(kSchiffeDat), SpeedWidth::Bits32).damaged();
    cmbSchiffe_->clear();
    // In one go: item by item, a long list fills more slowly.
    QStringList names;
    names.reserve(static_cast<qsizetype>(ships_.Schiffstypen().size()));
    for (const Schiffstyp& ship : ships_.Schiffstypen()) {
        names.append(toQ(ship.name));
    }
    cmbSchiffe_->addItems(names);
    changed = false;
    currentSchiff = 0;
    updateSteps();
    showSchiff();
}

void FrmConfig2::showSchiff() {
    const Schiffstyp* ship = ships_.entryAt(currentSchiff);
    const bool shown = ship != nullptr;
    if (shown) {
        // The list follows the entry shown, so the arrow keys step on from it.
        cmbSchiffe_->setCurrentIndex(currentSchiff < cmbSchiffe_->count() ? currentSchiff : -1);
        setComboText(cmbSchiffe_, toQ(ship->name));
        const EntryBoxTexts texts = entryBoxTexts(*ship);
        for (std::size_t i = 0; i < kEntryBoxes; ++i) setBoxText(boxes_[i], toQ(texts[i]));
    } else {
        // An empty catalogue: nothing to show and nothing to edit.
        setComboText(cmbSchiffe_, {});
        for (QLineEdit* box : boxes_) box->clear();
    }
    for (QLineEdit* box : boxes_) setReadOnlyBox(box);
    cmdSpeichern_->setEnabled(false);
    cmdDel_->setEnabled(false);
    cmdEdit_->setEnabled(shown);
    changed = false;
}

// "<" and ">" follow the position: no step before entry 0, and ">" never
// steps past the last counted entry (not onto a pending one).
void FrmConfig2::updateSteps() {
    cmdLinks_->setEnabled(currentSchiff >= 1);
    cmdRechts_->setEnabled(currentSchiff < ships_.Schiffstypen_length() - 1);
}

void FrmConfig2::openForInput() {
    for (QLineEdit* box : boxes_) setReadOnlyBox(box, false);
    cmdSpeichern_->setEnabled(true);
    cmdDel_->setEnabled(true);
}

void FrmConfig2::pickFromList(int index) {
    if (index < 0 || index >= ships_.Schiffstypen_length()) return;
    currentSchiff = static_cast<std::int16_t>(index);
    updateSteps();
    showSchiff();
}

void FrmConfig2::stepLeft() {
    if (currentSchiff < 1) return;
    --currentSchiff;
    updateSteps();
    showSchiff();
}

void FrmConfig2::stepRight() {
    if (currentSchiff >= ships_.Schiffstypen_length() - 1) return;
    ++currentSchiff;
    updateSteps();
    showSchiff();
}

bool FrmConfig2::takeBoxesOver() {
    Schiffstyp* shown = ships_.entryAt(currentSchiff);
    if (shown == nullptr) return false;
    EntryBoxTexts texts;
    for (std::size_t i = 0; i < kEntryBoxes; ++i) texts[i] = fromQ(boxes_[i]->text());
    auto entry = readEntry(fromQ(cmbSchiffe_->currentText()), texts);
    if (auto* refusal = std::get_if<std::string>(&entry)) {
        services().messages.message(*refusal, kAppTitle, MessageIcon::Error);
        return false;
    }
    *shown = std::get<Schiffstyp>(std::move(entry));
    return true;
}

bool FrmConfig2::saveSchiffe(CatalogueState asInFile) {
    const SaveOutcome saved =
        saveKeepingCopy(services().file(kSchiffeDat), schiffeContent(ships_), fileDamaged_, services().files);
    if (!saved.written()) {
        // The calculators price and time with the catalogue: it goes back to
        // what the file holds before anything else can run (the message box).
        ships_.restore(std::move(asInFile));
        changed = true;
    } else {
        fileDamaged_ = false; // the file now holds exactly the catalogue
        changed = false;
    }
    tellSaved(services(), kSchiffeDat, saved, SaveNotice::Editor);
    return saved.written();
}

bool FrmConfig2::saveBoxes() {
    CatalogueState asInFile = ships_.state();
    return takeBoxesOver() && saveSchiffe(std::move(asInFile));
}

void FrmConfig2::saveChange() {
    if (saveBoxes()) reload();
}

void FrmConfig2::newShip() {
    const bool earlierPending = ships_.pending() != nullptr;
    const std::optional<std::int16_t> pending = ships_.makePending();
    if (!pending) {
        services().messages.message(kCatalogueFullText, kAppTitle, MessageIcon::Error);
        return;
    }
    std::string name =
        services().messages.input("Geben sie den Namen das Schiffes ein.", "Neues Schiff", newShipPreset(*pending));
    // A name the file cannot hold is asked for again, with the typed text as
    // the preset; cancelling gives an empty name.
    while (const std::optional<std::string> problem = nameProblem(name)) {
        services().messages.message(*problem, kAppTitle, MessageIcon::Error);
        name = services().messages.input("Geben sie den Namen das Schiffes ein.", "Neues Schiff", name);
    }
    if (name.empty()) {
        // Cancelled (a ship needs a name): no new ship. A nameless entry
        // would otherwise be written into the catalogue by the next save
        // of any entry. The entry shown stays as it is, typed values and all.
        if (!earlierPending) ships_.erase(*pending);
        return;
    }
    currentSchiff = *pending;
    ships_.entryAt(currentSchiff)->name = name;
    updateSteps();
    showSchiff();
    openForInput();
}

void FrmConfig2::deleteShip() {
    if (ships_.entryAt(currentSchiff) == nullptr) return;
    CatalogueState asInFile = ships_.state();
    ships_.erase(currentSchiff);
    saveSchiffe(std::move(asInFile));
    reload();
}

void FrmConfig2::showFrmConfig3() {
    services().windows.show(kFrmConfig3);
}

void FrmConfig2::backToRates() {
    if (changed) {
        // What the user typed is saved with the rest, as "Änderung speichern" would.
        if (!saveBoxes()) return;
        reload();
    }
    showFrmConfig3();
    close();
}

bool FrmConfig2::queryUnload() {
    if (!changed) return true;
    switch (services().messages.question("Änderungen speichern?", "Speichern?")) {
    case Answer::Yes: {
        // A failed save keeps the editor open, as Cancel does: the player
        // asked for his values to be kept, and closing would throw them away.
        if (!saveBoxes()) return false;
        fileDamaged_ = loadSchiffe(ships_, services().file(kSchiffeDat), SpeedWidth::Bits32).damaged();
        return true;
    }
    case Answer::No:
        // Also the answer while the session ends: values nobody confirmed
        // are not written into the catalogue.
        changed = false;
        return true;
    default:
        // Cancel is going on with the editing: the editor stays open with
        // what was typed, and so does the program when it was ending.
        return false;
    }
}

void FrmConfig2::unload() {
    showFrmConfig3();
}

} // namespace krvx
