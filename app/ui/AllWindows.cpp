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

namespace {

template <class Window>
FormWindow* make(Services& services) {
    return new Window(services);
}

struct WindowRow {
    const char* name;
    FormWindow* (*make)(Services&);
};

// The menu, which runs the shut-down, then every other window in the order
// the shut-down asks and closes them. The catalogue editor shows the rate
// editor when it closes, so the rate editor comes after it.
constexpr WindowRow kWindows[] = {
    {kFrmMenu, make<FrmMenu>},
    {kFrmTausch, make<FrmTausch>},
    {kFrmProdZeit, make<FrmProdZeit>},
    {kFrmNeuerPlanet, make<FrmNeuerPlanet>},
    {kFrmZeit, make<FrmZeit>},
    {kFrmSchiffspreise, make<FrmSchiffspreise>},
    {kFrmSplash, make<FrmSplash>},
    {kFrmConfig2, make<FrmConfig2>},
    {kFrmConfig3, make<FrmConfig3>},
};

QStringList namesFrom(std::size_t first) {
    QStringList names;
    for (std::size_t i = first; i < std::size(kWindows); ++i) names.append(QString::fromLatin1(kWindows[i].name));
    return names;
}

} // namespace

void registerAllWindows(WindowRegistry& registry, Services& services) {
    for (const WindowRow& row : kWindows) {
        registry.registerWindow(QString::fromLatin1(row.name), [&services, make = row.make] { return make(services); });
    }
}

const QStringList& allWindowNames() {
    static const QStringList names = namesFrom(0);
    return names;
}

const QStringList& shutDownOrder() {
    static const QStringList names = namesFrom(1);
    return names;
}

} // namespace krvx
