#include "app/ui/AllWindows.h"

#include "flight/ui/FrmNeuerPlanet.h"
#include "flight/ui/FrmZeit.h"
#include "exchange/ui/FrmTausch.h"
#include "production/ui/FrmProdZeit.h"

namespace krvx {

void registerAllWindows(WindowRegistry& registry, Services& services) {
    // One line per window: registry.registerWindow("Name", [&services] { return new Window(services); });
    registry.registerWindow("FrmZeit", [&services] { return new FrmZeit(services); });
    registry.registerWindow("FrmNeuerPlanet", [&services] { return new FrmNeuerPlanet(services); });
    registry.registerWindow("FrmProdZeit", [&services] { return new FrmProdZeit(services); });
    registry.registerWindow("FrmTausch", [&services] { return new FrmTausch(services); });
}

} // namespace krvx
