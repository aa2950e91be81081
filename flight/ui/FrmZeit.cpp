#include "flight/ui/FrmZeit.h"

#include <algorithm>
#include <utility>

#include "common/debugging.h"
#include "catalogue/ShipCatalogue.h"
#include "common/ui/Controls.h"
#include "common/ui/DataFileSave.h"
#include "common/ui/Twips.h"
#include "common/ui/FormEvents.h"
#include "common/ui/NumpadDecimal.h"
#include "common/ui/WindowRegistry.h"
#include "flight/ShipSpeed.h"

namespace krvx {

namespace {

// The item that the list's text stands for: the current item when the text is
// still its text, else the first item with exactly that text, else none.
int selectedItem(const QComboBox* combo) {
    const QString text = combo->currentText();
    const int current = combo->currentIndex();
    if (current >= 0 && combo->itemText(current) == text) {
        return current;
    }
    return combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

// Appending keeps the list's text and selection (Qt would select the first
// item added to an empty list).
void appendItems(QComboBox* combo, const QStringList& texts) {
    const int index = combo->currentIndex();
    const QString shown = combo->currentText();
    combo->addItems(texts);
    if (combo->currentIndex() != index) {
        combo->setCurrentIndex(index);
        setComboText(combo, shown);
    }
}

void selectSecond(QComboBox* combo) {
    if (combo->count() >= 2) {
        combo->setCurrentIndex(1);
        setComboText(combo, combo->itemText(1));
    }
}

} // namespace

FrmZeit::FrmZeit(Services& services) : FormWindow(services, kFrmZeit, "Reisezeit", 5325, 2400) {
    LblStart = makeLabel(this, "LblStart", "Start:", {120, 240, 0, 0});
    CmbStart = makeComboBox(this, "CmbStart", {840, 240, 1215, 315}, {}, "Startplanet");
    LblZiel = makeLabel(this, "LblZiel", "Ziel:", {120, 720, 0, 0});
    CmbZiel = makeComboBox(this, "CmbZiel", {840, 720, 1215, 315}, {}, "Zielplanet");
    CmdNeuerPlanet = makeButton(this, "CmdNeuerPlanet", "Neuer Planet", {120, 1200, 1935, 495});
    CmbSchiff = makeComboBox(this, "CmbSchiff", {120, 1920, 1935, 315}, {}, "Schiff");
    LblGeschwindigkeit = makeLabel(this, "LblGeschwindigkeit", "Geschwindigkeit", {2280, 0, 0, 0});
    TxtGeschwindigkeit = makeTextBox(this, "TxtGeschwindigkeit", "", {2280, 240, 1095, 285}, {}, "Geschwindigkeit");
    readsDecimalPoint(TxtGeschwindigkeit);
    LblStartzeit = makeLabel(this, "LblStartzeit", "Startzeit", {2280, 720, 0, 0});
    TxtStart = makeTextBox(this, "TxtStart", "00:00", {2280, 960, 1095, 285}, {}, "Startzeit");
    LblDauer = makeLabel(this, "LblDauer", "Dauer", {3840, 0, 0, 0});
    TxtDauer = makeTextBox(this, "TxtDauer", "", {3840, 240, 1095, 285}, {}, "Dauer");
    setReadOnlyBox(TxtDauer);
    LblAnkunft = makeLabel(this, "LblAnkunft", "Ankunftszeit", {3840, 720, 0, 0});
    TxtAnkunft = makeTextBox(this, "TxtAnkunft", "00:00", {3840, 960, 1095, 285}, {}, "Ankunftszeit");
    OptAnkunft = makeOption(this, "OptAnkunft", "Ankunft berechnen", {2400, 1800, 1695, 255});
    OptStart = makeOption(this, "OptStart", "Start berechnen", {2400, 2040, 1695, 255});
    OptAnkunft->setChecked(true);
    // The time boxes show a time with its day count whole ("23:59 + 10 Tage"):
    // they grow to the right as far as the window leaves room.
    const QString longestTime = QStringLiteral("23:59 + 10 Tage");
    for (auto [box, rightEdge] : {std::pair{TxtStart, twips(3840 - 60)}, std::pair{TxtAnkunft, twips(5325 - 60)}}) {
        const int needed = box->fontMetrics().horizontalAdvance(longestTime) + 2 * box->sizeHint().height() / 3;
        box->resize(std::clamp(needed, box->width(), rightEdge - box->x()), box->height());
    }

    setFocusChain({TxtDauer, TxtAnkunft, TxtStart, CmbStart, CmbZiel, CmdNeuerPlanet, TxtGeschwindigkeit, OptAnkunft,
                   OptStart, CmbSchiff});

    // While the window is open only a file read whole or not there is written,
    // and a failure is left to the close, which reports it; a damaged or
    // unreadable file is left to the close as well, which keeps a copy of it
    // or writes beside it and says so.
    quietSave_ = new QuietSave(this, [this] {
        if (fileState_ == FileState::Read || fileState_ == FileState::Missing)
            saveAndTell(this->services(), kPlanetenDat, planetenContent(Planeten_.entries()), false, SaveNotice::Quiet);
    });

    OncePerActionMessages& messages = services.messages;
    onLostFocus(CmbSchiff, messages, [this] { setSpeedFromShip(); });
    onLostFocus(CmbStart, messages, [this] { runStep(recompute); });
    onLostFocus(CmbZiel, messages, [this] { runStep(recompute); });
    onLostFocus(TxtGeschwindigkeit, messages, [this] { runStep(recompute); });
    onLostFocus(TxtStart, messages, [this] { runStep(arrivalStep); });
    onLostFocus(TxtAnkunft, messages, [this] { runStep(startStep); });
    onClick(CmdNeuerPlanet, messages, [this] { this->services().windows.show(kFrmNeuerPlanet); });
}

void FrmZeit::load() {
    const FileData<std::vector<PlanetEintrag>> file = loadPlaneten(services().file(kPlanetenDat));
    fileState_ = file.state;
    // The lists take the loaded planets in one go: item by item, with the
    // selection kept after each one, a long list takes twice as long to fill.
    loading_ = true;
    loadedNames_.reserve(static_cast<qsizetype>(file.data.size()));
    for (const PlanetEintrag& entry : file.data) {
        addPlanet(entry.name, entry.Galaxie, entry.System, entry.Planet);
    }
    loading_ = false;
    for (QComboBox* list : {CmbStart, CmbZiel}) {
        appendItems(list, loadedNames_);
        selectSecond(list);
    }
    loadedNames_.clear();

    QStringList ships;
    for (const std::string& name : offeredShips(services().ships)) {
        ships.append(toQ(name));
    }
    CmbSchiff->addItems(ships);
    if (CmbSchiff->count() > 0) {
        CmbSchiff->setCurrentIndex(0);
        setComboText(CmbSchiff, CmbSchiff->itemText(0));
    }
    TxtAnkunft->setFocus();
}

bool FrmZeit::addPlanet(const std::string& name, std::int16_t Galaxie, std::int16_t System, std::int16_t Planet) {
    const LogRoutine logged(services().log, "addPlanet", "addPlanet()");
    if (!Planeten_.add(PlanetEintrag{name, Galaxie, System, Planet})) {
        return false;
    }
    if (loading_) {
        loadedNames_.append(toQ(name));
        return true;
    }
    added_ = true;
    quietSave_->changed();
    for (QComboBox* list : {CmbStart, CmbZiel}) {
        appendItems(list, {toQ(name)});
        selectSecond(list);
    }
    return true;
}

void FrmZeit::unload() {
    quietSave_->cancel();
    const auto tryAgain = [this](std::string_view question) {
        return services().messages.retry(question, kAppTitle) == Answer::Retry;
    };
    if (const std::optional<std::string> message = savePlaneten(services().file(kPlanetenDat), Planeten_.entries(),
                                                                fileState_, added_, services().files, tryAgain))
        services().messages.message(*message);
}

FlightFormState FrmZeit::formState() const {
    FlightFormState state;
    state.speedText = fromQ(TxtGeschwindigkeit->text());
    state.startPlanetText = fromQ(CmbStart->currentText());
    state.targetPlanetText = fromQ(CmbZiel->currentText());
    state.startIndex = selectedItem(CmbStart);
    state.targetIndex = selectedItem(CmbZiel);
    state.arrivalMode = OptAnkunft->isChecked();
    state.dauer = fromQ(TxtDauer->text());
    state.startzeit = fromQ(TxtStart->text());
    state.ankunft = fromQ(TxtAnkunft->text());
    return state;
}

void FrmZeit::showState(const FlightFormState& state) {
    setBoxTextIfChanged(TxtDauer, toQ(state.dauer));
    setBoxTextIfChanged(TxtStart, toQ(state.startzeit));
    setBoxTextIfChanged(TxtAnkunft, toQ(state.ankunft));
}

void FrmZeit::setSpeedFromShip() {
    const LogRoutine logged(services().log, "CmdSchiff_LostFocus()");
    if (const auto speed = speedTextForShip(services().ships, fromQ(CmbSchiff->currentText()))) {
        setBoxTextIfChanged(TxtGeschwindigkeit, toQ(*speed));
    }
}

void FrmZeit::runStep(DebugLines (*step)(FlightFormState&, const Planeten&)) {
    FlightFormState state = formState();
    for (const std::string& line : step(state, Planeten_)) {
        services().log.writeDebug(line);
    }
    showState(state);
}

} // namespace krvx
