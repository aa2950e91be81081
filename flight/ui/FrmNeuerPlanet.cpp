#include "flight/ui/FrmNeuerPlanet.h"

#include <variant>

#include "common/ui/Controls.h"
#include "common/ui/FormEvents.h"
#include "common/ui/NumpadDecimal.h"
#include "common/ui/WindowRegistry.h"
#include "flight/NewPlanet.h"
#include "flight/ui/FrmZeit.h"

namespace krvx {

FrmNeuerPlanet::FrmNeuerPlanet(Services& services) : FormWindow(services, kFrmNeuerPlanet, "Neuer Planet", 2355, 2595) {
    LblName = makeLabel(this, "LblName", "Planetenname:", {360, 120, 0, 0});
    TxtName = makeTextBox(this, "TxtName", "", {360, 480, 1575, 375}, "Geben sie einen Namen für den Planeten ein");
    LblKoordinaten = makeLabel(this, "LblKoordinaten", "Koordinaten:", {360, 960, 0, 0});
    TxtGal = makeTextBox(this, "TxtGal", "", {360, 1320, 375, 375}, "Galaxienummer");
    TxtSys = makeTextBox(this, "TxtSys", "", {960, 1320, 375, 375}, "Systemnummer");
    TxtPlanet = makeTextBox(this, "TxtPlanet", "", {1560, 1320, 375, 375}, "Planetennummer");
    for (QLineEdit* box : {TxtGal, TxtSys, TxtPlanet}) readsDecimalPoint(box);
    CmdAdd = makeButton(this, "CmdAdd", "Hinzufügen", {360, 1920, 1575, 375}, "In die Liste aufnehmen");
    setDefaultButton(CmdAdd);
    setEscapeCloses();
    setFocusChain({TxtName, TxtGal, TxtSys, TxtPlanet, CmdAdd});
    TxtName->setFocus();
    onClick(CmdAdd, services.messages, [this] { add(); });
}

void FrmNeuerPlanet::add() {
    const auto checked =
        checkNewPlanet(fromQ(TxtName->text()), fromQ(TxtGal->text()), fromQ(TxtSys->text()), fromQ(TxtPlanet->text()));
    if (const auto* refusal = std::get_if<std::string>(&checked)) {
        services().messages.message(*refusal);
        return;
    }
    const PlanetEintrag& entry = std::get<PlanetEintrag>(checked);
    // The flight time window owns the list; closed meanwhile, it opens again.
    FrmZeit* zeit = services().windows.window<FrmZeit>(kFrmZeit);
    if (!zeit) {
        zeit = services().windows.show<FrmZeit>(kFrmZeit);
    }
    if (!zeit) {
        return;
    }
    if (!zeit->addPlanet(entry.name, entry.Galaxie, entry.System, entry.Planet)) {
        services().messages.message(kListeVoll);
        return;
    }
    close();
}

} // namespace krvx
