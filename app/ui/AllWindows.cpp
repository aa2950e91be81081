#include "app/ui/AllWindows.h"

#include <utility>

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

// The menu, which runs the shut-down, then every other window in the order
// the shut-down asks and closes them. The catalogue editor shows the rate
// editor when it closes, so the rate editor comes after it.
constexpr std::pair<const char*, FormWindow* (*)(Services&)> kWindows[] = {
    {kFrmMenu, make<FrmMenu>},         {kFrmTausch, make<FrmTausch>},
    {kFrmProdZeit, make<FrmProdZeit>}, {kFrmNeuerPlanet, make<FrmNeuerPlanet>},
    {kFrmZeit, make<FrmZeit>},         {kFrmSchiffspreise, make<FrmSchiffspreise>},
    {kFrmSplash, make<FrmSplash>},     {kFrmConfig2, make<FrmConfig2>},
    {kFrmConfig3, make<FrmConfig3>},
};

} // namespace

void registerAllWindows(WindowRegistry& registry, Services& services) {
    for (auto [name, factory] : kWindows) {
        registry.registerWindow(name, [&services, factory] { return factory(services); });
    }
}

const QStringList& allWindowNames() {
    static const QStringList names = [] {
        QStringList all;
        for (const auto& window : kWindows) all.append(QString::fromLatin1(window.first));
        return all;
    }();
    return names;
}

const QStringList& shutDownOrder() {
    static const QStringList names = allWindowNames().mid(1);
    return names;
}

} // namespace krvx
