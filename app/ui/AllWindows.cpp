#include "app/ui/AllWindows.h"

#include "catalogue/ui/FrmConfig2.h"
#include "rates/ui/FrmConfig3.h"
#include "app/ui/FrmMenu.h"
#include "app/ui/FrmSplash.h"
#include "flight/ui/FrmNeuerPlanet.h"
#include "flight/ui/FrmZeit.h"
#include "exchange/ui/FrmTausch.h"
#include "production/ui/FrmProdZeit.h"
#include "shipcost/ui/FrmSchiffspreise.h"

namespace krvx {

void registerAllWindows(WindowRegistry& registry, Services& services) {
    // One line per window: registry.registerWindow("Name", [&services] { return new Window(services); });
    registry.registerWindow("FrmMenu", [&services] { return new FrmMenu(services); });
    registry.registerWindow("frmSplash", [&services] { return new FrmSplash(services); });
    registry.registerWindow("FrmZeit", [&services] { return new FrmZeit(services); });
    registry.registerWindow("FrmNeuerPlanet", [&services] { return new FrmNeuerPlanet(services); });
    registry.registerWindow("FrmProdZeit", [&services] { return new FrmProdZeit(services); });
    registry.registerWindow("FrmTausch", [&services] { return new FrmTausch(services); });
    registry.registerWindow("FrmSchiffspreise", [&services] { return new FrmSchiffspreise(services); });
    registry.registerWindow("FrmConfig2", [&services] { return new FrmConfig2(services); });
    registry.registerWindow("FrmConfig3", [&services] { return new FrmConfig3(services); });
}

} // namespace krvx
